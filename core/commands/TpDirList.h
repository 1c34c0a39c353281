// Reader of a folder's entries by pattern ("folder/prefix*ext"), either all at
// once (ListFiles: sorted, extensions removed) or step by step (Open, then
// ReadEntries a batch at a time) for pages written in pieces.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

class TpCommand;

class TpDirList {
public:
    // Starts a step-wise listing of the entries matching pattern (the part
    // after the last '/' is the name pattern; without '/' the working folder
    // is listed). Only folders when directoriesOnly is set, else only files.
    // False when the folder cannot be read (nothing listed).
    bool Open(const std::string& pattern, bool directoriesOnly);
    // Moves up to maxEntries more entries into the list; true while more
    // remain to be read.
    bool ReadEntries(int maxEntries);

    // Adds the files matching pattern, without their extension, sorted;
    // returns the number added (0 when the folder is missing).
    int ListFiles(const std::string& pattern);

    // Replaces the command's items with the listed names, in list order, and
    // returns the index of the name equal to selected (the last one when
    // several are), -1 when none is (or there is no command). A command in
    // the store is filled through it, so every view of its id follows.
    int FillCommandItems(TpCommand* cmd, const std::string& selected) const;

    const std::vector<std::string>& Names() const { return names_; }
    // Entry details in the same order as Names().
    const std::vector<DirEntry>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(names_.size()); }
    void Clear();

private:
    std::vector<DirEntry> pending_;
    size_t next_ = 0;
    std::vector<std::string> names_;
    std::vector<DirEntry> entries_;
};
