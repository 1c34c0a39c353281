// The event log as the web pages and the user see it: layout, what is kept or filtered out, clearing and saving.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "platform/Paths.h"
#include "support/ZuTest.h"

#include <cstdlib>
#include <ctime>

namespace {

constexpr std::time_t k20240201_123456 = 1706790896;   // 01-02-2024 12:34:56 UTC

class EventLog : public ZuTest {
protected:
    void SetUp() override
    {
        ZuTest::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        clock.SetWallSeconds(k20240201_123456);
        logger = std::make_unique<TpLogger>();
        logger->EnableEvents(true);
    }
    void TearDown() override
    {
        logger.reset();
        ZuTest::TearDown();
    }
    // The entries as the list shows them; without time and date when brief.
    std::vector<std::string> Entries(bool brief = true) const
    {
        std::vector<std::string> entries;
        const TpCommand* list = store.GetCmd(COM_ANLYS_LOG_VIEW);
        for (int i = 0; i < list->GetItemCount(); ++i) {
            const std::string e = list->GetItemText(i);
            entries.push_back(brief ? e.substr(0, 2) + e.substr(22) : e);
        }
        return entries;
    }
    using Texts = std::vector<std::string>;

    TpStore store;
    std::unique_ptr<TpLogger> logger;
};

TEST_F(EventLog, EntriesAreLaidOutForTheWebPages)
{
    SetTextTable({"never shown", "", "", "", "", "Cable lost"});
    AddEvent(kEventWarning, 5, "on input A");
    AddEvent(kEventError, 5, "");
    AddEvent(kEventInfo, 0, "text only");
    AddEvent(kEventCommand, 9, "");
    EXPECT_EQ(Entries(false), (Texts{"W 12:34:56 01-02-2024 Cable lost on input A", "E 12:34:56 01-02-2024 Cable lost",
                                     "i 12:34:56 01-02-2024 text only", "C 12:34:56 01-02-2024 ? 9"}));
    EXPECT_EQ(GetText(4294967295u), "? 4294967295");
}

TEST_F(EventLog, FilteredEventsNeedStartUpTheSwitchAndTheirSource)
{
    logger->EnableEvents(false);
    LogEvent(nullptr, kEventInfo, 0, "during start-up");
    AddEvent(kEventInfo, 0, "always");
    logger->EnableEvents(true);
    LogEvent(nullptr, kEventInfo, 0, "kept");

    RecordingParent page;
    TpChildCmd source(&page, COM_ANLYS_LOG_CLIP_ENABLE, kKeepsValue);
    LogEvent(&source, kEventWarning, 0, "source off");
    store.SetValue(COM_ANLYS_LOG_CLIP_ENABLE, 1);
    LogEventInt(&source, kEventWarning, 0, -12);

    // The logging switch, as a script or a client sets it.
    EXPECT_EQ(store.GetValue(COM_ANLYS_LOG_ENABLE), 1);
    store.SetValue(COM_ANLYS_LOG_ENABLE, 0);
    EXPECT_FALSE(logger->LoggingOn());
    LogEventLong(nullptr, kEventInfo, 0, 40000000L);
    LogMessage(0, "not kept");
    AddEvent(kEventError, 0, "still kept");
    store.SetValue(COM_ANLYS_LOG_ENABLE, 1);
    LogEventLong(nullptr, kEventInfo, 0, 40000001L);
    EXPECT_EQ(Entries(), (Texts{"i always", "i kept", "W -12", "E still kept", "i 40000001"}));
}

TEST_F(EventLog, MessagesGoToTheDebugOutputWithTheirLevelsPrefix)
{
    LogMessage(0, "Not enough TCP/IP connections");
    LogMessage(1, "careful");
    LogMessage(2, "plain");
    LogMessage(7, "odd");
    LogMessageValue(0, "Remote Control: CommandType", 2);
    LogMessageText(0, "Could NOT find template web page: ", "/x.html");
    EXPECT_TRUE(debug->Contains("ERROR: Not enough TCP/IP connections\nWARN: careful\nplain\n???: odd\n"));
    EXPECT_EQ(Entries(), (Texts{"E Not enough TCP/IP connections", "W careful", "i plain", "? odd",
                                "E Remote Control: CommandType 2", "E Could NOT find template web page: /x.html"}));
}

TEST_F(EventLog, TheLogIsSavedAsTextAndClearedFromAnyCommand)
{
    ASSERT_TRUE(Paths::MakeDataFolders());
    AddEvent(kEventInfo, 0, "one");
    clock.SetWallSeconds(k20240201_123456 + 61);
    AddEvent(kEventError, 0, "two");
    ASSERT_TRUE(logger->SaveAsText());
    EXPECT_EQ(ReadText(Paths::DataFolder() + "/logfile.txt"),
              "i 12:34:56 01-02-2024 one\nE 12:35:57 01-02-2024 two\n");

    TpCommand step(0, kKeepsNothing, 0);
    step.ClearEventLog();
    EXPECT_EQ(Entries(), Texts{});
    EXPECT_EQ(logger->EntryCount(), 0);

    // Without a logger events are dropped and messages still printed.
    logger.reset();
    AddEvent(kEventError, 0, "lost");
    LogMessage(0, "printed");
    step.ClearEventLog();
    EXPECT_TRUE(debug->Contains("ERROR: printed"));
}

} // namespace
