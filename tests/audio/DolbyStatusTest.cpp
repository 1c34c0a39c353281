// The Dolby metadata status page in the whole application: streams made by
// the generator, parsed by the reader and shown row by row; change and loss
// events; the received start line; and a client reading the rows.
#include "DlbBuilder.h"
#include "FakeAudioHardware.h"
#include "analysis/TpAnalyser.h"
#include "app/AppTest.h"
#include "audio/dolby/TpDolbyGenerator.h"
#include "audio/dolby/TpDolbyStatus.h"
#include "board/FrameStore.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "platform/FileSystem.h"
#include "remote/RemoteServerTest.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"

#include <chrono>
#include <thread>

namespace {

// Every row's value item of a two-column list: item 2r + 1.
constexpr int Row(int r) { return 2 * r + 1; }

DlbStream Stream(int config)
{
    DlbStream s;
    s.config = config;
    s.startGain.fill(960);
    s.endGain.fill(896);
    for (auto& p : s.programs) {
        p.dialogNorm = 27;
        p.ac3Mode = 7;
        p.mixLevel = 25;
        p.dataRate = 15;
        p.downmixMode = 2;
    }
    return s;
}

class DolbyStatusPage : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeFolder("dolby/E/Tones");
        SetSimInputStandard(0);
        for (unsigned id : {COM_ANLYS_LOG_DOLBY_ERRORS_ENABLE, COM_ANLYS_LOG_DOLBY_TIMING_ENABLE,
                            COM_ANLYS_LOG_DOLBY_COMMON_META_DATA_ENABLE, COM_ANLYS_LOG_DOLBY_PROGRAM_META_DATA_ENABLE})
            app->Store().SetValue(id, 1);
    }
    // Writes the stream, has the generator load it and the analyser show it.
    void Show(const DlbStream& s, const std::string& name, int storedConfig) { Show(BuildDlb(s), name, storedConfig); }
    void Show(const std::string& file, const std::string& name, int storedConfig)
    {
        WriteText("dolby/E/Tones/Dolby" + name + "_16_25.dlb", file);
        app->Store().SetValue(COM_GEN_DOLBY_PGM_CONFIG, storedConfig);
        TpDolbyGenerator* gen = TpDolbyGenerator::Instance();
        auto loaded = [&] {
            return gen->LoadedName().find(name + "_16") != std::string::npos &&
                   gen->GetLoaderState() == TpDolbyGenerator::kIdle;
        };
        for (int i = 0; i < 200000 && !loaded(); ++i) {
            app->Store().Tick();
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        ASSERT_NE(gen->LoadedName().find(name + "_16"), std::string::npos);
        TpAnalyser::Instance()->Update();
    }
    std::string Item(unsigned id, int item) const { return app->Store().GetCmd(id)->GetItemText(item); }
    uint32_t Colour(unsigned id, int item) const { return app->Store().GetCmd(id)->GetColour(item); }
    int Events(const std::string& fragment) const
    {
        int n = 0;
        for (int i = 0; i < app->Logger().EntryCount(); ++i)
            n += app->Logger().EntryText(i).find(fragment) != std::string::npos ? 1 : 0;
        return n;
    }
};

// Sets width bits at a bit offset of a built file's data.
void PutBits(std::string& file, size_t bit, int width, uint32_t value)
{
    for (int i = 0; i < width; ++i) {
        const size_t at = 116 + (bit + i) / 8;
        const int shift = 7 - static_cast<int>((bit + i) % 8);
        const bool on = ((value >> (width - 1 - i)) & 1) != 0;
        file[at] = static_cast<char>(on ? file[at] | (1 << shift) : file[at] & ~(1 << shift));
    }
}

} // namespace

