// The simulator's entry point: prepares the per-user data folder and what the
// program ships into it.
#include "platform/DebugOut.h"
#include "platform/Paths.h"
#include "resources/ZuResources.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ZuInitResources();
    if (!Paths::MakeDataFolders()) {
        DebugPrintf("ERROR: cannot create the data folder %s\n", Paths::DataFolder().c_str());
        return 1;
    }
    const std::string report = Paths::ReportsFolder() + "/report_template.html";
    if (!CopyResourceIfMissing(":/report_template.html", report))
        DebugPrintf("ERROR: cannot write %s\n", report.c_str());
    DebugPrintf("Data folder: %s\n", Paths::DataFolder().c_str());
    return 0;
}
