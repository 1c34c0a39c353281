#include "TpEventLogPage.h"

#include "MarkupText.h"

#include <algorithm>

namespace {

// Levels by an entry's first character; any other character is an error.
struct LevelRow {
    char first;
    int code;
    const char* rowClass;
};
// first character, level code, class of the row's cells
static constexpr LevelRow kLevels[] = {
    {'W', 2, "logWarning"},
    {'i', 3, "logInfo"},
    {'C', 4, "logCommand"},
};
constexpr int kLevelError = 1;
constexpr const char* kErrorClass = "logError";

// The level selector's options after "All", by level code.
static constexpr const char* kLevelNames[] = {"Error", "Warning", "Info", "Command"};

// Page sizes by page-size code (any other code: the first).
struct PageSizeRow {
    uint16_t code;
    int size;
    const char* name;
};
// code, events per page, option text
static constexpr PageSizeRow kPageSizes[] = {
    {0, 20, "20"},
    {1, 50, "50"},
    {2, 100, "100"},
};

// Where the fields of an entry's text start, and their widths.
constexpr size_t kTimeAt = 2, kTimeWidth = 8;
constexpr size_t kDateAt = 11, kDateWidth = 11;
constexpr size_t kMessageAt = 22, kMessageWidth = 55;

constexpr const char* kEndOfLog = "<h1>End of Event Log</h1><hr>";

// A field of an entry as page text: empty when the entry does not reach it.
// Markup characters are written as entities and control bytes left out, so
// an event's text can neither break the page nor end it early (0x03).
std::string Field(const std::string& text, size_t at, size_t width)
{
    return at < text.size() ? MarkupText(text.substr(at, width), MarkupKind::kPageText) : std::string();
}

const char* RowClass(char first)
{
    for (const LevelRow& row : kLevels)
        if (row.first == first)
            return row.rowClass;
    return kErrorClass;
}

} // namespace

TpEventLogPage::TpEventLogPage(uint32_t item, uint16_t filterCode, uint16_t pageCode)
    : pageCode_(pageCode)
{
    int start = static_cast<int32_t>(item);
    if (start < 0)
        start = 0;   // no such start: the first page
    if (start == kLastPage)
        lastPageMark_ = true;
    if (start >= kPageBefore) {
        start -= kPageBefore + 1;
        if (start < 0)
            start = 0;
        else
            backward_ = true;
    }
    start_ = start;
    filter_ = filterCode <= 4 ? filterCode : 0;
    for (const PageSizeRow& row : kPageSizes)
        if (row.code == pageCode)
            pageSize_ = row.size;
}

int TpEventLogPage::LevelOf(char first)
{
    for (const LevelRow& row : kLevels)
        if (row.first == first)
            return row.code;
    return kLevelError;
}

std::string TpEventLogPage::Row(const std::string& entryText)
{
    // The entry is used up to its first NUL and at most kEntryTextMax
    // characters of it.
    const std::string text = entryText.substr(0, std::min(entryText.find('\0'), kEntryTextMax));
    const std::string cls = text.empty() ? kErrorClass : RowClass(text[0]);
    return "<tr><td class=\"" + cls + "\">" + Field(text, 0, 1) + "</td><td class=\"" + cls + "\">" +
           Field(text, kTimeAt, kTimeWidth) + "</td><td class=\"" + cls + "\">" + Field(text, kDateAt, kDateWidth) +
           "</td><td class=\"" + cls + "\" style=\"width:350px\" >" + Field(text, kMessageAt, kMessageWidth) +
           "</td></tr>\n";
}

std::string TpEventLogPage::DivStart(int left, int top)
{
    return "<div style=\"position:absolute;left:" + std::to_string(left) + "px;top:" + std::to_string(top) +
           "px; text-indent:0px \" ";
}

std::string TpEventLogPage::Head() const
{
    return "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n"
           "<title>Corvane Zu Event Log</title>\n"
           "<link rel=\"stylesheet\" type=\"text/css\" href=\"../files/style.css\"></head>\n<body>"
           "<HR><H1><A style=\"color:inherit;text-decoration: none;\" href=\"../index.html\">Corvane ZU</A> Event "
           "Log</H1><HR>"
           "<script>var CurI=" + std::to_string(start_) + "; var CurF=" + std::to_string(filter_) +
           "; var CurN=" + std::to_string(pageCode_) + "; "
           " function GetEv(Num){St=document.getElementById(\"Level\").selectedIndex.toString();"
           "Pg=document.getElementById(\"Page\").selectedIndex.toString(); "
           "window.location='/cgi-bin/controls.cgi?GetText+Log+S'+St+'+P'+Pg+'+N' + Num.toString()+ '+'; \n"
           " document.getElementById(\"a1\").disabled = true; \n"
           " document.getElementById(\"a2\").disabled = true; \n"
           " document.getElementById(\"a3\").disabled = true; \n"
           " document.getElementById(\"a4\").disabled = true; }</script>\n";
}

