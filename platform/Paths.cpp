#include "Paths.h"

#include <QDir>
#include <QString>

namespace Paths {

namespace {
const char* const kDataLevels[] = {"/Documents", "/Documents/Corvane",
                                   "/Documents/Corvane/ZuOrbSimulators",
                                   "/Documents/Corvane/ZuOrbSimulators/Orb"};
const char* const kSubFolders[] = {"/scripts", "/reports", "/backups", "/idents"};

bool MakeOne(const std::string& path)
{
    QDir dir;
    QString p = QString::fromStdString(path);
    if (QDir(p).exists())
        return true;
    return dir.mkdir(p) || QDir(p).exists();
}
} // namespace

std::string HomeFolder()
{
    return QDir::homePath().toStdString();
}

std::string DataFolder()
{
    return HomeFolder() + "/Documents/Corvane" + "/ZuOrbSimulators" + "/Orb";
}

std::string ScriptsFolder() { return DataFolder() + "/scripts"; }
std::string ReportsFolder() { return DataFolder() + "/reports"; }
std::string BackupsFolder() { return DataFolder() + "/backups"; }
std::string IdentsFolder() { return DataFolder() + "/idents"; }
std::string InstrumentFolder() { return DataFolder() + "/mmc"; }

bool MakeDataFolders()
{
    const std::string home = HomeFolder();
    for (const char* level : kDataLevels)
        if (!MakeOne(home + level))
            return false;
    const std::string data = DataFolder();
    for (const char* sub : kSubFolders)
        if (!MakeOne(data + sub))
            return false;
    return MakeOne(InstrumentFolder());
}

std::string MapInstrumentPath(const std::string& path)
{
    static const std::string mmc = "/mnt/mmc";
    if (path == mmc)
        return InstrumentFolder();
    if (path.compare(0, mmc.size() + 1, mmc + "/") == 0)
        return InstrumentFolder() + path.substr(mmc.size());
    if (path == "/mnt" || path.compare(0, 5, "/mnt/") == 0)
        return DataFolder() + path;
    return path;
}

} // namespace Paths
