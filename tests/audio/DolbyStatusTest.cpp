// The Dolby metadata status page in the whole application: streams made by
// the generator, parsed by the reader and shown row by row; change and loss
// events; the received start line; and a client reading the rows.
#include "DlbBuilder.h"
#include "DolbyLoadWait.h"
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

#include <algorithm>
#include <cstdlib>

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
        app->Store().SetValue(COM_GEN_DOLBY_PGM_CONFIG, storedConfig);
        Play("dolby/E/Tones/Dolby" + name + "_16_25.dlb", file);
    }
    // An AC-3 stream of the type, mode and data-rate item, at path.
    void ShowAc3(int type, int mode, int rate, const std::string& path)
    {
        app->Store().SetValue(COM_GEN_DOLBY_TYPE, type);
        app->Store().SetValue(COM_GEN_DOLBY_D_MODE, mode);
        app->Store().SetValue(COM_GEN_DOLBY_D_RATE, rate);
        Play(path, BuildAc3Dlb());
    }
    void Play(const std::string& path, const std::string& file)
    {
        ASSERT_TRUE(WriteDlb(path, file)) << path;
        ASSERT_TRUE(TickUntilPlaying(app->Store(), *TpDolbyGenerator::Instance(), path)) << path;
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

TEST_F(DolbyStatusPage, EveryStandardShowsTheLineItsGeneratorSetInTheGeneratorsColour)
{
    TpStore& store = app->Store();
    TpDolbyGenerator* gen = TpDolbyGenerator::Instance();
    // A Dolby E stream plays: the relative line counts from its ideal line.
    Show(Stream(11), "5.1", 11);
    // The standards with a line window: 576i50 to 720p23.98.
    for (int standard = 0; standard <= 29; ++standard) {
        // The input carries the generator's output, as "inputstd" makes it.
        SetSimInputStandard(standard);
        gen->SetVideoFormat(VideoFormat{standard});
        const int lines = VideoFormat::GetTotalLines(VideoFormat{standard});
        store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
        store.SetValue(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 0);
        std::vector<int> set;
        for (int line = 1; line <= 110; ++line)
            set.push_back(line);
        set.push_back(lines);
        for (int line : set) {
            store.SetValue(COM_GEN_DOLBY_LINES, line);
            TpAnalyser::Instance()->Update();
            ASSERT_EQ(store.GetCmdText(COM_ANLYS_DOLBY_LINES), "Line  " + std::to_string(line)) << standard;
            ASSERT_EQ(store.GetCmd(COM_ANLYS_DOLBY_LINES)->GetColour(), store.GetCmd(COM_GEN_DOLBY_LINES)->GetColour())
                << standard << " line " << line;
        }
        // Both relative: the page shows the generator's value.
        store.SetValue(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 1);
        for (int line : set) {
            store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
            store.SetValue(COM_GEN_DOLBY_LINES, line);
            store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 1);
            TpAnalyser::Instance()->Update();
            const int relative = store.GetValue(COM_GEN_DOLBY_LINES);
            ASSERT_EQ(store.GetCmdText(COM_ANLYS_DOLBY_LINES),
                      (relative > 0 ? "Line +" : "Line  ") + std::to_string(relative))
                << standard;
        }
    }
}

TEST_F(DolbyStatusPage, AStreamFromAnotherStandardIsMeasuredInsideTheInputFrame)
{
    // The generator on 1080i50 (1125 lines) counts more lines to its frame's
    // end than a 576i50 input (625 lines, 40 ms) has.
    TpDolbyGenerator::Instance()->SetVideoFormat(VideoFormat{11});
    for (int line : {1, 12, 500, 1125}) {
        app->Store().SetValue(COM_GEN_DOLBY_LINES, line);
        TpAnalyser::Instance()->Update();
        const std::string text = app->Store().GetCmdText(COM_ANLYS_DOLBY_LINES);
        ASSERT_EQ(text.rfind("Line  ", 0), 0u) << text;
        const long shown = std::strtol(text.c_str() + 6, nullptr, 10);
        EXPECT_GE(shown, 1) << line;
        EXPECT_LE(shown, 625) << line;
        // The time counts to the end of the line shown: at most 626 lines of 64 us.
        const int32_t tenths = app->Store().GetValue(COM_ANLYS_DOLBY_US);
        EXPECT_GT(tenths, 0) << line;
        EXPECT_LE(tenths, 626 * 640) << line;
    }
}

