// The audio monitors as a client sees them in the running application: which
// headphone view is shown from the start, and the AES monitor's events, their
// codes, levels and texts, with and without user data.
#include "app/AppTest.h"

#include "FakeAudioHardware.h"
#include "KrZuApi.h"
#include "analysis/TpAnalyser.h"
#include "core/log/TpLogger.h"
#include "core/text/TextTable.h"
#include "sim/BoardDevices.h"

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class AudioMonitors : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetAudioHardware(&hw);
        // Event texts are their numbers, so entries read "E 94 277".
        Texts texts;
        for (int i = 0; i < 320; ++i)
            texts.push_back(std::to_string(i));
        SetTextTable(texts);
        for (unsigned id : {COM_ANLYS_LOG_ENABLE, COM_ANLYS_LOG_AES_STATUS_ENABLE, COM_ANLYS_LOG_AES_ERRORS_ENABLE})
            ASSERT_TRUE(Set(id, 1));
        firstEntry = app->Logger().EntryCount();
    }
    void TearDown() override
    {
        AppTest::TearDown();
        SetAudioHardware(nullptr);
    }
    bool Set(unsigned id, int32_t value)
    {
        return Request(5, static_cast<uint16_t>(id), 0, static_cast<uint32_t>(value)).header.type == 0;
    }
    uint32_t Read(uint16_t type, unsigned id) { return Request(type, static_cast<uint16_t>(id)).header.value; }
    // The entries logged since the set-up, as "L message".
    Texts Entries() const
    {
        Texts out;
        for (int i = firstEntry; i < app->Logger().EntryCount(); ++i)
            out.push_back(app->Logger().EntryText(i).substr(0, 2) + app->Logger().EntryText(i).substr(22));
        return out;
    }
    void Update() { TpAnalyser::Instance()->Update(); }

    FakeAudioHardware hw;
    int firstEntry = 0;
};

} // namespace

TEST_F(AudioMonitors, HeadphonesStartShowingOnlyTheViewOfTheirSource)
{
    EXPECT_EQ(Read(21, COM_SPKR_SOURCE), 0u);
    EXPECT_EQ(Read(54, COM_SPKR_SOURCE_INP), 1u);
    EXPECT_EQ(Read(54, COM_SPKR_SOURCE_OUT), 0u);
}

// Input found (94) and lost (93) are errors with the status text; user data
// set (134) or clear (135) follows every status change while the input is
// there; a change of user data or validity logs the PCM text of the user data
// (80 with, 133 without); errors start (92) and end (91).
TEST_F(AudioMonitors, AesEventsWithAndWithoutUserData)
{
    Update();   // data type 2, no user data
    hw.sourceFlagB = 0;
    Update();   // user data
    hw.aesRxPresent = 0;
    Update();   // validity changes
    hw.monitorStatusOk = 0;
    Update();
    hw.monitorStatusOk = 1;
    hw.aesDataType = 0;
    Update();
    hw.monitorReadCount = 2;
    Update();
    Update();
    hw.monitorReadCount = 0;
    Update();
    EXPECT_EQ(Entries(), (Texts{"E 94 277", "i 135", "i 133", "i 134", "i 80", "i 134", "i 80", "E 93 81", "E 94 80",
                                "i 134", "E 92", "E 91"}));
}

// Status events go out under the status switch (527), error events under the
// error switch (526).
TEST_F(AudioMonitors, AesEventsFollowTheirOwnSwitches)
{
    Update();
    ASSERT_TRUE(Set(COM_ANLYS_LOG_AES_ERRORS_ENABLE, 0));
    hw.monitorReadCount = 1;
    Update();
    hw.monitorReadCount = 0;
    hw.sourceFlagB = 0;
    Update();
    ASSERT_TRUE(Set(COM_ANLYS_LOG_AES_ERRORS_ENABLE, 1));
    ASSERT_TRUE(Set(COM_ANLYS_LOG_AES_STATUS_ENABLE, 0));
    hw.monitorReadCount = 1;
    hw.sourceFlagB = 1;
    Update();
    EXPECT_EQ(Entries(), (Texts{"E 94 277", "i 135", "i 133", "i 134", "i 80", "E 92"}));
}
