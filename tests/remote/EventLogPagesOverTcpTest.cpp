// Event-log pages fetched over a real connection (KeySub::kEventPage),
// compared byte for byte.
#include "remote/RemoteServerTest.h"
#include "WebPageExpectations.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using web_page::Entry;
using web_page::Page;

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

class EventLogPages : public RemoteServerTest {
protected:
    // Builds the application with exactly these event texts in its log and
    // runs the loop.
    bool StartWithTexts(const std::vector<std::string>& texts, bool remoteEnabled = true)
    {
        if (!MakeApp())
            return false;
        app->Logger().Clear();
        for (const std::string& text : texts)
            app->Store().AddItem(COM_ANLYS_LOG_VIEW, text);
        if (!remoteEnabled)
            app->Store().SetValue(COM_REMOTE_ENABLE, 0);
        RunLoop();
        return c.Connect(port);
    }
    bool StartWithLog(const std::vector<Entry>& log, bool remoteEnabled = true)
    {
        std::vector<std::string> texts;
        for (const Entry& e : log)
            texts.push_back(e.Text());
        return StartWithTexts(texts, remoteEnabled);
    }
    // Fetches start and compares it with the page of entries first..last of
    // log (all levels, 20 a page) and the given buttons.
    void ExpectSpan(const std::vector<Entry>& log, uint32_t start, int first, int last, int curI, int previous,
                    int next, bool endOfLog = false)
    {
        Page page;
        page.count = static_cast<int>(log.size());
        for (int i = first; i <= last; ++i)
            page.rows.push_back(web_page::Row(log[static_cast<size_t>(i)]));
        page.lowest = first;
        page.highest = last;
        page.curI = curI;
        page.previous = previous;
        page.next = next;
        page.endOfLog = endOfLog;
        EXPECT_EQ(Fetch(c, start), page.Html()) << "start " << start;
    }

    TestClient c;

public:
    // Everything up to and including the closing byte 0x03.
    static std::string Fetch(TestClient& c, uint32_t start, uint16_t filter = 0, uint16_t pageCode = 0)
    {
        const RemoteMsgHeader request{kRemoteMagic, MsgType::kKey, filter, 0, pageCode, start, KeySub::kEventPage};
        if (!c.Send(HeaderOf(request)))
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

TEST_F(EventLogPages, EmptyAndOneEventLogsWithStartsBeyondTheEnd)
{
    ASSERT_TRUE(StartWithTexts({}));
    EXPECT_EQ(Fetch(c, 0), Page().Html());
    EXPECT_EQ(Fetch(c, 100000), Page().Html());
    Page last;
    last.curI = 99999;
    EXPECT_EQ(Fetch(c, 99999), last.Html());
    last.curI = 12;   // back from beyond the end
    EXPECT_EQ(Fetch(c, 100013), last.Html());
    ASSERT_TRUE(StopApp());
    app.reset();

    ASSERT_TRUE(StartWithTexts({"W 12:34:56 01-02-2024 Cable lost"}));
    Page one;
    one.count = 1;
    one.rows = {"<tr><td class=\"logWarning\">W</td><td class=\"logWarning\">12:34:56</td><td "
                "class=\"logWarning\">01-02-2024 </td><td class=\"logWarning\" style=\"width:350px\" >Cable "
                "lost</td></tr>\n"};
    one.endOfLog = true;
    const std::string page = Fetch(c, 0);
    EXPECT_EQ(page, one.Html());
    EXPECT_NE(page.find("Displaying 1 to 1 of 1 Events<b></div><br><br></body></html>\x03"), std::string::npos);
    one.curI = 5;   // beyond the end: the last page, listed backward from the only entry
    EXPECT_EQ(Fetch(c, 5), one.Html());
}

TEST_F(EventLogPages, TheButtonsPageForwardAndBackThroughALogOfSeveralPages)
{
    const std::vector<Entry> log = MixedLog(130);
    ASSERT_TRUE(StartWithLog(log));

    // Forward: each page's "next" button asks for the one after it; a page
    // that is not full keeps its start on the buttons.
    for (int start = 0; start < 120; start += 20)
        ExpectSpan(log, start, start, start + 19, start, 100000 + start, start + 20);
    ExpectSpan(log, 120, 120, 129, 120, 100120, 120, true);
    ExpectSpan(log, 110, 110, 129, 110, 100110, 130, true);   // a full page that ends at the last entry
    // The last page lists the last twenty, backward from the end.
    ExpectSpan(log, 99999, 110, 129, 99999, 100110, 130, true);
    // Back: 100,001 + k lists the twenty up to k; fewer than a page before
    // the start gives the first page.
    ExpectSpan(log, 100110, 90, 109, 109, 100090, 110);
    ExpectSpan(log, 100010, 0, 19, 9, 100000, 20);
}

TEST_F(EventLogPages, AFullLogLetsItsOldestGoAndStillPagesCountsAndSaves)
{
    constexpr int kOver = 25;
    const std::vector<Entry> log = MixedLog(TpLogger::kCapacity + kOver);
    const std::vector<Entry> kept(log.begin() + kOver, log.end());
    const int n = static_cast<int>(kept.size());
    ASSERT_TRUE(MakeApp());
    app->Logger().Clear();
    for (const Entry& e : log)
        app->Store().AddItem(COM_ANLYS_LOG_VIEW, e.Text());
    ASSERT_EQ(n, TpLogger::kCapacity);
    ASSERT_TRUE(app->Logger().SaveAsText());
    const std::string saved = ReadText(TpLogger::TextFilePath());
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), n);
    EXPECT_EQ(saved.compare(0, kept[0].Text().size() + 1, kept[0].Text() + "\n"), 0);
    RunLoop();
    ASSERT_TRUE(c.Connect(port));
    EXPECT_EQ(c.Request(StoreType::kGetItemCount, COM_ANLYS_LOG_VIEW).header.value, static_cast<uint32_t>(n));
    WireReply oldest = c.Request(StoreType::kGetItemText, COM_ANLYS_LOG_VIEW, 0);
    EXPECT_EQ(oldest.payload, kept.front().Text());