TEST_F(DolbyStatusPage, ShowsEveryConfigurationProgrammeByProgramme)
{
    Show(Stream(11), "5.1", 11);
    // The generator writes its programme settings into the stream it loads.
    app->Store().SetValue(COM_GEN_DOLBY_DIALOG_NORM, -27);
    app->Store().SetValue(COM_GEN_DOLBY_MIX_LEVEL, 25);
    app->Store().SetValue(COM_GEN_DOLBY_DOWN_MIX_MODE, 2);
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "5.1");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 3), "1");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 11), "00:00:00:00");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-27dB");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), "3/2");
    EXPECT_EQ(Colour(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), 0xFFFFFFu);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(13)), "105dB");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(24)), "448k");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(19)), "Lo/Ro Pref.");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 1), "    L1");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 10), "  0.0dB");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 19), " -6.0dB");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 16), "") << "config 11 has six channels";
    // Rows that apply to AC-3 modes 0-7 (others show empty): down-mix; Lt/Rt and Lo/Ro
    // centre; Lt/Rt and Lo/Ro surround; surround EX.
    const int rows[6] = {19, 18, 12, 21, 15, 22};
    const char* applies[8] = {"000000", "000000", "000000", "111000", "100110", "111110", "100111", "111111"};
    for (int mode = 7; mode >= 0; --mode) {
        app->Store().SetValue(COM_GEN_DOLBY_CHAN_MODE, mode);
        TpAnalyser::Instance()->Update();
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(rows[k])) != "", applies[mode][k] == '1')
                << "mode " << mode << " row " << rows[k];
    }
    app->Store().SetValue(COM_GEN_DOLBY_DIALOG_NORM, 0);
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-31dB");

    // Two programmes; the second is stereo with a -1 dB dialogue level and a
    // reserved data rate.
    DlbStream two = Stream(0);
    two.programs[1].dataRate = 19;
    two.startGain[7] = 0;
    Show(two, "5.1_2", 0);
    app->Store().SetValue(COM_GEN_DOLBY_PGM_SOURCE, 1);
    app->Store().SetValue(COM_GEN_DOLBY_DIALOG_NORM, -1);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "5.1+2");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 3), "2");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 17), "  MUTE");
    app->Store().SetValue(COM_ANLYS_DOLBY_PGM_SOURCE, 1);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-1dB");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), "2/0");
    EXPECT_EQ(Colour(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), 0xFFFFFFu) << "programme 2 of 5.1+2 is 2/0";
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(24)), "??");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(19)), "") << "no down-mix for 2/0";
    EXPECT_EQ(Colour(COM_ANLYS_DOLBY_PGM_STATUS, Row(19)), 0xAFAFAFu);
    app->Store().SetValue(COM_ANLYS_DOLBY_PGM_SOURCE, 9);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-1dB") << "no programme 10: the view stays";

    // A configuration code beyond the table in the stream itself.
    std::string bad = BuildDlb(Stream(19));
    PutBits(bad, 5 * 16 + 14, 6, 40);
    Show(bad, "2_2", 19);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "???");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 3), "0");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 10), "");
}

TEST_F(DolbyStatusPage, ChangesLogOnceAndLossBlanksTheRows)
{
    Show(Stream(11), "5.1", 11);
    const int before = Events("-20dB");
    app->Store().SetValue(COM_GEN_DOLBY_DIALOG_NORM, -20);
    TpAnalyser::Instance()->Update();
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-20dB");
    EXPECT_EQ(Events("DialNorm -20dB"), before + 1);

    SetSimInputStandard(-1);
    TpAnalyser::Instance()->Update();
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(app->Store().GetCmdText(COM_ANLYS_DOLBY_PGM_DESCRIPTION), "<NO Dolby data!>");
    EXPECT_EQ(app->Store().GetCmd(COM_ANLYS_DOLBY_PGM_DESCRIPTION)->GetColour(), 0xFF0000u);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "");
    EXPECT_EQ(Colour(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), 0xAFAFAFu);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_GAINS, 10), "");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 11), "");
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, 7), "") << "bits per word";
    EXPECT_EQ(Colour(COM_ANLYS_DOLBY_OVERVIEW, 7), 0xAFAFAFu);
    EXPECT_EQ(Events("65535"), 0);
    EXPECT_EQ(Events("Dolby data lost"), 1);
}

