// Audio meters, thresholds, the AES monitor and the channel-status page inside the application.
#include "app/AppTest.h"

#include "FakeAesReceiver.h"
#include "FakeAudioHardware.h"
#include "analysis/TpAnalyser.h"
#include "audio/aes/TpAESMonitor.h"
#include "audio/meters/TpThreshold.h"
#include "core/TextTable.h"
#include "core/TpLogger.h"
#include "core/TpStore.h"
#include "sim/BoardDevices.h"

namespace {

class MetersInApplication : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetAudioHardware(&hw);
        SetAesReceiver(&aes);
        analyser = TpAnalyser::Instance();
        ASSERT_TRUE(Set(COM_ANLYS_LOG_ENABLE, 1));
    }
    void TearDown() override
    {
        AppTest::TearDown();
        SetAudioHardware(nullptr);
        SetAesReceiver(nullptr);
    }
    bool Set(unsigned id, int32_t value)
    {
        const Reply r = Request(5, static_cast<uint16_t>(id), 0, static_cast<uint32_t>(value));
        return r.answered && r.header.type == ReplyType::kOk;
    }
    int32_t Value(unsigned id) { return static_cast<int32_t>(Request(21, static_cast<uint16_t>(id)).header.value); }
    std::string Text(unsigned id) { return app->Store().GetCmdText(id); }
    const TpCommand* Cmd(unsigned id) { return app->Store().GetCmd(id); }
    int Events(const std::string& fragment)
    {
        int n = 0;
        for (int i = 0; i < app->Logger().EntryCount(); ++i)
            n += app->Logger().EntryText(i).find(fragment) != std::string::npos ? 1 : 0;
        return n;
    }
    // The bar value a meter level gives.
    int32_t Bar(int32_t tenths)
    {
        EXPECT_TRUE(Set(COM_METER_DB_GP1_P1_L, tenths));
        return Value(COM_METER_GP1_P1_L);
    }

    FakeAudioHardware hw;
    FakeAesReceiver aes;
    TpAnalyser* analyser = nullptr;
};

} // namespace

TEST_F(MetersInApplication, LevelsLandOnTheChosenScale)
{
    ASSERT_NE(analyser, nullptr);
    EXPECT_EQ(Text(COM_METER_SCALE), "meters/meters18.tga");
    for (auto [tenths, bar] : {std::pair{0, 80}, {-90, 40}, {-180, 0}, {-600, -184}, {-999, -357}, {50, 80}})
        EXPECT_EQ(Bar(tenths), bar) << tenths;
    ASSERT_TRUE(Set(COM_ANLYS_METER_LEVEL, 1));
    EXPECT_EQ(Text(COM_METER_SCALE), "meters/meters20.tga");
    EXPECT_EQ(Value(COM_METER_DB_GP1_P1_L + 15), -2000);
    EXPECT_EQ(Value(COM_METER_GP1_P1_L + 15), -318);
    for (auto [tenths, bar] : {std::pair{-200, 0}, {-400, -80}, {-600, -160}})
        EXPECT_EQ(Bar(tenths), bar) << tenths;

    // Each update draws levels from -4.0 to +2.0 dB; the Dolby source type
    // puts test levels on the first bank.
    analyser->Update();
    for (int i = 0; i < 16; ++i) {
        EXPECT_GE(Value(COM_METER_DB_GP1_P1_L + i), -40);
        EXPECT_LE(Value(COM_METER_DB_GP1_P1_L + i), 20);
    }
    ASSERT_TRUE(Set(COM_ANLYS_METER_1_8_SOURCE_TYPE, 7));
    analyser->Update();
    EXPECT_EQ(Value(COM_METER_DB_GP1_P1_L + 7), -320);
    EXPECT_EQ(Value(COM_METER_GP1_P1_L + 1), 0);   // -20 dB on the 20 dB scale
    EXPECT_EQ(Value(COM_METER_GP1_P1_L + 7), -48);
}

