// Clearing the analyser's error counters: every CLEARERRORS step of a script
// run, and every press of the status page's "Clear All", clears them.
#include "remote/ScriptsTest.h"

#include "../audio/DlbBuilder.h"
#include "../audio/DolbyLoadWait.h"
#include "FakeAudioHardware.h"
#include "analysis/TpAnalyser.h"
#include "audio/dolby/TpDolbyGenerator.h"
#include "board/FrameStore.h"
#include "board/VideoFormat.h"
#include "sim/BoardDevices.h"


namespace {

class ClearErrors : public ScriptsTest {
protected:
    void SetUp() override
    {
        ScriptsTest::SetUp();
        SetAudioHardware(&hw);
        analyser = std::make_unique<TpAnalyser>();
        PlayDolbyD();
    }
    void TearDown() override
    {
        analyser.reset();
        generator.reset();
        SetAudioHardware(nullptr);
        ScriptsTest::TearDown();
    }
    // The generator plays a Dolby-D stream, which the input receives.
    void PlayDolbyD()
    {
        const std::string path = "dolby/D/Tones/Dolby3_2L_448k.dlb";
        generator = std::make_unique<TpDolbyGenerator>();
        ASSERT_TRUE(WriteDlb(path, BuildAc3Dlb()));
        Set(COM_GEN_DOLBY_TYPE, 2);
        Set(COM_GEN_DOLBY_D_MODE, 7);
        Set(COM_GEN_DOLBY_D_RATE, 11);
        ASSERT_TRUE(TickUntilPlaying(*store, *generator, path));
    }
    // Three AES errors in one update, and two updates with the Dolby-D error
    // flag set; CRC counts as the pages show them.
    void RaiseCounters()
    {
        SetSimInputStandard(0);
        hw_status_set(kDolbyErrorRegister, 1);
        hw.monitorReadCount = 3;
        analyser->Update();
        hw.monitorReadCount = 0;
        analyser->Update();
        hw_status_set(kDolbyErrorRegister, 0);
        Set(COM_STATUS_CRC_CRCB_ERRORS, 5);
        Set(COM_STATUS_CRC_Y_ERRORS, 6);
        Set(422, 7);
        ASSERT_EQ(Value(COM_STATUS_AES_ERRORS), 3);
        ASSERT_EQ(Value(COM_ANLYS_DOLBY_ERRORS), 2);
    }
    // The Dolby status page reads its error flag from this status register.
    static constexpr uint32_t kDolbyErrorRegister = 12;
    std::vector<int32_t> Counters() const
    {
        return {Value(COM_STATUS_AES_ERRORS), Value(COM_STATUS_CRC_CRCB_ERRORS), Value(COM_STATUS_CRC_Y_ERRORS),
                Value(422), Value(COM_ANLYS_DOLBY_ERRORS)};
    }

    FakeAudioHardware hw;
    std::unique_ptr<TpDolbyGenerator> generator;
    std::unique_ptr<TpAnalyser> analyser;
};

} // namespace

TEST_F(ClearErrors, EveryStepAndEveryPressClearsTheCounters)
{
    const std::vector<int32_t> cleared(5, 0);
    UseScript({"0,CLEARERRORS,", "2,PAUSE,"}, 2);
    RaiseCounters();
    page->ToggleRun();
    EXPECT_EQ(Counters(), cleared) << "first pass";
    RaiseCounters();
    for (int s = 0; s < 10 && page->IsRunning(); ++s)
        RunSeconds(1, 2);
    ASSERT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 2);
    EXPECT_EQ(Counters(), cleared) << "second pass";

    for (int press = 0; press < 2; ++press) {
        RaiseCounters();
        Press(COM_STATUS_CLEAR_ALL_ERRORS);
        EXPECT_EQ(Counters(), cleared) << "press " << press;
    }
}