    for (int start = 0; start < n; start += 20)
        ExpectSpan(kept, static_cast<uint32_t>(start), start, start + 19, start, 100000 + start, start + 20,
                   start + 20 == n);
    ExpectSpan(kept, 99999, n - 20, n - 1, 99999, 100000 + n - 20, n, true);

    // One more event (from this thread: it joins on the next tick), and the
    // oldest kept goes.
    AddEvent(kEventInfo, 0, "one more");
    PostTicks(1);
    EXPECT_EQ(c.Request(StoreType::kGetItemCount, COM_ANLYS_LOG_VIEW).header.value, static_cast<uint32_t>(n));
    oldest = c.Request(StoreType::kGetItemText, COM_ANLYS_LOG_VIEW, 0);
    EXPECT_EQ(oldest.payload, kept[1].Text());

    WireReply newest = c.Request(StoreType::kGetItemText, COM_ANLYS_LOG_VIEW, static_cast<uint32_t>(n - 1));
    EXPECT_NE(newest.payload.find("one more"), std::string::npos);

}

TEST_F(EventLogPages, FiltersAndPageSizesListOnlyTheirLevelAndCountOnlyListedEvents)
{
    const std::vector<Entry> log = MixedLog(260);
    ASSERT_TRUE(StartWithLog(log));
    // One of each page size; level 9 lists everything, page-size code 7 means 20.
    for (const auto& [filter, pageCode] : {std::pair<uint16_t, uint16_t> {0, 2}, {2, 0}, {4, 1}, {9, 7}})
        EXPECT_EQ(Fetch(c, 0, filter, pageCode), FirstPage(log, filter, pageCode).Html())
            << "filter " << filter << " page " << pageCode;
    EXPECT_NE(Fetch(c, 0, 4, 1).find("Displaying 5 to 253 of 260 Events"), std::string::npos)
        << "all 32 commands: not a full page";
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
    Page page;
    page.count = 6;
    page.highest = 5;
    page.endOfLog = true;
    auto row = [](const std::string& c, const std::string& l, const std::string& t, const std::string& d,
                  const std::string& m) {
        return "<tr><td class=\"" + c + "\">" + l + "</td><td class=\"" + c + "\">" + t + "</td><td class=\"" + c +
               "\">" + d + "</td><td class=\"" + c + "\" style=\"width:350px\" >" + m + "</td></tr>\n";
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
    for (TestClient& client : clients)
        ASSERT_TRUE(client.Connect(port));
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
    ASSERT_TRUE(StartWithLog(log, false));
    EXPECT_EQ(Fetch(c, 0, 0, 1), FirstPage(log, 0, 1).Html());
    // Store requests of the client itself stay refused.
    WireReply r = c.Request(StoreType::kGetItemCount, COM_ANLYS_LOG_VIEW);
    EXPECT_EQ(r.header.type, ReplyType::kError);
    EXPECT_EQ(r.header.value, ResultWord::kDisabled);
}

} // namespace
