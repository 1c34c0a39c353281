// Event-log pages fetched over a real connection (type 4, sub-code 0x33):
// whole pages compared byte for byte for empty, short, one-page and
// many-page logs, every filter and page size, paging back and forth the way
// the front end's buttons do, several clients at once, and remote control
// switched off.
#include "remote/RemoteServerTest.h"
#include "WebPageExpectations.h"

#include "KrZuApi.h"
#include "core/TpLogger.h"
#include "core/TpStore.h"

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using web_page::Entry;
using web_page::Page;

constexpr uint32_t kSubEventPage = 0x33;

// Entries with the levels in an uneven pattern: per eight, two errors, three
// warnings, two information events and one command.
std::vector<Entry> MixedLog(int count)
{
    static const char kPattern[] = "EWWiCiEW";
    std::vector<Entry> log;
    for (int i = 0; i < count; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "10:%02d:%02d", (i / 60) % 60, i % 60);
        log.push_back({kPattern[i % 8], time, "01-03-2024", "Event " + std::to_string(i)});
    }
    return log;
}

int LevelCode(char level)
{
    return level == 'W' ? 2 : level == 'i' ? 3 : level == 'C' ? 4 : 1;
}

// The first page (start 0) of log for a filter and a page-size code.
Page FirstPage(const std::vector<Entry>& log, uint16_t filter, uint16_t pageCode)
{
    const int size = pageCode == 1 ? 50 : pageCode == 2 ? 100 : 20;
    const int level = filter <= 4 ? filter : 0;
    Page page;
    page.curF = level;
    page.curN = pageCode;
    page.count = static_cast<int>(log.size());
    page.levelSelected = level;
    page.sizeSelected = size == 50 ? 1 : size == 100 ? 2 : 0;
    std::vector<int> listed;
    for (int i = 0; i < page.count && static_cast<int>(listed.size()) < size; ++i)
        if (level == 0 || LevelCode(log[static_cast<size_t>(i)].level) == level)
            listed.push_back(i);
    for (int i : listed)
        page.rows.push_back(web_page::Row(log[static_cast<size_t>(i)]));
    const bool full = static_cast<int>(listed.size()) == size;
    if (!listed.empty()) {
        page.lowest = listed.front();
        page.highest = listed.back();
    }
    page.endOfLog = !full || page.highest == page.count - 1;
    page.previous = 100000 + (full ? page.lowest : 0);
    page.next = full ? std::min(page.highest + 1, page.count) : 0;
    return page;
}

// A page of consecutive entries first..last of log, all levels, 20 a page.
Page Span(const std::vector<Entry>& log, int first, int last)
{
    Page page;
    page.count = static_cast<int>(log.size());
    for (int i = first; i <= last; ++i)
        page.rows.push_back(web_page::Row(log[static_cast<size_t>(i)]));
    page.lowest = first;
    page.highest = last;
    return page;
}