TEST_F(DolbyStatusPage, MeasuresTheLineTheGeneratorSet)
{
    TpDolbyGenerator* gen = TpDolbyGenerator::Instance();
    gen->SetVideoFormat(VideoFormat{0});
    app->Store().SetValue(COM_GEN_DOLBY_LINES, 12);
    // Before the input's timing: a 13.5 MHz clock and 1920-sample lines,
    // 10366 samples after the frame start.
    app->Store().SetValue(COM_ANLYS_DOLBY_REF_SOURCE, 1);
    EXPECT_EQ(app->Store().GetCmdText(COM_ANLYS_DOLBY_LINES), "Line  5");
    EXPECT_EQ(app->Store().GetValue(COM_ANLYS_DOLBY_US), 7678);
    Show(Stream(11), "5.1", 11);
    TpAnalyser::Instance()->Update();
    const int events = Events("Dolby line");
    // standard, line set, text, colour
    struct Case { int standard; int line; const char* text; uint32_t colour; };
    for (const Case& c : {Case{0, 12, "Line  12", 0u}, Case{0, 21, "Line  21", 0x004000u},
                          Case{11, 60, "Line  60", 0xFF0000u}, Case{22, 30, "Line  30", 0u},
                          Case{7, 300, "Line  300", 0xFF0000u}, Case{1, 3, "Line  3", 0xFF0000u}}) {
        SetSimInputStandard(c.standard);
        gen->SetVideoFormat(VideoFormat{c.standard});
        app->Store().SetValue(COM_GEN_DOLBY_LINES, c.line);
        TpAnalyser::Instance()->Update();
        EXPECT_EQ(app->Store().GetCmdText(COM_ANLYS_DOLBY_LINES), c.text) << c.standard;
        EXPECT_EQ(app->Store().GetCmd(COM_ANLYS_DOLBY_LINES)->GetColour(), c.colour) << c.standard;
    }
    SetSimInputStandard(0);
    gen->SetVideoFormat(VideoFormat{0});
    app->Store().SetValue(COM_GEN_DOLBY_LINES, 21);
    TpAnalyser::Instance()->Update();
    app->Store().SetValue(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 1);
    EXPECT_EQ(app->Store().GetCmdText(COM_ANLYS_DOLBY_LINES), "Line +9") << "redrawn at once";
    EXPECT_EQ(Events("Dolby line"), events + 5) << "one event per class change";

    // Without timing the last line stays.
    const uint32_t none[DolbyStatusView::kTimingWords] = {};
    TpAnalyser::Instance()->DolbyStatus().UpdateDolbyLine(none);
    EXPECT_EQ(app->Store().GetCmdText(COM_ANLYS_DOLBY_LINES), "Line +9");
}

TEST_F(DolbyStatusPage, DolbyDigitalShowsItsRowsAndCountsErrors)
{
    TpStore& store = app->Store();
    // type, AC-3 mode, rate item, kind text, mode text, data rate text, error event
    struct Case { int type, mode, rate; const char *kind, *modeText, *kbps, *error; };
    for (const Case& c : {Case{2, 7, 11, "Dolby-D", "3/2", "448 kbps", "Dolby-D errors"},
                          Case{3, 2, 14, "Dolby+", "2/0", "640 kbps", "Dolby+ errors"},
                          Case{3, 7, 15, "Dolby+", "3/2", "???", "Dolby+ errors"}}) {
        store.SetValue(COM_GEN_DOLBY_TYPE, c.type);
        store.SetValue(COM_GEN_DOLBY_D_MODE, c.mode);
        store.SetValue(COM_GEN_DOLBY_D_RATE, c.rate);
        TpAnalyser::Instance()->Update();
        EXPECT_EQ(store.GetCmdText(COM_ANLYS_DOLBY_D_TYPE), c.kind);
        EXPECT_TRUE(store.GetCmd(COM_ANLYS_DOLBY_D_STATUS)->IsVisible());
        EXPECT_FALSE(store.GetCmd(COM_ANLYS_DOLBY_PGM_STATUS)->IsVisible());
        EXPECT_EQ(store.GetCmd(COM_ANLYS_DOLBY_D_INDEPEND_STREAM_SRC)->IsVisible(), c.type == 3);
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, Row(1)), c.modeText) << c.kind;
        EXPECT_EQ(Colour(COM_ANLYS_DOLBY_D_STATUS, Row(1)), 0xFFFFFFu) << "the stream's own mode is expected";
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, 55), c.kbps);
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, 56), "Pa Spacing");
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, 57), "1536");
        EXPECT_EQ(Colour(COM_ANLYS_DOLBY_D_STATUS, 57), 0xFFFFFFu);

        // The error flag counts once per update; the count stays red until cleared.
        const int raised = Events(c.error), cleared = Events(std::string(c.error) + " cleared");
        hw_status_set(12, 1);
        TpAnalyser::Instance()->Update();
        TpAnalyser::Instance()->Update();
        hw_status_set(12, 0);
        TpAnalyser::Instance()->Update();
        EXPECT_EQ(store.GetValue(COM_ANLYS_DOLBY_ERRORS), 2);
        EXPECT_EQ(store.GetCmd(COM_ANLYS_DOLBY_ERRORS)->GetColour(), 0xFF0000u);
        EXPECT_EQ(Events(std::string(c.error) + " cleared"), cleared + 1);
        EXPECT_EQ(Events(c.error), raised + 2) << "one event as the flag rises, one as it falls";
        store.SetValue(COM_ANLYS_DOLBY_CLEAR_ERRORS, 1);
        EXPECT_EQ(store.GetValue(COM_ANLYS_DOLBY_ERRORS), 0);
        EXPECT_EQ(store.GetCmd(COM_ANLYS_DOLBY_ERRORS)->GetColour(), 0u);
    }
    EXPECT_EQ(Events("frame size 1536"), 1);
    // An AC-3 stream has no ideal line: its line stays absolute.
    TpDolbyGenerator::Instance()->SetVideoFormat(VideoFormat{0});
    store.SetValue(COM_GEN_DOLBY_LINES, 21);
    store.SetValue(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 1);
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(store.GetCmdText(COM_ANLYS_DOLBY_LINES), "Line  21");

    // Choosing another source starts the count again.
    hw_status_set(12, 1);
    TpAnalyser::Instance()->Update();
    TpAnalyser::Instance()->Update();
    store.SetValue(COM_ANLYS_DOLBY_SOURCE, 2);
    EXPECT_EQ(store.GetValue(COM_ANLYS_DOLBY_ERRORS), 1);
}

