// File and folder services of the host, in place of the instrument's
// directory-listing, delete and mkdir calls.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct DirEntry {
    std::string name;        // name inside the folder, no path
    bool isDirectory = false;
    std::time_t modified = 0;
    uint64_t size = 0;
};

// True when the wildcard pattern ('*' any run, '?' one character) matches the
// whole name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Lists the entries of folder whose names match pattern, leaving out "." and
// "..", in the order the host gives them. False (and nothing listed) when the
// folder cannot be read.
bool ListDirectory(const std::string& folder, const std::string& pattern,
                   std::vector<DirEntry>& out);

// Removes one file; false when it could not be removed.
bool DeleteFile(const std::string& path);

// Creates one folder level; true when it exists afterwards.
bool MakeFolder(const std::string& path);

bool FolderExists(const std::string& path);
// Anything (file, folder, link) stands at path.
bool PathExists(const std::string& path);
// A regular file stands at path.
bool IsRegularFile(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Writes bytes to a temporary file beside path and renames it into place, so
// the file is either the old one or the complete new one. False on any error,
// in which case the old file is left as it was.
bool WriteFileAtomic(const std::string& path, const std::string& bytes);