TEST_F(DolbyStatusPage, DolbyDigitalShowsItsRowsAndCountsErrors)
{
    TpStore& store = app->Store();
    // type, AC-3 mode, rate item, stream file, kind text, mode text, data rate text, error event
    struct Case { int type, mode, rate; const char *file, *kind, *modeText, *kbps, *error; };
    for (const Case& c : {Case{2, 7, 11, "D/Tones/Dolby3_2L_448k", "Dolby-D", "3/2", "448 kbps", "Dolby-D errors"},
                          Case{3, 2, 14, "Plus/Tones/Dolby2_0_640k", "Dolby+", "2/0", "640 kbps", "Dolby+ errors"},
                          Case{3, 7, 15, "Plus/Tones/Dolby3_2L_768k", "Dolby+", "3/2", "???", "Dolby+ errors"}}) {
        ShowAc3(c.type, c.mode, c.rate, std::string("dolby/") + c.file + ".dlb");
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
    ShowAc3(2, 7, 11, "dolby/D/Tones/Dolby3_2L_448k.dlb");
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
    ShowAc3(3, 7, 11, "dolby/Plus/Tones/Dolby3_2L_448k.dlb");
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
// A client of the running simulator reading the Dolby pages.
class DolbyStatusOverTcp : public RemoteServerTest {
protected:
    // Writes the Dolby E streams (named after "dolby/E/Tones/Dolby") and the
    // AC-3 streams (paths under "dolby/", without ".dlb"), starts the
    // simulator with the Dolby page's events logged and connects the client.
    bool Start(const std::vector<std::pair<std::string, DlbStream>>& files = {},
               const std::vector<std::string>& ac3 = {})
    {
        for (const auto& [name, stream] : files)
            EXPECT_TRUE(WriteDlb("dolby/E/Tones/Dolby" + name + ".dlb", BuildDlb(stream)));
        for (const std::string& path : ac3)
            EXPECT_TRUE(WriteDlb("dolby/" + path + ".dlb", BuildAc3Dlb()));
        if (!StartApp() || !client.Connect(port))
            return false;
        for (unsigned id : {COM_ANLYS_LOG_DOLBY_ERRORS_ENABLE, COM_ANLYS_LOG_DOLBY_TIMING_ENABLE,
                            COM_ANLYS_LOG_DOLBY_COMMON_META_DATA_ENABLE, COM_ANLYS_LOG_DOLBY_PROGRAM_META_DATA_ENABLE})
            Set(id, 1);
        return true;
    }
    void Console(const std::string& line)
    {
        EXPECT_EQ(client.Request(MsgType::kConsole, 0, 0, 0, line).header.type, ReplyType::kOk) << line;
    }
    void Set(unsigned id, int32_t value)
    {
        EXPECT_EQ(client.Request(StoreType::kSetValue, id, 0, static_cast<uint32_t>(value)).header.type,
                  ReplyType::kOk);
    }
    // The analyser updates its pages every ten ticks: the next request is
    // answered after at least one update.
    static void Update() { PostTicks(10); }
    int32_t Value(unsigned id) { return static_cast<int32_t>(client.Request(StoreType::kGetValue, id).header.value); }
    std::string Text(unsigned id) { return client.Request(StoreType::kGetText, id).payload; }
    uint32_t Colour(unsigned id) { return client.Request(StoreType::kGetColour, id).header.value; }
    bool Visible(unsigned id) { return client.Request(StoreType::kGetVisible, id).header.value != 0; }
    std::string Item(unsigned id, int item) { return client.Request(StoreType::kGetItemText, id, item).payload; }
    uint32_t ItemColour(unsigned id, int item)
    {
        return client.Request(StoreType::kGetItemColour, id, item).header.value;
    }
    // Not shown: the command is hidden, or the item is empty and grey.
    bool Gone(unsigned id, int item)
    {
        return !Visible(id) || (Item(id, item).empty() && ItemColour(id, item) == 0xAFAFAFu);
    }
    bool TextGone(unsigned id) { return !Visible(id) || (Text(id).empty() && Colour(id) == 0xAFAFAFu); }
    // Not shown: the command is hidden, or the item is empty.
    bool Empty(unsigned id, int item) { return !Visible(id) || Item(id, item).empty(); }
    // The event log's messages from entry first on.
    int EventCount() { return static_cast<int>(client.Request(StoreType::kGetItemCount, COM_ANLYS_LOG_VIEW).header.value); }
    std::vector<std::string> EventsFrom(int first)
    {
        std::vector<std::string> events;
        for (int i = first, n = EventCount(); i < n; ++i)
            events.push_back(Item(COM_ANLYS_LOG_VIEW, i).substr(22));
        return events;
    }

    TestClient client;
};
} // namespace

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

TEST_F(DolbyStatusOverTcp, NothingOfAnEarlierStreamStaysAfterTheTypeChangesOrTheInputGoes)
{
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}}, {"D/Tones/Dolby3_2L_448k", "Plus/Tones/Dolby3_2L_448k"}));
    Console("inputstd 0");
    Set(COM_GEN_DOLBY_D_MODE, 7);
    Set(COM_GEN_DOLBY_D_RATE, 11);
    Set(COM_GEN_DOLBY_TYPE, 0);
    ASSERT_EQ(client.Request(StoreType::kSetText, COM_GEN_DOLBY_PGM_DESCRIPTION, 0, 0, "Main mix").header.type,
              ReplyType::kOk);
    auto dolbyEShown = [&] {
        return Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "Main mix" && Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1) == "5.1+2" &&
               Text(COM_ANLYS_DOLBY_D_TYPE) == "Dolby-E";
    };
    ASSERT_TRUE(WaitFor([&] {
        PostTicks(5);
        return dolbyEShown();
    }));
    // What only a Dolby E stream carries: configuration, description, overview, programme rows, gains.
    auto dolbyEGone = [&](const std::string& when) {
        EXPECT_TRUE(Gone(COM_ANLYS_DOLBY_PGM_CONFIG, 1)) << when << ": " << Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1);
        EXPECT_TRUE(TextGone(COM_ANLYS_DOLBY_PGM_DESCRIPTION) ||
                    Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "<NO Dolby data!>")
            << when << ": " << Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION);
        EXPECT_TRUE(Gone(COM_ANLYS_DOLBY_OVERVIEW, 1)) << when << ": frame rate";
        for (int item : {3, 11})
            EXPECT_TRUE(Empty(COM_ANLYS_DOLBY_OVERVIEW, item)) << when << ": overview item " << item;
        for (int row : {0, 1, 24})
            EXPECT_TRUE(Gone(COM_ANLYS_DOLBY_PGM_STATUS, Row(row))) << when << ": programme row " << row;
        for (int item : {1, 10, 19})
            EXPECT_TRUE(Empty(COM_ANLYS_DOLBY_PGM_GAINS, item)) << when << ": gains item " << item;
        // The labels of the rows emptied: "Programs", "TimeCode", "StartGain", "End Gain".
        for (const auto& [id, item] : {std::pair{COM_ANLYS_DOLBY_OVERVIEW, 2}, std::pair{COM_ANLYS_DOLBY_OVERVIEW, 10},
                                       std::pair{COM_ANLYS_DOLBY_PGM_GAINS, 9}, std::pair{COM_ANLYS_DOLBY_PGM_GAINS, 18}})
            EXPECT_TRUE(!Visible(id) || ItemColour(id, item) == 0xAFAFAFu) << when << ": label " << Item(id, item);
    };
    auto labelsShown = [&](const std::string& when) {
        for (const auto& [id, item] : {std::pair{COM_ANLYS_DOLBY_OVERVIEW, 2}, std::pair{COM_ANLYS_DOLBY_OVERVIEW, 10},
                                       std::pair{COM_ANLYS_DOLBY_PGM_GAINS, 9}, std::pair{COM_ANLYS_DOLBY_PGM_GAINS, 18}})
            EXPECT_EQ(ItemColour(id, item), 0u) << when << ": label " << Item(id, item);
    };
    labelsShown("Dolby E");
    // What only an AC-3 stream carries: its metadata rows, data rate and frame size.
    auto ac3Gone = [&](const std::string& when) {
        for (int item : {Row(1), 55, 57})
            EXPECT_TRUE(Gone(COM_ANLYS_DOLBY_D_STATUS, item)) << when << ": AC-3 item " << item;
    };
    // With the AC-3 page's own labels, "Data Rate" and "Pa Spacing".
    auto ac3Shown = [&](const std::string& when) {
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, 55), "448 kbps") << when;
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_D_STATUS, 57), "1536") << when;
        for (int item : {54, 56})
            EXPECT_EQ(ItemColour(COM_ANLYS_DOLBY_D_STATUS, item), 0u) << when << ": " << Item(COM_ANLYS_DOLBY_D_STATUS, item);
    };
    auto kindShown = [&](const std::string& kind) {
        return WaitFor([&] {
            PostTicks(5);
            return Text(COM_ANLYS_DOLBY_D_TYPE) == kind;
        });
    };

    // type, kind text
    for (const auto& [type, kind] : {std::pair{2, "Dolby-D"}, std::pair{3, "Dolby+"}}) {
        Set(COM_GEN_DOLBY_TYPE, type);
        EXPECT_TRUE(kindShown(kind));
        ac3Shown(kind);
        dolbyEGone(kind);

        Set(COM_GEN_DOLBY_TYPE, 0);
        EXPECT_TRUE(WaitFor([&] {
            PostTicks(5);
            return dolbyEShown();
        })) << "back from " << kind;
        ac3Gone(std::string("back from ") + kind);
        labelsShown(std::string("back from ") + kind);
    }

    // Losing the input from each kind of stream, and its return.
    for (const auto& [type, kind] : {std::pair{0, "Dolby-E"}, std::pair{2, "Dolby-D"}}) {
        Set(COM_GEN_DOLBY_TYPE, type);
        EXPECT_TRUE(kindShown(kind));
        Console("inputstd -1");
        Update();
        EXPECT_EQ(Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION), "<NO Dolby data!>");
        EXPECT_EQ(Text(COM_ANLYS_DOLBY_D_TYPE), "PCM") << "lost from " << kind;
        dolbyEGone(std::string("lost from ") + kind);
        ac3Gone(std::string("lost from ") + kind);
        Console("inputstd 0");
        Update();
        EXPECT_EQ(Text(COM_ANLYS_DOLBY_D_TYPE), kind) << "back";
    }
    ac3Shown("Dolby-D back after a loss");
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, ThePageShowsTheStreamThatPlaysNotTheSettingsAskedFor)
{
    // Two Dolby-D streams (none for AC-3 mode 2/0 at 448k), and the Dolby E
    // stream of configuration 0 but none of 11.
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}}, {"D/Tones/Dolby3_2L_448k", "D/Tones/Dolby2_0_640k"}));
    Console("inputstd 0");
    Update();
    EXPECT_EQ(Text(COM_ANLYS_DOLBY_D_TYPE), "PCM") << "no stream plays yet";
    EXPECT_TRUE(TextGone(COM_ANLYS_DOLBY_PGM_DESCRIPTION)) << Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION);
    Set(COM_GEN_DOLBY_D_MODE, 7);
    Set(COM_GEN_DOLBY_D_RATE, 11);
    auto dolbyDShown = [&] {
        return Text(COM_ANLYS_DOLBY_D_TYPE) == "Dolby-D" && Item(COM_ANLYS_DOLBY_D_STATUS, Row(1)) == "3/2" &&
               Item(COM_ANLYS_DOLBY_D_STATUS, 55) == "448 kbps" && Gone(COM_ANLYS_DOLBY_PGM_CONFIG, 1) &&
               TextGone(COM_ANLYS_DOLBY_PGM_DESCRIPTION);
    };
    auto playDolbyD = [&] {
        Set(COM_GEN_DOLBY_TYPE, 2);
        return WaitFor([&] {
            PostTicks(5);
            return dolbyDShown();
        });
    };
    // Nothing the Dolby-D stream's bytes would read as in a Dolby E overview.
    auto noFalseEvents = [&](int first) {
        for (const std::string& e : EventsFrom(first)) {
            EXPECT_EQ(e.find("???"), std::string::npos) << e;
            EXPECT_FALSE(e.size() >= 4 && e.compare(e.size() - 4, 4, " Res") == 0) << e;
        }
    };
    ASSERT_TRUE(playDolbyD());

    // The Dolby E stream plays a task period or two after the type changes;
    // tick by tick, the page shows the Dolby-D stream until then.
    int first = EventCount();
    Set(COM_GEN_DOLBY_TYPE, 0);
    bool early = false;
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(1);
        if (Text(COM_ANLYS_DOLBY_D_TYPE) == "Dolby-E")
            return true;
        early = !dolbyDShown();
        return early;
    }));
    EXPECT_FALSE(early) << Text(COM_ANLYS_DOLBY_D_TYPE) << " before the Dolby E stream plays";
    EXPECT_EQ(Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "5.1+2");
    noFalseEvents(first);

    // Configuration 11 has no stream: the generator goes on with the Dolby-D one.
    auto notLoaded = [&](const std::string& path, int from) {
        const bool logged = WaitFor([&] {
            PostTicks(5);
            const std::vector<std::string> events = EventsFrom(from);
            return std::find(events.begin(), events.end(), "Dolby stream not loaded: " + path) != events.end();
        });
        for (int i = 0; i < 3; ++i)
            Update();
        return logged;
    };
    ASSERT_TRUE(playDolbyD());
    Set(COM_GEN_DOLBY_PGM_CONFIG, 11);
    first = EventCount();
    Set(COM_GEN_DOLBY_TYPE, 0);
    EXPECT_TRUE(notLoaded("dolby/E/Tones/Dolby5.1_16_25.dlb", first));
    EXPECT_TRUE(dolbyDShown()) << Text(COM_ANLYS_DOLBY_D_TYPE);
    noFalseEvents(first);

    // An AC-3 mode without a stream: the mode and rate of the one that plays.
    ASSERT_TRUE(playDolbyD());
    first = EventCount();
    Set(COM_GEN_DOLBY_D_MODE, 2);
    EXPECT_TRUE(notLoaded("dolby/D/Tones/Dolby2_0_448k.dlb", first));
    EXPECT_TRUE(dolbyDShown()) << Item(COM_ANLYS_DOLBY_D_STATUS, Row(1)) << " " << Item(COM_ANLYS_DOLBY_D_STATUS, 55);
    // A rate with a stream: tick by tick, its mode and rate come together once it plays.
    Set(COM_GEN_DOLBY_D_RATE, 14);
    std::string mode, rate;
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(1);
        mode = Item(COM_ANLYS_DOLBY_D_STATUS, Row(1));
        rate = Item(COM_ANLYS_DOLBY_D_STATUS, 55);
        return !(mode == "3/2" && rate == "448 kbps");
    }));
    EXPECT_EQ(mode + " " + rate, "2/0 640 kbps");
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, AProgrammeTheStreamDoesNotCarryHasNoDescription)
{
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}, {"5.1_16_25", Stream(11)}}));
    Console("inputstd 0");
    auto configShown = [&](const std::string& name) {
        return WaitFor([&] {
            PostTicks(5);
            return Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1) == name;
        });
    };
    ASSERT_TRUE(configShown("5.1+2"));
    // The second programme's description, on the page's view of programme 2.
    Set(COM_GEN_DOLBY_PGM_SOURCE, 1);
    ASSERT_EQ(client.Request(StoreType::kSetText, COM_GEN_DOLBY_PGM_DESCRIPTION, 0, 0, "Second programme").header.type,
              ReplyType::kOk);
    Set(COM_ANLYS_DOLBY_PGM_SOURCE, 1);
    auto described = [&] {
        return Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == "Second programme" && Colour(COM_ANLYS_DOLBY_PGM_DESCRIPTION) == 0u;
    };
    ASSERT_TRUE(WaitFor([&] {
        PostTicks(5);
        return described();
    }));

    // A stream of one programme, also after a loss and the input's return.
    Set(COM_GEN_DOLBY_PGM_CONFIG, 11);
    ASSERT_TRUE(configShown("5.1"));
    EXPECT_TRUE(TextGone(COM_ANLYS_DOLBY_PGM_DESCRIPTION)) << Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION);
    Console("inputstd -1");
    Update();
    ASSERT_EQ(Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION), "<NO Dolby data!>");
    Console("inputstd 0");
    Update();
    ASSERT_EQ(Item(COM_ANLYS_DOLBY_PGM_CONFIG, 1), "5.1");
    EXPECT_TRUE(TextGone(COM_ANLYS_DOLBY_PGM_DESCRIPTION)) << Text(COM_ANLYS_DOLBY_PGM_DESCRIPTION);

    // Two programmes again.
    Set(COM_GEN_DOLBY_PGM_CONFIG, 0);
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(5);
        return described();
    }));
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, ThePageMeasuresTheLineTheGeneratorSetAbsoluteAndRelative)
{
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}}));
    // A Dolby E stream plays: the relative line counts from its ideal line.
    Console("inputstd 0");
    ASSERT_TRUE(WaitFor([&] {
        PostTicks(5);
        return Text(COM_ANLYS_DOLBY_D_TYPE) == "Dolby-E";
    }));
    // standard, its line window: minimum, low, ideal, high, maximum
    struct Window { int standard, minimum, low, ideal, high, maximum; };
    for (const Window& w : {Window{0, 8, 11, 12, 13, 30}, Window{11, 13, 19, 21, 23, 53},
                            Window{10, 18, 21, 24, 26, 48}}) {
        Console("inputstd " + std::to_string(w.standard));
        Set(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
        Set(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 0);
        auto colourOf = [&](int line) {
            return line >= w.low && line <= w.high ? 0u : line >= w.minimum && line <= w.maximum ? 0x004000u : 0xFF0000u;
        };
        for (int line = w.minimum - 1; line <= w.maximum + 1; ++line) {
            Set(COM_GEN_DOLBY_LINES, line);
            Update();
            EXPECT_EQ(Text(COM_ANLYS_DOLBY_LINES), "Line  " + std::to_string(line)) << "standard " << w.standard;
            EXPECT_EQ(Colour(COM_ANLYS_DOLBY_LINES), colourOf(line)) << "standard " << w.standard << " line " << line;
        }
        // Both pages relative to the ideal line: the generator's value comes back.
        Set(COM_GEN_DOLBY_RELATIVE_NOMINAL, 1);
        Set(COM_ANLYS_DOLBY_RELATIVE_NOMINAL, 1);
        for (int line = w.minimum; line <= w.maximum; ++line) {
            const int relative = line - w.ideal;
            Set(COM_GEN_DOLBY_LINES, relative);
            Update();
            const std::string shown = (relative > 0 ? "Line +" : "Line  ") + std::to_string(relative);
            EXPECT_EQ(Text(COM_ANLYS_DOLBY_LINES), shown) << "standard " << w.standard;
            EXPECT_EQ(Colour(COM_ANLYS_DOLBY_LINES), colourOf(line)) << "standard " << w.standard << " line " << line;
        }
    }
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, TheInputStandardChoosesTheStreamRate)
{
    DlbStream at29 = Stream(0);
    at29.startGain.fill(896);
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}, {"5.1_2_16_29", at29}}));
    Console("inputstd 0");
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(5);
        return Item(COM_ANLYS_DOLBY_PGM_GAINS, 10) == "  0.0dB";
    }));
    // 1080i59.94: the generator's output, and so its stream, is at 29.97 frames a second.
    Console("inputstd 10");
    EXPECT_TRUE(WaitFor([&] {
        PostTicks(5);
        return Item(COM_ANLYS_DOLBY_PGM_GAINS, 10) == " -6.0dB";
    }));
    EXPECT_TRUE(StopApp());
}

