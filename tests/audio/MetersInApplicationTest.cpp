// Audio meters, thresholds, the AES monitor and the channel-status page inside the application.
#include "app/AppTest.h"

#include "FakeAesReceiver.h"
#include "FakeAudioHardware.h"
#include "analysis/TpAnalyser.h"
#include "audio/aes/TpAESMonitor.h"
#include "audio/meters/TpAudMonitor.h"
#include "audio/meters/TpThreshold.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
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
}

TEST_F(MetersInApplication, HeadphonesShowTheChosenSourcesSetting)
{
    for (int source : {1, 0, 1}) {
        ASSERT_TRUE(Set(COM_SPKR_SOURCE, source));
        EXPECT_EQ(Cmd(COM_SPKR_SOURCE_INP)->IsVisible(), source == 0);
        EXPECT_EQ(Cmd(COM_SPKR_SOURCE_OUT)->IsVisible(), source == 1);
    }
    // A monitor without the AES sources (items 2, 3) and the second stream
    // (item 4) offers none of them; it starts on analyser input 1 or 2.
    ASSERT_TRUE(Set(COM_SPKR_SOURCE, 3));
    ASSERT_TRUE(Set(COM_ANLYS_INP_SEL, 0));
    TpAudMonitor plain(nullptr, TpAudMonitor::kCommandIds, false, false, false);
    const TpCommand* source = app->Store().GetCmd(COM_SPKR_SOURCE);
    EXPECT_TRUE(source->GetItemEnabled(1));
    EXPECT_FALSE(source->GetItemEnabled(2) || source->GetItemEnabled(3) || source->GetItemEnabled(4));
    EXPECT_EQ(Value(COM_SPKR_SOURCE), 0);
    EXPECT_TRUE(Cmd(COM_SPKR_SOURCE_INP)->IsVisible());
}

