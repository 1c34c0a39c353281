// The event-log page against an event list that may fail to answer: how it
// is cut into pieces, and how it ends when the list or the client gives up.
#include "remote/TpEventLogPage.h"
#include "WebPageExpectations.h"

#include "support/ZuTest.h"

#include <string>
#include <vector>

namespace {

using web_page::Entry;
using web_page::Page;

// A list of entries that stops answering from a given request on.
class FakeList : public TpEventLogPage::Source {
public:
    std::vector<std::string> texts;
    int answers = 1000000;   // requests answered before the list falls silent
    std::vector<int> asked;  // entry indexes asked for

    bool Count(int& count) override
    {
        if (answers-- <= 0)
            return false;
        count = static_cast<int>(texts.size());
        return true;
    }
    bool Entry(int index, std::string& text) override
    {
        asked.push_back(index);
        if (answers-- <= 0)
            return false;
        text = texts.at(static_cast<size_t>(index));
        return true;
    }
};

struct Pieces {
    std::vector<std::string> sent;
    size_t failAt = 1000;   // the piece whose send fails

    TpEventLogPage::Sink Sink()
    {
        return [this](const std::string& piece) {
            if (sent.size() == failAt)
                return false;
            sent.push_back(piece);
            return true;
        };
    }
    std::string All() const
    {
        std::string all;
        for (const std::string& p : sent)
            all += p;
        return all;
    }
};

std::vector<Entry> Log(int count)
{
    std::vector<Entry> log;
    for (int i = 0; i < count; ++i)
        log.push_back({i % 3 == 0 ? 'E' : 'W', "09:00:00", "02-03-2024", "Entry " + std::to_string(i)});
    return log;
}

FakeList ListOf(const std::vector<Entry>& log)
{
    FakeList list;
    for (const Entry& e : log)
        list.texts.push_back(e.Text());
    return list;
}

using EventLogPage = ZuTest;

TEST_F(EventLogPage, RowsOfABackwardWalkGoOutOneByOneInAscendingOrder)
{
    const std::vector<Entry> log = Log(45);
    FakeList list = ListOf(log);
    Pieces pieces;
    TpEventLogPage page(99999, 0, 0);
    ASSERT_TRUE(page.Send(list, pieces.Sink()));
    // Head, table heading, twenty rows, the rest.
    ASSERT_EQ(pieces.sent.size(), 23u);
    EXPECT_EQ(pieces.sent[1], web_page::TableHeading());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(pieces.sent[static_cast<size_t>(2 + i)], web_page::Row(log[static_cast<size_t>(25 + i)]));
    EXPECT_EQ(pieces.sent.back().substr(0, 8), "</table>");
    EXPECT_NE(pieces.All().find("GetEv(100025) id=\"a2\""), std::string::npos);
    EXPECT_EQ(list.asked.front(), 44);
    EXPECT_EQ(list.asked.back(), 25);

    // A forward walk sends its rows in one piece.
    Pieces forward;
    FakeList again = ListOf(log);
    ASSERT_TRUE(TpEventLogPage(0, 0, 0).Send(again, forward.Sink()));
    EXPECT_EQ(forward.sent.size(), 4u);
}

TEST_F(EventLogPage, AListThatDoesNotAnswerEndsThePageCleanly)
{
    const std::vector<Entry> log = Log(30);

    // No count: the page of an empty log, and no entry is asked for.
    FakeList silent = ListOf(log);
    silent.answers = 0;
    Pieces empty;
    ASSERT_TRUE(TpEventLogPage(0, 0, 0).Send(silent, empty.Sink()));
    EXPECT_TRUE(silent.asked.empty());
    EXPECT_EQ(empty.All(), Page().Html());

    // The list falls silent after five entries: those five, then the end.
    FakeList failing = ListOf(log);
    failing.answers = 6;   // the count and five entries
    Pieces cut;
    ASSERT_TRUE(TpEventLogPage(0, 0, 0).Send(failing, cut.Sink()));
    EXPECT_EQ(failing.asked.size(), 6u);
    Page expected;
    expected.count = 30;
    for (int i = 0; i < 5; ++i)
        expected.rows.push_back(web_page::Row(log[static_cast<size_t>(i)]));
    expected.highest = 4;
    expected.endOfLog = true;
    EXPECT_EQ(cut.All(), expected.Html());
}

TEST_F(EventLogPage, AClientThatGoesAwayStopsThePage)
{
    FakeList list = ListOf(Log(30));
    Pieces pieces;
    pieces.failAt = 0;   // the head cannot be sent
    EXPECT_FALSE(TpEventLogPage(0, 0, 0).Send(list, pieces.Sink()));
    EXPECT_TRUE(list.asked.empty());

    FakeList backward = ListOf(Log(30));
    Pieces rows;
    rows.failAt = 3;   // head, heading and one row go out
    EXPECT_FALSE(TpEventLogPage(99999, 0, 0).Send(backward, rows.Sink()));
    EXPECT_EQ(rows.sent.size(), 3u);
}

} // namespace
