#include "FileHelpers.h"

#include "platform/DebugOut.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <sys/stat.h>

int FileExists(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return 0;
    std::fclose(f);
    return 1;
}

bool PlainFileName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find("..") == std::string::npos;
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

int64_t LeadingInteger(const std::string& text, size_t pos)
{
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    constexpr uint64_t kMost = static_cast<uint64_t>(INT64_MAX) + 1;   // the magnitude of INT64_MIN
    uint64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const auto digit = static_cast<uint64_t>(text[pos] - '0');
        value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
    }
    if (negative)
        return value >= kMost ? INT64_MIN : -static_cast<int64_t>(value);
    return value > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(value);
}

bool ParseInt(const std::string& text, long long least, long long most, long long& out)
{
    if (text.empty())
        return false;
    long long v = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    std::from_chars_result r;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        unsigned long long u = 0;
        r = std::from_chars(begin + 2, end, u, 16);
        if (r.ec != std::errc() || r.ptr != end || u > static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
            return false;
        v = static_cast<long long>(u);
    } else {
        r = std::from_chars(begin, end, v, 10);
        if (r.ec != std::errc() || r.ptr != end)
            return false;
    }
    if (v < least || v > most)
        return false;
    out = v;
    return true;
}