TEST_F(DolbyStatusPage, ClientReadsTheReferenceTheStartTimeAndTheInternalCommands)
{
    // Line 12 of 576i50, before the input's timing: 10366 samples of a 13.5 MHz clock.
    TpDolbyGenerator::Instance()->SetVideoFormat(VideoFormat{0});
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_LINES, 0, 12).answered);
    EXPECT_TRUE(Request(5, COM_ANLYS_DOLBY_REF_SOURCE, 0, 1).answered);
    EXPECT_EQ(Request(20, COM_ANLYS_DOLBY_US).Text(), "767.8us");
    EXPECT_EQ(Request(21, COM_ANLYS_DOLBY_US).header.value, 7678u);
    EXPECT_EQ(Request(20, COM_ANLYS_DOLBY_REF_SOURCE_INFO).Text(), "576i50");
    // The lock text command is there for clients, with no text of its own.
    const Reply lock = Request(20, COM_ANLYS_REF_LOCK);
    EXPECT_EQ(lock.header.type, 30);
    EXPECT_EQ(lock.Text(), "");
    for (uint16_t id : {uint16_t{1453}, uint16_t{1454}}) {
        const Reply r = Request(21, id);
        EXPECT_EQ(r.header.type, 31) << id;
        EXPECT_EQ(r.header.value, 0u) << id;
    }
    Request(3, 0, 0, 0, "inputstd -1");
    app->ProcessPending();
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(Request(20, COM_ANLYS_DOLBY_REF_SOURCE_INFO).Text(), "");
    EXPECT_EQ(Request(20, COM_ANLYS_REF_LOCK).Text(), "");

    // Another analyser input is another source: a Dolby-D error count starts again.
    Request(3, 0, 0, 0, "inputstd 11");
    app->ProcessPending();
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_TYPE, 0, 2).answered);
    hw_status_set(12, 1);
    TpAnalyser::Instance()->Update();
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(Request(21, COM_ANLYS_DOLBY_ERRORS).header.value, 2u);
    EXPECT_EQ(Request(20, COM_ANLYS_DOLBY_REF_SOURCE_INFO).Text(), "1080i50");
    EXPECT_TRUE(Request(5, COM_ANLYS_INP_SEL, 0, 3).answered);
    EXPECT_EQ(Request(21, COM_ANLYS_DOLBY_ERRORS).header.value, 1u);
}

