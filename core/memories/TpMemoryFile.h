// Memories kept in backup files: data folder + "/backups/" + name + ".mem".
// A backup file is text, one memory section after another:
//
//   [Memory3]
//   Name=Studio A
//   V290=2            value of command id 290
//   T38=1080i50       text of command id 38
//
// Blank lines are allowed; anything else is a corrupt file, and a corrupt or
// missing file changes nothing.
#pragma once

#include "core/store/TpStore.h"

#include <string>
#include <vector>

class TpCommand;

class TpMemoryFile {
public:
    const std::vector<TpMemory>& Memories() const { return memories_; }
    const TpMemory* Find(unsigned number) const;
    // Adds the memory, or replaces the one with its number; kept in number
    // order. Numbers start at 1 (0 is refused).
    bool SetMemory(const TpMemory& memory);

    // Reads the backup file of that name and takes its memories; the
    // target's items become the memory names (item value = memory number;
    // through the store when the target is in it, so its views follow).
    // A name that is empty or holds '/', '\\' or ".." is refused. On failure
    // ("Error when importing memories between" for a file that cannot be
    // read, "Text file corrupt" for one that cannot be understood) nothing
    // changes and false is returned.
    bool ImportMemory(const std::string& backupName, TpCommand* target);
    // Writes the memories to the backup file of that name (same name rules).
    bool ExportMemory(const std::string& backupName) const;

    static bool ValidBackupName(const std::string& name);
    static std::string BackupPath(const std::string& name);
    // The file text of a set of memories, and back.
    static std::string Format(const std::vector<TpMemory>& memories);
    static bool Parse(const std::string& text, std::vector<TpMemory>& out);

private:
    std::vector<TpMemory> memories_;
};
