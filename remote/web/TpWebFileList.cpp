#include "TpWebFileList.h"

#include "MarkupText.h"

#include "core/text/LocalTime.h"

#include "platform/DebugOut.h"
#include "platform/Paths.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

// How an entry's modification time is shown in its row.
constexpr const char* kDescriptionFormat = "%Y-%m-%d %H:%M:%S";
constexpr size_t kDescriptionBytes = 40;

} // namespace

TpWebFileList::TpWebFileList(const std::string& pattern)
    : pattern_(pattern)
{
}

bool TpWebFileList::Begin(const std::string& indexPath, const std::string& title, const std::string& heading,
                          const std::string& introduction, const std::string& emptyText)
{
    emptyText_ = emptyText;
    const std::string pattern = Paths::MapInstrumentPath(pattern_);
    size_t star = pattern.find('*');
    dirAndPrefix_ = pattern.substr(0, star);
    extension_ = star == std::string::npos ? std::string() : pattern.substr(star + 1);
    showBmp_ = extension_ == ".bmp";
    size_t slash = dirAndPrefix_.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : dirAndPrefix_.substr(0, slash);

    reading_ = false;
    names_.clear();
    cursor_ = 0;
    dirList_.Clear();
    const std::string path = Paths::MapInstrumentPath(indexPath);
    if (!out_.Open(path)) {
        DebugPrintf("Couldn't create report index: %s\n", indexPath.c_str());
        return false;
    }
    Write("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><Head>\n"
          "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=iso-8859-1'>\n<TITLE>");
    Write(title);
    Write("</TITLE>\n<link rel='stylesheet' type='text/css' href='../files/style.css'>\n"
          "<SCRIPT LANGUAGE='JavaScript' type='text/javascript' SRC='../files/external.js'></SCRIPT>\n"
          "</Head>\n<body>\n");
    Write("<div class='ReportName'>" + heading + "</div>\n");
    Write(introduction + "\n<hr><table>\n");
    reading_ = true;
    // A folder that cannot be read lists nothing: the page says so.
    dirList_.Open(pattern, directoriesOnly_);
    return true;
}

bool TpWebFileList::Step()
{
    if (!out_.IsOpen())
        return false;
    if (reading_) {
        if (dirList_.ReadEntries(kEntriesPerStep))
            return true;
        reading_ = false;
        // The host gives a folder's entries in no particular order.
        names_ = dirList_.Names();
        std::sort(names_.begin(), names_.end());
        cursor_ = 0;
        if (!names_.empty())
            return true;
        Finish();
        return false;
    }
    if (names_.empty())
        return false;
    for (int i = 0; i < kRowsPerStep && cursor_ < names_.size(); ++i)
        WriteRow(names_[cursor_++]);
    if (cursor_ < names_.size())
        return true;
    Finish();
    return false;
}

bool TpWebFileList::WriteAllRows()
{
    dirList_.Clear();
    int count = dirList_.ListFiles(Paths::MapInstrumentPath(pattern_));
    for (const std::string& name : dirList_.Names())
        WriteLinkRow(showBmp_, name + extension_, name + extension_, std::string());
    return count > 0;
}

void TpWebFileList::Finish()
{
    if (!out_.IsOpen())
        return;
    if (dirList_.Count() == 0)
        Write("<div>" + emptyText_ + "</div>\n");
    Write("</table>\n");
    Write("</body></html>\n");
    reading_ = false;
    const std::string path = out_.Path();
    if (!out_.Commit())
        DebugPrintf("Couldn't create report index: %s\n", path.c_str());
}

void TpWebFileList::WriteRow(const std::string& name)
{
    const std::string description = Description(name);
    if (description.empty())
        return;
    WriteLinkRow(showBmp_, name, name, description);
}

std::string TpWebFileList::Description(const std::string& name) const
{
    struct stat info {};
    if (::stat((folder_ + "/" + name).c_str(), &info) != 0)
        return {};
    return FormatLocalTimeAt(info.st_mtime, kDescriptionFormat, kDescriptionBytes);
}

void TpWebFileList::WriteLinkRow(bool showBmp, const std::string& link, const std::string& text,
                                 const std::string& description)
{
    if (showBmp) {
        // The name sits in a script string inside an attribute.
        std::string script;
        for (char c : link) {
            if (c == '\'' || c == '\\')
                script += '\\';
            script += c;
        }
        Write("<tr><td><div><a href=\"javascript:ShowBmp('" + HtmlText(script) + "')\">" + HtmlText(text) +
              "</a></div></td><td><div>" + description + "</div></td></tr>\n");
    } else {
        Write("<tr><td><div><a href='" + HtmlText(link) + "'>" + HtmlText(text) + "</a></div></td><td><div>" +
              description + "</div></td></tr>\n");
    }
}

std::string TpWebFileList::HtmlText(const std::string& text)
{
    return MarkupText(text, MarkupKind::kHtml);
}