TEST_F(MetersInApplication, BanksCaptionsAndGains)
{
    // Captions are filled with the group only, whatever the text holds.
    std::vector<std::string> texts(91);
    texts[87] = "%s SDI %d %n";
    texts[90] = "L%d-%d";
    SetTextTable(texts);
    ASSERT_TRUE(Set(COM_ANLYS_METER_1_8_SOURCE_TYPE, 1));
    EXPECT_EQ(Text(COM_METER_GP1_NAME + 1), "%s SDI 2 %n");
    EXPECT_EQ(Text(COM_METER_GP1_P1_NAME + 1), "L2-%d");
    EXPECT_EQ(Value(COM_METER_1_8_COLOUR), 0x40007F);
    ASSERT_TRUE(Set(COM_ANLYS_METER_1_8_SOURCE_TYPE, 6));
    EXPECT_EQ(Value(COM_METER_1_8_COLOUR), 0x7F0000);
    EXPECT_EQ(analyser->Meters().PairMask() & 0x0F, 0x07);

    ASSERT_TRUE(Set(COM_METER_INPUT_GAIN_LEFT, 3));
    EXPECT_EQ(hw.CallsOf("MeterSet").back(), "MeterSet(0,3)");
    app.reset();
    EXPECT_NE(ReadText("system.cfg").find("audingainleft=3"), std::string::npos);
    // Gains are decimal; anything else is reported and leaves the gain.
    WriteText("system.cfg", "audingainleft=010\naudingainright=0x10\n");
    app = std::make_unique<TpZuApplication>();
    EXPECT_EQ(Value(COM_METER_INPUT_GAIN_LEFT), 10);
    EXPECT_EQ(Value(COM_METER_INPUT_GAIN_RIGHT), 0);
    EXPECT_TRUE(debug->Contains("audingainright=0x10"));
    EXPECT_EQ(TpAnalyser::Instance()->Meters().Meter(16), nullptr);
}

TEST_F(MetersInApplication, ThresholdsLogStartAndEndOfAnExcursion)
{
    // Every update reads 0.0 dB to the thresholds.
    for (auto [id, v] : {std::pair{COM_ANLYS_LOG_CLIP_ENABLE, 1}, {COM_ANLYS_LOG_CLIP_LEVEL, -1},
                         {COM_ANLYS_LOG_CLIP_FRAMES, 5}, {COM_ANLYS_LOG_AUDIO_PAIR_1, 1}})
        ASSERT_TRUE(Set(id, v));
    const std::string start = GetText(5) + " 1 0dB", end = GetText(9) + " 1 0dB";
    analyser->Update();
    analyser->Update();
    EXPECT_EQ(Events(start), 0);
    // A count lowered below the one reached starts the event at once.
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_FRAMES, 2));
    analyser->Update();
    EXPECT_EQ(Events(start), 1);
    EXPECT_EQ(Events(GetText(5) + " 2 0dB"), 1) << "meter 2 shares the pair";
    EXPECT_EQ(Events(GetText(5) + " 3 0dB"), 0) << "pair 2 is not logged";
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_LEVEL, 1));
    analyser->Update();
    EXPECT_EQ(Events(end), 1);
    EXPECT_FALSE(TpThresholdSet::Instance()->Threshold(TpThresholdSet::kClip).Active(0));
    // Without the set the meters go on.
    app.reset();
    EXPECT_EQ(TpThresholdSet::Instance(), nullptr);
}

TEST_F(MetersInApplication, AesMonitorCountsErrorsAndTheTimeSinceTheLast)
{
    TpAESMonitor* monitor = analyser->Meters().AesMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(Text(COM_ANLYS_INP2_LABEL), " AES:");
    ASSERT_TRUE(Set(COM_ANLYS_LOG_AES_STATUS_ENABLE, 1));
    ASSERT_TRUE(Set(COM_ANLYS_LOG_AES_ERRORS_ENABLE, 1));
    SetClock(&clock);
    analyser->Update();
    EXPECT_EQ(Text(COM_ANLYS_INP2_STD), GetText(277));
    EXPECT_EQ(Events(GetText(94)), 1);
    hw.monitorReadCount = 3;
    analyser->Update();
    EXPECT_EQ(Value(COM_STATUS_AES_ERRORS), 3);
    EXPECT_EQ(Cmd(COM_STATUS_AES_ERRORS)->GetColour(), 0xFF0000u);
    EXPECT_EQ(Events(GetText(92)), 1);
    hw.monitorReadCount = 0;
    clock.AdvanceMs(62000);
    analyser->Update();
    EXPECT_EQ(Text(COM_STATUS_AES_ERROR_SECS), "00:01:02");
    EXPECT_EQ(Events(GetText(91)), 1);
    ASSERT_TRUE(Set(COM_STATUS_CLEAR_AES_ERRORS, 1));
    EXPECT_EQ(Value(COM_STATUS_AES_ERRORS), 0);
    clock.AdvanceMs(1000);
    analyser->Update();
    EXPECT_EQ(Text(COM_STATUS_AES_ERROR_SECS), "00:00:01");
    hw.monitorStatusOk = 0;
    analyser->Update();
    EXPECT_EQ(Text(COM_ANLYS_INP2_STD), GetText(81));
    EXPECT_EQ(monitor->ErrorCount(), 4u);
    SetClock(nullptr);
}