TEST_F(DolbyStatusPage, TheMetadataPageShowsItsGridsAndClearsErrorsWithTheKeys)
{
    auto press = [&](uint16_t key, int times = 1) { PressKey(key, times); };
    auto focused = [&] { return FocusedOnMain(); };
    // From the page's tabs down and round to the menu's tabs, then back to the page's.
    auto path = [&] {
        std::vector<std::string> names;
        for (press(kKeyDown); focused() != "Menu" && names.size() < 20; press(kKeyDown))
            names.push_back(focused());
        press(kKeyDown);
        return names;
    };
    auto redPixels = [] {
        int n = 0;
        for (int y = 0; y < kLcdHeight; ++y)
            for (int x = 0; x < kLcdWidth; ++x)
                n += SimLcdFrame().Pixel(x, y) == 0xFF0000u ? 1 : 0;
        return n;
    };
    // Audio, then its Dolby page.
    press(kKeyRight, 4);
    press(kKeyDown);
    press(kKeyRight, 3);
    ASSERT_EQ(focused(), "Aud");

    Show(Stream(11), "5.1", 11);
    using Names = std::vector<std::string>;
    EXPECT_EQ(path(), (Names{"Dolby Source", "Program View", "Relative Line", "Clear Errors"}));

    // Dolby-D+: the stream selectors and the AC-3 grid; the error count in
    // red until the button clears it.
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_TYPE, 0, 3).answered);
    hw_status_set(12, 1);
    TpAnalyser::Instance()->Update();
    hw_status_set(12, 0);
    TpAnalyser::Instance()->Update();
    EXPECT_EQ(path(), (Names{"Dolby Source", "Independent", "Dependent", "Program View", "Relative Line",
                             "Clear Errors"}));
    press(kKeyUp, 2);
    ASSERT_EQ(focused(), "Clear Errors");
    EXPECT_GT(redPixels(), 10) << "the error count";
    press(kKeyOk);
    EXPECT_EQ(Request(21, COM_ANLYS_DOLBY_ERRORS).header.value, 0u);
    EXPECT_EQ(redPixels(), 0);
}

namespace {
class DolbyStatusSelectors : public DolbyStatusPage {
protected:
    void SetUp() override
    {
        DolbyStatusPage::SetUp();
        SetAudioHardware(&hw);
    }
    FakeAudioHardware hw;
};
} // namespace

TEST_F(DolbyStatusSelectors, ReachTheReceiverAndRedrawThePage)
{
    TpStore& store = app->Store();
    // Source items: the AES input, then pairs 1-8 (receiver inputs 8, then 0-7).
    for (int source : {1, 0, 8})
        store.SetValue(COM_ANLYS_DOLBY_SOURCE, source);
    using Calls = std::vector<std::string>;
    EXPECT_EQ(hw.CallsOf("DolbySource"),
              (Calls{"DolbySourceSelect(0)", "DolbySourceSelect(8)", "DolbySourceSelect(7)"}));

    // Dependent streams up to the independent one; a bad index means stream 0.
    const TpCommand* dependent = store.GetCmd(COM_ANLYS_DOLBY_D_DEPEND_STREAM_SRC);
    store.SetValue(COM_ANLYS_DOLBY_D_DEPEND_STREAM_SRC, 1);
    store.SetValue(COM_ANLYS_DOLBY_D_INDEPEND_STREAM_SRC, 3);
    EXPECT_TRUE(dependent->GetItemEnabled(3));
    EXPECT_FALSE(dependent->GetItemEnabled(4));
    store.SetValue(COM_ANLYS_DOLBY_D_INDEPEND_STREAM_SRC, 9);
    EXPECT_TRUE(debug->Contains("ERROR: iIndependent=9\n"));
    EXPECT_FALSE(dependent->GetItemEnabled(1));
    EXPECT_EQ(hw.CallsOf("DolbyStream"),
              (Calls{"DolbyStreamSelect(0,1)", "DolbyStreamSelect(3,1)", "DolbyStreamSelect(0,1)"}));

    // Programmes 1-8 can be viewed (the 8th of a one-programme stream is empty); no 9th.
    Show(Stream(11), "5.1", 11);
    store.SetValue(COM_ANLYS_DOLBY_PGM_SOURCE, 8);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), "3/2");
    store.SetValue(COM_ANLYS_DOLBY_PGM_SOURCE, 7);
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), "");
}

