// A temporary folder of the fuzz process, removed when the process ends.
#pragma once

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
        std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/zufuzz-XXXXXX";
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
