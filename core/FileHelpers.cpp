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

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        pos = end + 1;
    }
    return lines;
}