namespace {
using DolbyStatusOverTcp = RemoteServerTest;
}

TEST_F(DolbyStatusOverTcp, ClientReadsTheProgrammeRows)
{
    for (const char* folder : {"dolby", "dolby/E", "dolby/E/Tones"})
        MakeFolder(folder);
    WriteText("dolby/E/Tones/Dolby5.1_2_16_25.dlb", BuildDlb(Stream(0)));
    WriteText("dolby/E/Tones/Dolby5.1_16_25.dlb", BuildDlb(Stream(11)));
    SetSimInputStandard(0);
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(5);
        return c.Request(StoreType::kGetItemText, COM_ANLYS_DOLBY_PGM_STATUS, Row(1)).payload == "3/2";
    }));
    EXPECT_EQ(c.Request(StoreType::kGetItemText, COM_ANLYS_DOLBY_PGM_STATUS, Row(24)).payload, "448k");
    EXPECT_EQ(c.Request(StoreType::kGetItemText, COM_ANLYS_DOLBY_PGM_STATUS, 2).payload, "AC3 Mode");
    EXPECT_EQ(c.Request(StoreType::kGetItemText, COM_ANLYS_DOLBY_OVERVIEW, 2).payload, "Programs");
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, ClientSetsTheInputStandardAndReadsTheStream)
{
    for (const char* folder : {"dolby", "dolby/E", "dolby/E/Tones"})
        MakeFolder(folder);
    WriteText("dolby/E/Tones/Dolby5.1_2_16_25.dlb", BuildDlb(Stream(0)));
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    auto item = [&](unsigned id, int i) { return c.Request(StoreType::kGetItemText, id, i).payload; };
    auto text = [&](unsigned id) { return c.Request(StoreType::kGetText, id).payload; };
    auto console = [&](const std::string& line) {
        EXPECT_EQ(c.Request(MsgType::kConsole, 0, 0, 0, line).header.type, ReplyType::kOk);
    };
    // The stream of two programmes is loaded: programmes 1 and 2 can be chosen.
    ASSERT_TRUE(WaitFor([&] {
        PostTicks(5);
        return c.Request(StoreType::kGetItemsText, COM_GEN_DOLBY_PGM_SOURCE).header.item == 2;
    }));
    PostTicks(2);
    EXPECT_TRUE(WaitFor([&] { return text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "<NO Dolby data!>"; }))
        << "no input at start";

    console("inputstd");
    EXPECT_TRUE(WaitFor([&] { return debug->Contains("Input standard -1: none\n"); }));
    console("inputstd 0");
    EXPECT_TRUE(WaitFor([&] { return debug->Contains("Input standard 0: 576i50\n"); }));
    c.Request(StoreType::kSetValue, COM_GEN_DOLBY_DIALOG_NORM, 0, static_cast<uint32_t>(-20));
    c.Request(StoreType::kSetText, COM_GEN_DOLBY_PGM_DESCRIPTION, 0, 0, "Main mix");
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(1);
        return text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "Main mix";
    }));
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "5.1+2");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_OVERVIEW, 3), "2");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_OVERVIEW, 11), "00:00:00:00");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_GAINS, 10), "  0.0dB");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_GAINS, 19), " -6.0dB");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "-20dB");
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_STATUS, Row(1)), "3/2");

    // Anything but a standard's row or -1 is refused and changes nothing.
    for (const char* bad : {"inputstd 55", "inputstd -2", "inputstd 1x", "inputstd 1 2", "inputstd x"})
        console(bad);
    EXPECT_TRUE(WaitFor([&] {
        return debug->Text().find("Usage: inputstd [N] (N: -1 for no input, 0-54 a video standard)\n") !=
               std::string::npos;
    }));
    PostTicks(2);
    EXPECT_EQ(text(COM_ANLYS_DOLBY_PGM_DESCRIPTION), "Main mix");

    console("inputstd -1");
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(1);
        return text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "<NO Dolby data!>";
    }));
    EXPECT_EQ(item(COM_ANLYS_DOLBY_PGM_STATUS, Row(0)), "");
    EXPECT_TRUE(StopApp());
}