TEST_F(MetersInApplication, ChannelStatusDecodesProfessionalAndConsumerBlocks)
{
    auto item = [&](int i) { return Cmd(COM_STATUS_CSS_LINE_1)->GetItemText(i); };
    aes.embedded = {0x01};
    aes.embedded[23] = 0x32;   // CRC-8/AES of 01 00 ... 00
    aes.embedded[2] = 0x2C;
    aes.embedded[6] = 0x41, aes.embedded[7] = 0x42, aes.embedded[8] = 0xC3, aes.embedded[9] = 0x44;
    aes.embedded[22] = 0x80;
    analyser->Update();
    EXPECT_EQ(item(35), "FAIL") << "the origin changed the CRC";
    EXPECT_EQ(item(13), "24 of 24 ");
    EXPECT_EQ(item(25), "ABCD");
    EXPECT_EQ(item(33), "nyyy");
    EXPECT_EQ(Cmd(COM_STATUS_CSS_LINE_3)->GetColour(8), 0xFF0000u);
    aes.embedded = {0x01};
    aes.embedded[23] = 0x32;
    analyser->Update();
    EXPECT_EQ(item(35), "OK");
    EXPECT_EQ(item(5), "unknown");
    EXPECT_EQ(Cmd(COM_STATUS_CSS_LINE_3)->GetColour(8), 0u) << "the mark goes with the origin";
    EXPECT_EQ(Text(COM_STATUS_CSS_LINE_2),
              "01 00 00 00 00 00 00 00\n00 00 00 00 00 00 00 00\n00 00 00 00 00 00 00 32\n");
    aes.embedded[6] = 0x41, aes.embedded[10] = 0x42, aes.embedded[11] = 0x80;   // texts end at a zero
    analyser->Update();
    EXPECT_EQ(Request(25, COM_STATUS_CSS_LINE_1, 25).Text(), "A");
    EXPECT_EQ(Request(25, COM_STATUS_CSS_LINE_1, 27).Text(), "B");
    aes.embedded[6] = aes.embedded[10] = aes.embedded[11] = 0;

    aes.embedded[6] = 0x41, aes.embedded[8] = 0xC3;   // a red origin mark, then a consumer block
    analyser->Update();
    aes.inputs[1] = {0x00, 0x64, 0x21};
    ASSERT_TRUE(Set(COM_STATUS_CSS_INP_SELECT, 16));
    analyser->Update();
    EXPECT_EQ(Cmd(COM_STATUS_CSS_LINE_3)->GetColour(8), 0u) << "a consumer block has no origin";
    EXPECT_EQ(item(7), "B/Cast USA");
    EXPECT_EQ(item(9), "1");
    EXPECT_EQ(item(11), "B");
    EXPECT_EQ(item(16), "") << "the professional fields are cleared";
    aes.fail = true;
    analyser->Update();
    EXPECT_EQ(item(2), "INVALID");

    // Forced AES items are enabled on every view, the dialog's (a client's) too.
    app->Store().SetItemEnabled(COM_STATUS_CSS_INP_SELECT, 15, false);
    analyser->ChanStatus().ForceItemsEnabled();
    app->Store().SetItemEnabled(COM_ANLYS_INP_SEL, 16, false);
    EXPECT_TRUE(Cmd(COM_STATUS_CSS_INP_SELECT)->GetItemEnabled(15));
    EXPECT_TRUE(Cmd(COM_ANLYS_INP_SEL)->GetItemEnabled(16) && Cmd(COM_STATUS_CSS_INP_SELECT)->GetItemEnabled(16));
}