TEST_F(DolbyStatusOverTcp, AFrameRateAboveFiveIsReservedAndReadsZero)
{
    ASSERT_TRUE(Start({{"5.1_2_16_25", Stream(0)}}));
    Console("inputstd 0");
    // The stream's frame rates are 25 (code 3).
    ASSERT_TRUE(WaitFor([&] {
        PostTicks(5);
        return Item(COM_ANLYS_DOLBY_OVERVIEW, 1) == "25" && Item(COM_ANLYS_DOLBY_OVERVIEW, 5) == "25";
    }));
    // command, its item on the overview of the received stream
    for (const auto& [id, item] : {std::pair{COM_GEN_DOLBY_FRAME_RATE, 1}, std::pair{COM_GEN_DOLBY_ORIG_RATE, 5}}) {
        Set(id, 4);
        Update();
        EXPECT_EQ(Value(id), 4);
        EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, item), "29.97");
        for (int32_t reserved : {6, 9, 15, -1}) {
            Set(id, reserved);
            Update();
            EXPECT_EQ(Value(id), 0) << id << " set to " << reserved;
            EXPECT_EQ(Item(id, Value(id)), "res") << "the text shown";
            EXPECT_EQ(Item(COM_ANLYS_DOLBY_OVERVIEW, item), "Res") << "the stream carries code 0";
            Set(id, 4);
        }
    }
    EXPECT_TRUE(StopApp());
}
