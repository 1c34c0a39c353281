// An output file written under a temporary name beside its final path and
// renamed into place when committed, so a reader never sees half a page and a
// failed write leaves the previous file as it was. Dropping it uncommitted
// removes the temporary file.
#pragma once

#include <cstdio>
#include <string>

class AtomicOutFile {
public:
    AtomicOutFile() = default;
    ~AtomicOutFile();
    AtomicOutFile(const AtomicOutFile&) = delete;
    AtomicOutFile& operator=(const AtomicOutFile&) = delete;

    // Creates the temporary file for path (any file still open is dropped).
    // False when it cannot be created.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // Appends bytes as they stand (no format processing). Ignored when closed.
    void Write(const std::string& text);
    void Write(const char* text, size_t length);

    // Closes the file and renames it into place; false (and no file at path
    // changed) when anything failed while writing or renaming.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

    const std::string& Path() const { return path_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temp_;
    bool failed_ = false;
};
