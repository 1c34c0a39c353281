// The event-log page against an event list that may fail to answer: how it
// is cut into pieces, and how it ends when the list or the client gives up.
#include "remote/web/TpEventLogPage.h"
#include "WebPageExpectations.h"

#include "support/ZuTest.h"

#include <string>
#include <vector>

namespace {

using web_page::Page;

// A list of log entries that falls silent after a number of answers, and
// a client whose send fails at a given piece.
struct Fakes : TpEventLogPage::Source {
    explicit Fakes(int count)
    {
        for (int i = 0; i < count; ++i) {
            log.push_back({i % 3 == 0 ? 'E' : 'W', "09:00:00", "02-03-2024", "Entry " + std::to_string(i)});
            texts.push_back(log.back().Text());
        }
    }
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
    bool Send(int start)
    {
        return TpEventLogPage(start, 0, 0).Send(*this, [this](const std::string& piece) {
            if (sent.size() == failAt)
                return false;
            sent.push_back(piece);
            all += piece;
            return true;
        });
    }

    std::vector<web_page::Entry> log;
    std::vector<std::string> texts, sent;
    std::string all;
    int answers = 1000000;
    std::vector<int> asked;
    size_t failAt = 1000;
};

using EventLogPage = ZuTest;

TEST_F(EventLogPage, RowsOfABackwardWalkGoOutOneByOneInAscendingOrder)
{
    Fakes backward(45);
    ASSERT_TRUE(backward.Send(99999));
    ASSERT_EQ(backward.sent.size(), 23u);   // head, table heading, twenty rows, the rest
    EXPECT_EQ(backward.sent[1], web_page::TableHeading());
    for (size_t i = 0; i < 20; ++i)
        EXPECT_EQ(backward.sent[2 + i], web_page::Row(backward.log[25 + i]));
    EXPECT_EQ(backward.sent.back().substr(0, 8), "</table>");
    EXPECT_NE(backward.all.find("GetEv(100025) id=\"a2\""), std::string::npos);
    EXPECT_EQ(backward.asked.front(), 44);
    EXPECT_EQ(backward.asked.back(), 25);

    Fakes forward(45);
    ASSERT_TRUE(forward.Send(0));
    EXPECT_EQ(forward.sent.size(), 4u) << "a forward walk sends its rows in one piece";
}

TEST_F(EventLogPage, AListOrClientThatGivesUpEndsThePageCleanly)
{
    Fakes silent(30);
    silent.answers = 0;
    ASSERT_TRUE(silent.Send(0));
    EXPECT_TRUE(silent.asked.empty());
    EXPECT_EQ(silent.all, Page().Html()) << "no count: the page of an empty log";

    Fakes failing(30);
    failing.answers = 6;   // the count and five entries
    ASSERT_TRUE(failing.Send(0));
    EXPECT_EQ(failing.asked.size(), 6u);
    Page expected;
    expected.count = 30;
    for (size_t i = 0; i < 5; ++i)
        expected.rows.push_back(web_page::Row(failing.log[i]));
    expected.highest = 4;
    expected.endOfLog = true;
    EXPECT_EQ(failing.all, expected.Html());

    Fakes gone(30);
    gone.failAt = 0;   // the head cannot be sent
    EXPECT_FALSE(gone.Send(0));
    EXPECT_TRUE(gone.asked.empty());
    Fakes goneLater(30);
    goneLater.failAt = 3;   // head, heading and one row go out
    EXPECT_FALSE(goneLater.Send(99999));
    EXPECT_EQ(goneLater.sent.size(), 3u);
}

} // namespace