TEST_F(MetersInApplication, ThresholdsLogStartAndEndOfAnExcursion)
{
    // Every update reads 0.0 dB to the thresholds.
    for (auto [id, v] : {std::pair{COM_ANLYS_LOG_CLIP_ENABLE, 1}, {COM_ANLYS_LOG_CLIP_LEVEL, -1},
                         {COM_ANLYS_LOG_CLIP_FRAMES, 5}, {COM_ANLYS_LOG_AUDIO_PAIR_1, 1}})
        ASSERT_TRUE(Set(id, v));
    auto events = [&](unsigned text, const char* channel) { return Events(GetText(text) + channel); };
    analyser->Update();
    analyser->Update();
    // Counts of separate excursions add up; a count lowered below the one
    // reached starts the event at once.
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_LEVEL, 1));
    analyser->Update();
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_LEVEL, -1));
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_FRAMES, 2));
    EXPECT_EQ(events(5, " 1 0dB"), 0);
    analyser->Update();
    EXPECT_EQ(events(5, " 1 0dB"), 1);
    EXPECT_EQ(events(5, " 2 0dB"), 1) << "meter 2 shares the pair";
    EXPECT_EQ(events(5, " 3 0dB"), 0) << "pair 2 is not logged";
    ASSERT_TRUE(Set(COM_ANLYS_LOG_CLIP_LEVEL, 1));
    analyser->Update();
    EXPECT_EQ(events(9, " 1 0dB"), 1);

    // Below +1 dB both muted and quiet hold; muted is asked first.
    for (unsigned id : {COM_ANLYS_LOG_MUTED_ENABLE, COM_ANLYS_LOG_MUTED_LEVEL, COM_ANLYS_LOG_MUTED_FRAMES,
                        COM_ANLYS_LOG_QUIET_ENABLE, COM_ANLYS_LOG_QUIET_LEVEL, COM_ANLYS_LOG_QUIET_FRAMES})
        ASSERT_TRUE(Set(id, 1));
    analyser->Update();
    EXPECT_EQ(events(8, " 1 0dB"), 1);
    EXPECT_EQ(events(7, " 1 0dB"), 0);
    // Disabled while active: no end, and quiet is asked now.
    ASSERT_TRUE(Set(COM_ANLYS_LOG_MUTED_ENABLE, 0));
    analyser->Update();
    EXPECT_EQ(events(12, " 1 0dB"), 0);
    EXPECT_EQ(events(7, " 1 0dB"), 1);
    ASSERT_TRUE(Set(COM_ANLYS_LOG_QUIET_LEVEL, -1));
    ASSERT_TRUE(Set(COM_ANLYS_LOG_MUTED_LEVEL, -1));
    ASSERT_TRUE(Set(COM_ANLYS_LOG_MUTED_ENABLE, 1));
    analyser->Update();
    EXPECT_EQ(events(11, " 1 0dB"), 1);
    EXPECT_EQ(events(12, " 1 0dB"), 1);
    // -0.5 dB is not below -1 dB; the lowest level there is reads -99 dB.
    TpThresholdSet::Instance()->Evaluate(-5, *analyser->Meters().Meter(1));
    EXPECT_EQ(events(8, " 2 0dB"), 1);
    TpThresholdSet::Instance()->Evaluate(INT32_MIN, *analyser->Meters().Meter(1));
    EXPECT_EQ(events(8, " 2 -99dB"), 1);
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
    EXPECT_EQ(Events(GetText(135)), 1) << "user bits clear";
    hw.sourceFlagB = 0;   // both source flags clear: user bits set
    analyser->Update();
    EXPECT_EQ(Events(GetText(134)), 1);
    // data type, source flag b, status text
    for (auto [type, flagB, text] : {std::tuple{0, 0, 80}, {0, 1, 133}, {1, 1, 279}, {3, 1, 278}}) {
        hw.aesDataType = type;
        hw.sourceFlagB = flagB;
        analyser->Update();
        EXPECT_EQ(Text(COM_ANLYS_INP2_STD), GetText(text)) << "data type " << type;
    }
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

    // One byte set in a professional (byte 0 bit 0) or a consumer block: byte, value, item, text.
    struct Field { int byte; uint8_t value; int item; const char* text; };
    auto decode = [&](uint8_t byte0, std::initializer_list<Field> fields) {
        for (const Field& f : fields) {
            aes.embedded = {byte0};
            aes.embedded[f.byte] |= f.value;
            analyser->Update();
            EXPECT_EQ(item(f.item), f.text) << "byte " << f.byte << " = " << int(f.value);
        }
    };
    decode(0x01, {
        {0, 0x41, 5, "44.1kHz"}, {0, 0x81, 5, "48kHz  "}, {0, 0xC1, 5, "32kHz  "}, {0, 0x03, 2, "Data"},
        {0, 0x21, 3, "unlocked"}, {0, 0x05, 7, "none"}, {0, 0x0D, 7, "50us + 15us"}, {0, 0x1D, 7, "ITU-T J.17"},
        {0, 0x09, 7, "Reserved"}, {1, 0x01, 9, "2xFs   "}, {1, 0x09, 9, "2xFs   "}, {1, 0x0E, 9, "2xFs   "},
        {1, 0x02, 9, "stereo "}, {1, 0x04, 9, "mono   "}, {1, 0x08, 9, "2-ch   "}, {1, 0x0C, 9, "pri-sec"},
        {1, 0x0F, 9, "mult-ch"}, {1, 0x03, 9, "Reserved"}, {1, 0x40, 11, "AES18"}, {1, 0x80, 11, "192-bit"},
        {1, 0xC0, 11, "user def"}, {1, 0x10, 11, "Reserved"}, {2, 0x0A, 13, "16 of 20"}, {2, 0x12, 13, "18 of 20"},
        {2, 0x32, 13, "17 of 20"}, {2, 0x02, 13, "?(20) of 20"}, {2, 0x3A, 13, "? of 20"}, {2, 0x0C, 13, "20 of 24 "},
        {2, 0x14, 13, "22 of 24 "}, {2, 0x24, 13, "23 of 24 "}, {2, 0x34, 13, "21 of 24 "}, {2, 0x04, 13, "?(24) of 24 "},
        {2, 0x01, 13, ""}, {2, 0x40, 15, "-18.06dB"}, {2, 0x80, 15, "-20dB   "}, {2, 0xC0, 15, "?"},
        {3, 0x80, 16, "Multichan"}, {4, 0x01, 21, "Grade 2"}, {4, 0x02, 21, "Grade 1"}, {4, 0x03, 21, "Reserved"},
        {4, 0x08, 22, "24kHz"}, {4, 0x10, 22, "96kHz"}, {4, 0x18, 22, "192kHz"}, {4, 0x48, 22, "22.05kHz"},
        {4, 0x50, 22, "88.2kHz"}, {4, 0x58, 22, "176.4kHz"}, {4, 0x20, 22, "?"}, {4, 0x80, 23, "/1.001"},
        {14, 0x12, 29, "12000000"}, {17, 0x34, 29, "00000034"}, {18, 0x56, 31, "56000000"}, {22, 0x50, 33, "ynyn"},
    });
    decode(0x00, {
        {0, 0x02, 1, "Non Audio"}, {0, 0x04, 3, "Permited"}, {0, 0x08, 5, "50/15 us"}, {0, 0x18, 5, "Reserved"},
        {0, 0x28, 5, "Res-4ch aud"}, {1, 0x01, 7, "Opt CD-IEC"}, {1, 0x09, 7, "Opt CD"}, {1, 0x11, 7, "Opt Res."},
        {1, 0x02, 7, "Dig.coder"}, {1, 0x12, 7, "Dig.mixer"}, {1, 0x1A, 7, "Dig.SRC"}, {1, 0x22, 7, "Dig.sample"},
        {1, 0x0A, 7, "Reserved"}, {1, 0x03, 7, "Mag.DAT"}, {1, 0x0B, 7, "Mag.VCR"}, {1, 0x13, 7, "Mag.Res."},
        {1, 0x04, 7, "B/Cast JP"}, {1, 0x0C, 7, "B/Cast EU"}, {1, 0x44, 7, "B/Cast S/W"}, {1, 0x14, 7, "Reserved"},
        {1, 0x05, 7, "MusicSynth"}, {1, 0x0D, 7, "Music Mic"}, {1, 0x15, 7, "Reserved"}, {1, 0x0E, 7, "Broadcast "},
        {1, 0x16, 7, "ADC No (c)"}, {1, 0x06, 7, "ADC (c)"}, {1, 0x07, 7, "Reserved"}, {1, 0x40, 7, "Experiment"},
        {1, 0x08, 7, "S/S Memory"}, {2, 0x03, 9, "3"}, {2, 0x30, 11, "C"}, {3, 0x02, 13, "48kHz"},
        {3, 0x03, 13, "32kHz"}, {3, 0x01, 13, "?"}, {3, 0x06, 13, "?"}, {3, 0x08, 13, "?"},
        {3, 0x10, 15, "var.pitch"}, {3, 0x20, 15, "+/-50 ppm"}, {3, 0x30, 15, "Reserved"},
    });

    // The chosen pair is the analyser's input; an AES input is not.
    ASSERT_TRUE(Set(COM_STATUS_CSS_INP_SELECT, 3));
    EXPECT_EQ(Value(COM_ANLYS_INP_SEL), 3);
    EXPECT_TRUE(Cmd(COM_STATUS_CSS_SOURCE_SELECT)->IsVisible());

    aes.embedded[6] = 0x41, aes.embedded[8] = 0xC3;   // a red origin mark, then a consumer block
    analyser->Update();
    aes.inputs[1] = {0x00, 0x64, 0x21};
    ASSERT_TRUE(Set(COM_STATUS_CSS_INP_SELECT, 16));
    EXPECT_EQ(Value(COM_ANLYS_INP_SEL), 3);
    EXPECT_FALSE(Cmd(COM_STATUS_CSS_SOURCE_SELECT)->IsVisible());
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
