#include "TpReportList.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// How much of the end of a report page is searched for its error count, and
// the size of the pieces it is read in.
constexpr long kTailBytes = 1024;
constexpr int kPieceChars = 119;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

TpReportList::TpReportList(const std::string& pattern, const std::string& resultLabel)
    : TpWebDirList(pattern), resultLabel_(resultLabel)
{
}

std::string TpReportList::Result(const std::string& pagePath) const
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(pagePath.c_str(), "r"));
    if (file == nullptr)
        return "FAIL";
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return "FAIL";
    const long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), size > kTailBytes ? size - kTailBytes : 0, SEEK_SET) != 0)
        return "FAIL";
    // The count line the report writes for a run without errors.
    const std::string passed = "<div>" + resultLabel_ + " 0</div>";
    char piece[kPieceChars + 1];
    while (std::fgets(piece, sizeof piece, file.get()) != nullptr) {
        if (std::strstr(piece, passed.c_str()) != nullptr)
            return "OK";
    }
    return "FAIL";
}

void TpReportList::WriteRow(const std::string& name)
{
    const std::string description = Description(name);
    if (description.empty())
        return;
    const std::string result = Result(Folder() + "/" + name + "/index.html");
    Write("<tr><td><div><a href='" + HtmlText(name) + "'>" + HtmlText(name) + "</a></div></td><td><div>" +
          description + "</div></td><td><div>" + result + "</div></td></tr>\n");
}