void TpEventLogPage::RunWalk(Source& source, int count, Walk& walk) const
{
    std::string text;
    for (int index = walk.start; index >= 0 && index < count; index += walk.step) {
        if (!source.Entry(index, text))
            return;
        if (filter_ != 0 && LevelOf(text.empty() ? '\0' : text[0]) != filter_)
            continue;
        if (!text.empty() && text[0] != '\0')
            walk.rows.push_back(Row(text));
        if (walk.first < 0)
            walk.first = index;
        walk.last = index;
        if (++walk.listed >= pageSize_)
            return;
    }
}

std::string TpEventLogPage::Navigation(const Walk& walk, int count) const
{
    const bool full = walk.listed >= pageSize_;
    const int lowest = std::min(walk.first, walk.last);
    const int highest = std::max(walk.first, walk.last);
    const int previous = kPageBefore + (full ? std::max(lowest, 0) : walk.start);
    const int next = std::clamp(full ? highest + 1 : walk.start, 0, count);
    return DivStart(5, 88) +
           " > <button onClick=GetEv(0) id=\"a1\" >&lt;&lt;</button>&nbsp;&nbsp;<button onClick=GetEv(" +
           std::to_string(previous) + ") id=\"a2\" " + ">&lt;</button>&nbsp;&nbsp;<button onClick=GetEv(" +
           std::to_string(next) + ") id=\"a3\" " + ">&gt;</button>&nbsp;&nbsp;<button onClick=GetEv(" +
           std::to_string(kLastPage) + ") id=\"a4\" " + ">&gt;&gt;</button></div>";
}

std::string TpEventLogPage::Selectors() const
{
    std::string out = DivStart(180, 88) +
                      " > Filter:&nbsp;<select onChange=\"GetEv(CurI)\" name=\"Level\" id=\"Level\">"
                      "<option value=\"A\" >All</option>";
    for (int level = 1; level <= 4; ++level)
        out += "<option value=\"" + std::to_string(level) + "\"" + (level == filter_ ? " selected " : "") + ">" +
               kLevelNames[level - 1] + "</option>";
    out += "</select>\n";
    out += "&nbsp;&nbsp;&nbsp;Events Per Page:<select onChange=\"GetEv(CurI)\" name=\"Page\" id=\"Page\">";
    for (const PageSizeRow& row : kPageSizes)
        out += "<option value=\"" + std::to_string(row.code) + "\"" + (row.size == pageSize_ ? " selected " : "") +
               ">" + row.name + "</option>";
    out += "</select></div>\n";
    return out;
}

bool TpEventLogPage::Send(Source& source, const Sink& sink)
{
    int count = 0;
    if (!source.Count(count) || count < 0)
        count = 0;
    if (!sink(Head()))
        return false;

    Walk walk;
    walk.start = start_;
    walk.step = backward_ ? -1 : 1;
    const bool lastPage = start_ >= count || lastPageMark_;
    if (lastPage) {
        walk.start = count > 0 ? count - 1 : 0;
        walk.step = count > 0 ? -1 : 1;
    }
    RunWalk(source, count, walk);
    if (walk.step < 0 && walk.listed < pageSize_) {
        // Not a page's worth before the start of the log: the first page.
        walk = Walk();
        RunWalk(source, count, walk);
    }

    std::string out;
    if (walk.rows.empty()) {
        out = "<br><br><hr>";
        out += kEndOfLog;
    } else {
        if (!sink("<br><br><hr><table border=\"1\"><tr><th class=\"logheading\">Level</th><th "
                  "class=\"logheading\">Time</th><th class=\"logheading\">Date</th><th "
                  "class=\"logheading\">Message</th></tr>\n"))
            return false;
        if (walk.step > 0) {
            std::string rows;
            for (const std::string& row : walk.rows)
                rows += row;
            if (!sink(rows))
                return false;
        } else {
            for (auto row = walk.rows.rbegin(); row != walk.rows.rend(); ++row)
                if (!sink(*row))
                    return false;
        }
        out = "</table>";
        const bool full = walk.listed >= pageSize_;
        if (!full || std::max(walk.first, walk.last) == count - 1 || lastPage)
            out += kEndOfLog;
    }
    out += Navigation(walk, count);
    out += Selectors();
    if (!walk.rows.empty())
        out += DivStart(480, 90) + " ><b>Displaying " + std::to_string(std::min(walk.first, walk.last) + 1) +
               " to " + std::to_string(std::max(walk.first, walk.last) + 1) + " of " + std::to_string(count) +
               " Events<b></div>";
    out += "<br><br></body></html>";
    out += '\x03';
    return sink(out);
}
