#include "platform/DebugOut.h"
#include "support/ZuTest.h"

#include <cstdlib>

namespace {

using DebugOutTest = ZuTest;

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

} // namespace
