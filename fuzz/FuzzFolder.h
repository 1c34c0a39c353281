// A temporary folder of the fuzz process, removed when the process ends, and
// the quiet home a fuzzed application runs in. Without TMPDIR it is made in
// memory (/dev/shm) where that can be written: runs make and remove files by
// the thousand, which a disk's file system does slowly.
#pragma once

#include "platform/FileSystem.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

class FuzzFolderOwner {
public:
    FuzzFolderOwner()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp != nullptr && tmp[0] != '\0' ? tmp : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/zufuzz-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) == nullptr)
            std::abort();
        path = buf.data();
    }
    ~FuzzFolderOwner()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

inline const std::string& FuzzFolder()
{
    static const FuzzFolderOwner owner;
    return owner.path;
}

// Makes the fuzz folder HOME and the working folder, with the console quiet;
// with settings, writes them as the working folder's system.cfg.
inline void EnterFuzzFolder(const char* settings = nullptr)
{
    setenv("HOME", FuzzFolder().c_str(), 1);
    setenv("ZU_QUIET", "1", 1);
    if (chdir(FuzzFolder().c_str()) != 0)
        std::abort();
    if (settings != nullptr && !WriteFileAtomic(FuzzFolder() + "/system.cfg", settings))
        std::abort();
}

// Static mode without an address: the remote-control server never listens.
inline constexpr const char* kDeafSettings = "IpAddress=0.0.0.0\nDNS=0\n";
