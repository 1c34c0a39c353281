#include "ZuResources.h"

#include "platform/FileSystem.h"

#include <QFile>

#include <cstdio>

static void InitResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
}

void ZuInitResources()
{
    static const bool done = (InitResourcesOnce(), true);
    (void)done;
}

bool ReadResource(const std::string& name, std::string& out)
{
    ZuInitResources();
    QFile file(QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    out.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

bool CopyResourceIfMissing(const std::string& name, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f != nullptr) {
        std::fclose(f);
        return true;
    }
    std::string bytes;
    if (!ReadResource(name, bytes))
        return false;
    return WriteFileAtomic(path, bytes);
}
