#include "TpXmlStatus.h"

#include "MarkupText.h"

#include "core/files/AtomicOutFile.h"
#include "core/text/LocalTime.h"
#include "TpXmlLayout.h"

#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace {

// The instrument's date-and-time format texts by date order; the status date
// uses the part after the first space.
struct DateFormatRow {
    TpDateOrder order;
    const char* format;
};
// order, date-and-time format
static constexpr DateFormatRow kDateFormats[] = {
    {TpDateOrder::kDayMonthYear, "%H:%M:%S %d-%m-%Y   "},
    {TpDateOrder::kMonthDayYear, "%H:%M:%S %m-%d-%Y   "},
    {TpDateOrder::kYearMonthDay, "%H:%M:%S %Y-%m-%d   "},
};

std::string StatusDate(TpDateOrder order)
{
    const char* format = kDateFormats[0].format;
    for (const DateFormatRow& row : kDateFormats)
        if (row.order == order)
            format = row.format;
    std::string text = format;
    text = text.substr(text.find(' ') + 1);
    std::string date = FormatLocalTime(text, TpXmlStatus::kDateBytes);
    return date.substr(0, date.find(' '));
}

// Numbers are written with a '.' whatever the host's language settings.
std::string FormatC(const char* format, double number)
{
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    locale_t previous = cLocale != static_cast<locale_t>(nullptr) ? uselocale(cLocale) : nullptr;
    char buffer[400];
    int n = std::snprintf(buffer, sizeof buffer, format, number);
    if (previous != nullptr)
        uselocale(previous);
    return n > 0 ? std::string(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1)) : std::string();
}

// A number value written by divisor: 1 as it is, 2-10 with one decimal,
// 11-100 with two, 101-1000 with three, anything else (above 1000 or
// negative) with six.
std::string NumberText(int32_t value, int64_t divisor)
{
    if (divisor == 1)
        return std::to_string(value);
    double quotient = static_cast<double>(value) / static_cast<double>(divisor);
    if (divisor >= 2 && divisor <= 10)
        return FormatC("%.1f", quotient);
    if (divisor >= 11 && divisor <= 100)
        return FormatC("%.2f", quotient);
    if (divisor >= 101 && divisor <= 1000)
        return FormatC("%.3f", quotient);
    return FormatC("%f", quotient);
}

} // namespace

bool TpXmlStatus::Write(const std::string& xmlPath, const std::string& layoutPath, const TpCommandEntries& store)
{
    // A failed export must not leave the previous export's table behind.
    table_.clear();
    std::string layout;
    const bool haveLayout = ReadWholeFile(Paths::MapInstrumentPath(layoutPath), layout);
    AtomicOutFile xml;
    if (!xml.Open(Paths::MapInstrumentPath(xmlPath))) {
        DebugPrintf("Couldn't create xml file: %s\n", xmlPath.c_str());
        return false;
    }
    if (!haveLayout) {
        xml.Write("No config file: " + layoutPath + " found\n");
        DebugPrintf("Couldn't open config file: %s\n", layoutPath.c_str());
        xml.Commit();
        return false;
    }
    std::string text;
    std::string table;
    Format(layout, store, text, table);
    xml.Write(text);
    if (!xml.Commit()) {
        DebugPrintf("Couldn't create xml file: %s\n", xmlPath.c_str());
        return false;
    }
    table_ = std::move(table);
    return true;
}

void TpXmlStatus::Format(const std::string& layout, const TpCommandEntries& store, std::string& xml,
                         std::string& table) const
{
    xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<!DOCTYPE ZU_STATUS [<!ELEMENT Field (#PCDATA)><!ATTLIST Field Name CDATA #REQUIRED Value CDATA "
           "#REQUIRED><!ELEMENT ZuStatus (Field)*>]>\n";
    xml += "<ZuStatus>\n";
    table = "<table>\n";

    for (const TpXmlField& field : TpXmlLayout::Parse(layout)) {
        if (field.cmdId >= store.EntryCount())
            continue;
        const TpCommand* cmd = store.GetCmd(field.cmdId);
        if (cmd == nullptr || !cmd->IsVisible())
            continue;
        std::string xmlValue;
        std::string tableValue;
        if (field.label == kDateLabel) {
            xmlValue = tableValue = StatusDate(dateOrder_);
        } else if (field.divisor == 0) {
            tableValue = cmd->GetText();
            xmlValue = MarkupText(tableValue, MarkupKind::kXml);
        } else {
            xmlValue = tableValue = NumberText(cmd->GetValue(), field.divisor);
        }
        xml += "<Field><Name>" + MarkupText(field.label, MarkupKind::kXml) + "</Name><Value>" + xmlValue + "</Value></Field>\n";
        table += "<tr><td>" + field.label + "</td><td>" + tableValue + "</td></tr>\n";
    }

    xml += "</ZuStatus>\n";
    table += "</table>\n";
}
