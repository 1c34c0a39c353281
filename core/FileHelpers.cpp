#include "FileHelpers.h"

#include "platform/DebugOut.h"

#include <cstdio>
#include <sys/stat.h>

int FileExists(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return 0;
    std::fclose(f);
    return 1;
}

int FileTimeChanged(const std::string& path, std::time_t& storedTime)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        DebugPrintf("Couldn't stat '%s'\n", path.c_str());
        return 0;
    }
    if (st.st_mtime == storedTime)
        return 0;
    storedTime = st.st_mtime;
    return 1;
}
