// Elapsed run times as the scripts page shows them.
#include "core/text/LocalTime.h"

#include <gtest/gtest.h>

TEST(LocalTime, ElapsedTimeTexts)
{
    struct Row {
        std::time_t seconds;
        const char* text;
    };
    // seconds elapsed, text
    static constexpr Row kRows[] = {
        {0, "00:00:00"}, {3661, "01:01:01"}, {86399, "23:59:59"}, {86400, "1d 00:00"}, {604799, "6d 23:59"},
        {604800, "MAX"},
    };
    const std::time_t start = 1700000000;
    for (const Row& row : kRows)
        EXPECT_EQ(FormatElapsedTime(start + row.seconds, start), row.text) << row.seconds;
    EXPECT_EQ(FormatElapsedTime(start - 3600, start), "00:00:00") << "a clock set back is no time at all";
    EXPECT_EQ(FormatElapsedTime(0, start), "00:00:00");
}