class EventLogPages : public RemoteServerTest {
protected:
    // Builds the application with exactly these event texts in its log and
    // runs the loop.
    bool StartWithTexts(const std::vector<std::string>& texts)
    {
        if (!MakeApp("", true))
            return false;
        app->Logger().Clear();
        for (const std::string& text : texts)
            app->Store().AddItem(COM_ANLYS_LOG_VIEW, text);
        RunLoop();
        return true;
    }
    bool StartWithLog(const std::vector<Entry>& log)
    {
        std::vector<std::string> texts;
        for (const Entry& e : log)
            texts.push_back(e.Text());
        return StartWithTexts(texts);
    }

public:
    static std::string PageRequest(uint32_t start, uint16_t filter, uint16_t pageCode)
    {
        RemoteMsgHeader h;
        h.magic = kRemoteMagic;
        h.type = 4;
        h.cmdId = filter;
        h.spare = pageCode;
        h.item = start;
        h.value = kSubEventPage;
        uint8_t bytes[kRemoteHeaderSize];
        h.Encode(bytes);
        return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    // Everything up to and including the closing byte 0x03.
    static std::string Fetch(TestClient& c, uint32_t start, uint16_t filter = 0, uint16_t pageCode = 0)
    {
        if (!c.Send(PageRequest(start, filter, pageCode)))
            return "<not sent>";
        std::string page;
        char chunk[4096];
        while (page.empty() || page.back() != '\x03') {
            const long n = c.socket.RecvFor(chunk, sizeof chunk, TestClient::kWaitMs);
            if (n <= 0)
                return page + "<ended early>";
            page.append(chunk, static_cast<size_t>(n));
        }
        return page;
    }
};

TEST_F(EventLogPages, AnEmptyLogShowsTheEndOfTheLogAndNoDisplayingLine)
{
    ASSERT_TRUE(StartWithTexts({}));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    const std::string expected =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n"
        "<title>Corvane Zu Event Log</title>\n"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"../files/style.css\"></head>\n<body>"
        "<HR><H1><A style=\"color:inherit;text-decoration: none;\" href=\"../index.html\">Corvane ZU</A> Event Log"
        "</H1><HR><script>var CurI=0; var CurF=0; var CurN=0;  function GetEv(Num){St=document.getElementById("
        "\"Level\").selectedIndex.toString();Pg=document.getElementById(\"Page\").selectedIndex.toString(); "
        "window.location='/cgi-bin/controls.cgi?GetText+Log+S'+St+'+P'+Pg+'+N' + Num.toString()+ '+'; \n"
        " document.getElementById(\"a1\").disabled = true; \n document.getElementById(\"a2\").disabled = true; \n"
        " document.getElementById(\"a3\").disabled = true; \n document.getElementById(\"a4\").disabled = true; }"
        "</script>\n"
        "<br><br><hr><h1>End of Event Log</h1><hr>"
        "<div style=\"position:absolute;left:5px;top:88px; text-indent:0px \"  > <button onClick=GetEv(0) "
        "id=\"a1\" >&lt;&lt;</button>&nbsp;&nbsp;<button onClick=GetEv(100000) id=\"a2\" >&lt;</button>&nbsp;"
        "&nbsp;<button onClick=GetEv(0) id=\"a3\" >&gt;</button>&nbsp;&nbsp;<button onClick=GetEv(99999) "
        "id=\"a4\" >&gt;&gt;</button></div>"
        "<div style=\"position:absolute;left:180px;top:88px; text-indent:0px \"  > Filter:&nbsp;<select "
        "onChange=\"GetEv(CurI)\" name=\"Level\" id=\"Level\"><option value=\"A\" >All</option><option "
        "value=\"1\">Error</option><option value=\"2\">Warning</option><option value=\"3\">Info</option><option "
        "value=\"4\">Command</option></select>\n"
        "&nbsp;&nbsp;&nbsp;Events Per Page:<select onChange=\"GetEv(CurI)\" name=\"Page\" id=\"Page\"><option "
        "value=\"0\" selected >20</option><option value=\"1\">50</option><option value=\"2\">100</option>"
        "</select></div>\n"
        "<br><br></body></html>\x03";
    EXPECT_EQ(Fetch(c, 0), expected);
    EXPECT_EQ(Page().Html(), expected);   // the expectations below build the same text

    // The last page and the first page of nothing are the same page.
    Page last;
    last.curI = 99999;
    EXPECT_EQ(Fetch(c, 99999), last.Html());
    EXPECT_EQ(Fetch(c, 100000), Page().Html());
    Page large;
    large.curI = 12;
    large.previous = 100000;   // the walk went back to the start
    EXPECT_EQ(Fetch(c, 100013), large.Html());
}

TEST_F(EventLogPages, OneEventIsListedWithItsLevelAndFieldsAndFiltersShowOrHideIt)
{
    ASSERT_TRUE(StartWithTexts({"W 12:34:56 01-02-2024 Cable lost"}));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    EXPECT_EQ(web_page::TableHeading().size(), 172u);

    Page one;
    one.count = 1;
    one.rows = {"<tr><td class=\"logWarning\">W</td><td class=\"logWarning\">12:34:56</td><td "
                "class=\"logWarning\">01-02-2024 </td><td class=\"logWarning\" style=\"width:350px\" >Cable "
                "lost</td></tr>\n"};
    one.endOfLog = true;
    EXPECT_EQ(Fetch(c, 0), one.Html());
    EXPECT_NE(one.Html().find("Displaying 1 to 1 of 1 Events<b></div><br><br></body></html>\x03"),
              std::string::npos);

    Page warnings = one;
    warnings.curF = 2;
    warnings.levelSelected = 2;
    EXPECT_EQ(Fetch(c, 0, 2), warnings.Html());

    // Errors only: the warning is skipped.
    Page errors;
    errors.curF = 1;
    errors.levelSelected = 1;
    errors.count = 1;
    EXPECT_EQ(Fetch(c, 0, 1), errors.Html());

    // Beyond the end: the last page, listed backward from the only entry.
    Page beyond = one;
    beyond.curI = 5;
    EXPECT_EQ(Fetch(c, 5), beyond.Html());
}

TEST_F(EventLogPages, ALogOfExactlyOnePageEndsOnThatPage)
{
    const std::vector<Entry> log = MixedLog(20);
    ASSERT_TRUE(StartWithLog(log));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    Page page = Span(log, 0, 19);
    page.endOfLog = true;   // its highest entry is the last
    page.previous = 100000;
    page.next = 20;
    EXPECT_EQ(Fetch(c, 0), page.Html());
    EXPECT_EQ(FirstPage(log, 0, 0).Html(), page.Html());

    page.curI = 99999;
    EXPECT_EQ(Fetch(c, 99999), page.Html());
}

TEST_F(EventLogPages, TheButtonsPageForwardAndBackThroughALogOfSeveralPages)
{
    const std::vector<Entry> log = MixedLog(130);
    ASSERT_TRUE(StartWithLog(log));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // Forward: each page's "next" button asks for the one after it.
    for (int start = 0; start < 120; start += 20) {
        Page page = Span(log, start, start + 19);
        page.curI = start;
        page.previous = 100000 + start;
        page.next = start + 20;
        EXPECT_EQ(Fetch(c, static_cast<uint32_t>(start)), page.Html()) << "start " << start;
    }
    Page tail = Span(log, 120, 129);   // not full: the buttons keep its start
    tail.curI = 120;
    tail.endOfLog = true;
    tail.previous = 100120;
    tail.next = 120;
    EXPECT_EQ(Fetch(c, 120), tail.Html());

    // The last page lists the last twenty, backward from the end.
    Page last = Span(log, 110, 129);
    last.curI = 99999;
    last.endOfLog = true;
    last.previous = 100110;
    last.next = 130;
    EXPECT_EQ(Fetch(c, 99999), last.Html());

    // Back: 100,001 + k lists the twenty up to k.
    Page back = Span(log, 90, 109);
    back.curI = 109;
    back.previous = 100090;
    back.next = 110;
    EXPECT_EQ(Fetch(c, 100110), back.Html());

    // Fewer than a page before the start: the first page instead.
    Page first = Span(log, 0, 19);
    first.curI = 9;
    first.previous = 100000;
    first.next = 20;
    EXPECT_EQ(Fetch(c, 100010), first.Html());
    first.curI = 2;
    EXPECT_EQ(Fetch(c, 100003), first.Html());
}

TEST_F(EventLogPages, EveryFilterAndPageSizeListsOnlyItsLevelAndCountsOnlyListedEvents)
{
    const std::vector<Entry> log = MixedLog(260);
    ASSERT_TRUE(StartWithLog(log));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    // Level 9 lists everything; page-size code 7 means 20.
    for (uint16_t filter : {0, 1, 2, 3, 4, 9}) {
        for (uint16_t pageCode : {0, 1, 2, 7}) {
            const Page expected = FirstPage(log, filter, pageCode);
            EXPECT_EQ(Fetch(c, 0, filter, pageCode), expected.Html()) << "filter " << filter << " page " << pageCode;
        }
    }
    // Spot checks of what the model above gives.
    EXPECT_EQ(FirstPage(log, 2, 0).rows.size(), 20u);   // twenty warnings, errors between
    EXPECT_EQ(FirstPage(log, 4, 1).rows.size(), 32u);   // all the commands: not a full page
    EXPECT_EQ(FirstPage(log, 0, 2).highest, 99);
}

TEST_F(EventLogPages, ShortAndOddEventTextsNeverShowWhatTheyDoNotHold)
{
    ASSERT_TRUE(StartWithTexts({
        "W",                                              // level only
        "",                                               // counted, no row
        "E 12:00",                                        // part of the time
        "i 12:00:00 01-02-2024",                          // date without its space, no message
        "C 12:00:00 01-02-2024 <b>Tom & Jerry</b>\x03!",  // markup and a control byte
        "E 12:00:00 01-02-2024 " + std::string(300, 'x'),
    }));
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    Page page;
    page.count = 6;
    page.lowest = 0;
    page.highest = 5;
    page.endOfLog = true;
    auto row = [](const std::string& cls, const std::string& l, const std::string& time, const std::string& date,
                  const std::string& message) {
        return "<tr><td class=\"" + cls + "\">" + l + "</td><td class=\"" + cls + "\">" + time + "</td><td class=\"" +
               cls + "\">" + date + "</td><td class=\"" + cls + "\" style=\"width:350px\" >" + message +
               "</td></tr>\n";
    };
    page.rows = {
        row("logWarning", "W", "", "", ""),
        row("logError", "E", "12:00", "", ""),
        row("logInfo", "i", "12:00:00", "01-02-2024", ""),
        row("logCommand", "C", "12:00:00", "01-02-2024 ", "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;!"),
        row("logError", "E", "12:00:00", "01-02-2024 ", std::string(55, 'x')),
    };
    EXPECT_EQ(Fetch(c, 0), page.Html());
}

TEST_F(EventLogPages, ClientsFetchingPagesAtTheSameTimeEachGetTheirOwnPage)
{
    const std::vector<Entry> log = MixedLog(150);
    ASSERT_TRUE(StartWithLog(log));
    struct Ask {
        uint16_t filter;
        uint16_t pageCode;
    };
    const std::vector<Ask> asks = {{0, 2}, {2, 1}, {3, 0}, {4, 1}};
    constexpr int kRounds = 5;
    std::vector<TestClient> clients(asks.size());
    for (TestClient& c : clients)
        ASSERT_TRUE(c.Connect(port));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (size_t i = 0; i < asks.size(); ++i) {
        threads.emplace_back([&, i] {
            const std::string expected = FirstPage(log, asks[i].filter, asks[i].pageCode).Html();
            for (int round = 0; round < kRounds; ++round)
                if (Fetch(clients[i], 0, asks[i].filter, asks[i].pageCode) != expected)
                    ++wrong;
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(EventLogPages, PagesAreServedWhileRemoteControlIsSwitchedOff)
{
    const std::vector<Entry> log = MixedLog(30);
    ASSERT_TRUE(MakeApp("", true));
    app->Logger().Clear();
    for (const Entry& e : log)
        app->Store().AddItem(COM_ANLYS_LOG_VIEW, e.Text());
    app->Store().SetValue(COM_REMOTE_ENABLE, 0);
    RunLoop();
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    EXPECT_EQ(Fetch(c, 0, 0, 1), FirstPage(log, 0, 1).Html());
    // Store requests of the client itself stay refused.
    WireReply r = c.Request(23, COM_ANLYS_LOG_VIEW);
    EXPECT_EQ(r.header.type, 1);
    EXPECT_EQ(r.header.value, 0xFFFFFFFBu);
}

} // namespace
