#include "TextTable.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& TableMutex()
{
    static std::mutex m;
    return m;
}

std::vector<std::string>& Table()
{
    static std::vector<std::string> t;
    return t;
}

} // namespace

std::string GetText(unsigned n)
{
    if (n == 0)
        return std::string();
    {
        std::lock_guard<std::mutex> lock(TableMutex());
        if (n < Table().size())
            return Table()[n];
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "? %u", n);
    return buf;
}

void SetTextTable(std::vector<std::string> texts)
{
    std::lock_guard<std::mutex> lock(TableMutex());
    Table() = std::move(texts);
}

unsigned TextTableSize()
{
    std::lock_guard<std::mutex> lock(TableMutex());
    return static_cast<unsigned>(Table().size());
}
