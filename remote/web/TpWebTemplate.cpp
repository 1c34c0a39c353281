#include "TpWebTemplate.h"

#include "core/text/LocalTime.h"

TpWebTemplate::TpWebTemplate(const std::string& reportName, const std::string& user,
                             const std::string& report)
    : reportName_(reportName), user_(user), report_(report)
{
}

void TpWebTemplate::ProcessToken(const std::string& name)
{
    std::string text;
    if (SameText(name, "REPORTNAME")) {
        text = reportName_;
    } else if (SameText(name, "DATE")) {
        std::string format = GetParam("format");
        if (format.empty())
            format = "%B %d %Y - %H.%M";
        // A format too long for the buffer gives no date rather than a
        // partly filled one.
        text = FormatLocalTime(format, kDateBytes);
    } else if (SameText(name, "USER")) {
        text = user_;
    } else if (SameText(name, "REPORT")) {
        text = report_;
    }
    if (text.empty())
        return;
    Write(GetParam("before"));
    Write(text);
    Write(GetParam("after"));
}
