#include "platform/DebugOut.h"
#include "support/ZuTest.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using DebugOutTest = ZuTest;

size_t Occurrences(const std::string& text, const std::string& fragment)
{
    size_t n = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
        ++n;
    return n;
}

TEST_F(DebugOutTest, CapturesEveryChannelAndTheQuietSwitchHidesOnlyChattyLines)
{
    unsetenv("ZU_QUIET");
    EXPECT_FALSE(DebugQuiet());
    setenv("ZU_QUIET", "0", 1);
    EXPECT_FALSE(DebugQuiet());
    setenv("ZU_QUIET", "1", 1);
    EXPECT_TRUE(DebugQuiet());

    testing::internal::CaptureStderr();
    DebugPrintf("Rx CommandID=%d Item=%d\n", 364, 2);
    DebugChatty("\nSave Lcd Send n = %d\n", 100);
    OutputDebugStringA("finished GuiInit\n");
    const std::string shown = testing::internal::GetCapturedStderr();
    unsetenv("ZU_QUIET");
    EXPECT_EQ(shown, "Rx CommandID=364 Item=2\nfinished GuiInit\n");
    EXPECT_EQ(debug->Text(), "Rx CommandID=364 Item=2\n\nSave Lcd Send n = 100\nfinished GuiInit\n");

    debug->Clear();
    const std::string longText(2000, 'a');   // long lines are not cut
    DebugPrintf("%s", longText.c_str());
    EXPECT_EQ(debug->Text(), longText);
}

TEST_F(DebugOutTest, ColourCodesReachATerminalButNotAPipe)
{
    const char* line = "\x1b[31mError reading SFP Type data\n\x1b[39m";
    testing::internal::CaptureStderr();
    DebugPrintf("%s", line);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error reading SFP Type data\n");
    EXPECT_EQ(debug->Text(), line);

    int master = -1, terminal = -1;
    ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    termios raw {};
    tcgetattr(terminal, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal, TCSANOW, &raw);
    clock.AdvanceMs(1000);   // not held back as a repeat
    fflush(stderr);
    const int saved = dup(2);
    dup2(terminal, 2);
    DebugPrintf("%s", line);
    dup2(saved, 2);
    close(saved);
    std::string seen(256, '\0');
    pollfd ready {master, POLLIN, 0};
    const ssize_t n = poll(&ready, 1, 5000) == 1 ? read(master, seen.data(), seen.size()) : -1;
    close(terminal);
    close(master);
    seen.resize(n > 0 ? static_cast<size_t>(n) : 0);
    EXPECT_EQ(seen, line);
}

// The limiter reads the installed clock: here the manual one, moved by hand.
TEST_F(DebugOutTest, ARepeatedLineIsShownOnceThenWithItsCountLessAndLessOften)
{
    const std::string error = "ERROR SFP request for page 250 (0xFA) while page load already pending\n";
    testing::internal::CaptureStderr();
    // Every 100 ms for 7.5 s: shown at 0 s, then with its count after 1, 2
    // and 4 seconds more.
    for (int i = 0; i <= 75; ++i) {
        DebugPrintf("ERROR SFP request for page %d (0x%02X) while page load already pending\n", 250, 250);
        clock.AdvanceMs(100);
    }
    // Another line does not show the count before it is due; the end of the
    // run does.
    DebugPrintf("Stopping (signal 15)\n");
    DebugFlushRepeats();
    // A line that comes once every 1.5 s is shown every time.
    for (int i = 0; i < 3; ++i) {
        DebugPrintf("Couldn't open config file: xmlformat.ini\n");
        clock.AdvanceMs(1500);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              error +
              "ERROR SFP request for page 250 (0xFA) while page load already pending (repeated 10 times)\n"
              "ERROR SFP request for page 250 (0xFA) while page load already pending (repeated 20 times)\n"
              "ERROR SFP request for page 250 (0xFA) while page load already pending (repeated 40 times)\n"
              "Stopping (signal 15)\n"
              "ERROR SFP request for page 250 (0xFA) while page load already pending (repeated 5 times)\n"
              "Couldn't open config file: xmlformat.ini\n"
              "Couldn't open config file: xmlformat.ini\n"
              "Couldn't open config file: xmlformat.ini\n");
    EXPECT_EQ(Occurrences(debug->Text(), error), 76u) << "captures see every line";

    // Ten minutes of it, every 160 ms: about once a minute once it settles,
    // and the counts add up to every time it came.
    testing::internal::CaptureStderr();
    const int times = 10 * 60 * 1000 / 160;
    for (int i = 0; i < times; ++i) {
        DebugPrintf("%s", error.c_str());
        clock.AdvanceMs(160);
    }
    DebugFlushRepeats();
    const std::string shown = testing::internal::GetCapturedStderr();
    const size_t lines = Occurrences(shown, "\n");
    EXPECT_LE(lines, 16u) << shown;
    const std::string count = "pending (repeated ";
    int counted = 0;
    for (size_t at = shown.find("pending"); at != std::string::npos; at = shown.find("pending", at + 1))
        counted += shown.compare(at, count.size(), count) == 0 ? std::atoi(shown.c_str() + at + count.size()) : 1;
    EXPECT_EQ(counted, times);
}

} // namespace
