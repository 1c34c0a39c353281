// The audio and power operations reach the audio device in force, and the
// power controller keeps the flags it was given.
#include "BoardTest.h"
#include "FakeAudioHardware.h"

#include "board/AudioBoard.h"
#include "board/BoardReset.h"
#include "board/PowerControl.h"

#include <string>
#include <vector>

namespace {

class AudioPowerSeam : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        SetAudioHardware(&audio);
    }
    FakeAudioHardware audio;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(AudioPowerSeam, CallsReachTheInstalledDeviceOnly)
{
    audio_route_mix(2, 5, db_to_linear(-6.0));
    aes_cs_hw_commit();
    audio.monitorReadCount = 3;
    EXPECT_EQ(audmon_read_count(), 3);
    EXPECT_EQ(audio.calls, (Calls {"RouteMix(2,5,0.501187)", "ChannelStatusCommit()"}));

    audio.calls.clear();
    SetAudioHardware(nullptr);
    EXPECT_EQ(audmon_read_count(), 0);
    audio_route_connect(1, 2);
    EXPECT_TRUE(audio.calls.empty()) << "a removed device hears nothing";
}

TEST_F(AudioPowerSeam, PowerControllerKeepsItsFlagsAndRefusesPairsOutOfRange)
{
    power_set_audio_pair(0, 1);
    power_set_audio_pair(3, 1);
    power_set_audio_pair(7, 1);
    power_set_audio_pair(3, 0);
    power_set_meter_analog(1);
    PowerControlState s = power_state();
    EXPECT_EQ(s.audioPairs, 0x81);
    EXPECT_EQ(audio.CallsOf("Power").size(), 5u);

    audio.calls.clear();
    power_set_audio_pair(8, 1);
    EXPECT_EQ(debug->Text(), "ERROR Generator audio pair out of range for PowerControl. 8 is not in range 0 to 7");
    power_set_audio_pair(-1, 0);
    EXPECT_TRUE(debug->Contains("-1 is not in range 0 to 7"));
    EXPECT_EQ(power_state().audioPairs, 0x81);
    EXPECT_TRUE(audio.calls.empty());

    BoardReset();
    s = power_state();
    EXPECT_EQ(s.audioPairs, 0);
    EXPECT_EQ(s.meterAnalog, 0);
}
