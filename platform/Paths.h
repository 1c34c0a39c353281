// Where the system keeps its files on this computer: the per-user data folder
// under the home folder, and the mapping of the instrument's own fixed paths
// ("/mnt/mmc/...") into it. The host's /mnt is never touched.
#pragma once

#include <string>

namespace Paths {

// The home folder (follows $HOME).
std::string HomeFolder();
// home + "/Documents/Corvane" + "/ZuOrbSimulators" + "/Orb".
std::string DataFolder();
std::string ScriptsFolder();  // data folder + "/scripts"
std::string ReportsFolder();  // data folder + "/reports"
std::string BackupsFolder();  // data folder + "/backups"
std::string IdentsFolder();   // data folder + "/idents"
// The folder that stands for the instrument's memory card "/mnt/mmc".
std::string InstrumentFolder();

// Creates the data folder level by level and its sub-folders, each only when
// missing. False when a level cannot be created.
bool MakeDataFolders();

// "/mnt/mmc/x" (and "/mnt/mmc") map into InstrumentFolder(); any other path
// under "/mnt/" maps into data folder + "/mnt/..."; everything else is
// returned unchanged.
std::string MapInstrumentPath(const std::string& path);

} // namespace Paths
