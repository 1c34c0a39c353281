#include "WebPageExpectations.h"

namespace web_page {

namespace {

std::string N(int n)
{
    return std::to_string(n);
}

std::string Style(int left, int top)
{
    return " style=\"position:absolute;left:" + N(left) + "px;top:" + N(top) + "px; text-indent:0px \" ";
}

std::string ClassOf(char level)
{
    switch (level) {
    case 'W': return "logWarning";
    case 'i': return "logInfo";
    case 'C': return "logCommand";
    default: return "logError";
    }
}

} // namespace

std::string Row(const Entry& e)
{
    const std::string c = ClassOf(e.level);
    return "<tr><td class=\"" + c + "\">" + std::string(1, e.level) + "</td><td class=\"" + c + "\">" + e.time +
           "</td><td class=\"" + c + "\">" + e.date + " </td><td class=\"" + c + "\" style=\"width:350px\" >" +
           e.message.substr(0, 55) + "</td></tr>\n";
}

const std::string& TableHeading()
{
    static const std::string text =
        "<br><br><hr><table border=\"1\"><tr><th class=\"logheading\">Level</th><th class=\"logheading\">Time</th>"
        "<th class=\"logheading\">Date</th><th class=\"logheading\">Message</th></tr>\n";
    return text;
}

const std::string& EndOfLog()
{
    static const std::string text = "<h1>End of Event Log</h1><hr>";
    return text;
}

std::string Page::Html() const
{
    std::string html =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n<title>Corvane Zu Event "
        "Log</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"../files/style.css\"></head>\n<body>"
        "<HR><H1><A style=\"color:inherit;text-decoration: none;\" href=\"../index.html\">Corvane ZU</A> Event "
        "Log</H1><HR>";
    html += "<script>var CurI=" + N(curI) + "; var CurF=" + N(curF) + "; var CurN=" + N(curN) + "; ";
    html += " function GetEv(Num){St=document.getElementById(\"Level\").selectedIndex.toString();Pg=document."
            "getElementById(\"Page\").selectedIndex.toString(); window.location='/cgi-bin/controls.cgi?GetText+Log+"
            "S'+St+'+P'+Pg+'+N' + Num.toString()+ '+'; \n document.getElementById(\"a1\").disabled = true; \n "
            "document.getElementById(\"a2\").disabled = true; \n document.getElementById(\"a3\").disabled = true; \n "
            "document.getElementById(\"a4\").disabled = true; }</script>\n";
    if (rows.empty()) {
        html += "<br><br><hr>" + EndOfLog();
    } else {
        html += TableHeading();
        for (const std::string& row : rows)
            html += row;
        html += "</table>";
        if (endOfLog)
            html += EndOfLog();
    }
    html += "<div" + Style(5, 88) +
            " > <button onClick=GetEv(0) id=\"a1\" >&lt;&lt;</button>&nbsp;&nbsp;<button onClick=GetEv(" +
            N(previous) + ") id=\"a2\" >&lt;</button>&nbsp;&nbsp;<button onClick=GetEv(" + N(next) +
            ") id=\"a3\" >&gt;</button>&nbsp;&nbsp;<button onClick=GetEv(99999) id=\"a4\" >&gt;&gt;</button></div>";
    html += "<div" + Style(180, 88) +
            " > Filter:&nbsp;<select onChange=\"GetEv(CurI)\" name=\"Level\" id=\"Level\"><option value=\"A\" "
            ">All</option>";
    const char* levels[] = {"Error", "Warning", "Info", "Command"};
    for (int i = 1; i <= 4; ++i)
        html += "<option value=\"" + N(i) + "\"" + (i == levelSelected ? " selected " : "") + ">" + levels[i - 1] +
                "</option>";
    html += "</select>\n&nbsp;&nbsp;&nbsp;Events Per Page:<select onChange=\"GetEv(CurI)\" name=\"Page\" "
            "id=\"Page\">";
    const char* sizes[] = {"20", "50", "100"};
    for (int i = 0; i < 3; ++i)
        html += "<option value=\"" + N(i) + "\"" + (i == sizeSelected ? " selected " : "") + ">" + sizes[i] +
                "</option>";
    html += "</select></div>\n";
    if (!rows.empty())
        html += "<div" + Style(480, 90) + " ><b>Displaying " + N(lowest + 1) + " to " + N(highest + 1) + " of " +
                N(count) + " Events<b></div>";
    html += "<br><br></body></html>";
    html += '\x03';
    return html;
}

std::string IndexHead(const std::string& title, const std::string& heading, const std::string& intro)
{
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><Head>\n"
           "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=iso-8859-1'>\n"
           "<TITLE>" + title + "</TITLE>\n"
           "<link rel='stylesheet' type='text/css' href='../files/style.css'>\n"
           "<SCRIPT LANGUAGE='JavaScript' type='text/javascript' SRC='../files/external.js'></SCRIPT>\n"
           "</Head>\n<body>\n"
           "<div class='ReportName'>" + heading + "</div>\n" +
           intro + "\n<hr><table>\n";
}

} // namespace web_page
