// The Dolby generator: streams loaded through its thread and task, edits
// written into the stream and read back by the parse, defaulting after the
// question, the start line, the console commands, and a client choosing a
// configuration.
#include "DlbBuilder.h"
#include "FakeAudioHardware.h"
#include "app/AppTest.h"
#include "audio/dolby/TpDolbyGenerator.h"
#include "core/log/TpCommandLine.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "platform/FileSystem.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/widgets/TKrObject.h"

#include <chrono>
#include <thread>

namespace {

class DolbyGenerator : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        ResetDolbyReader();
        SetAudioHardware(&hw);
        ASSERT_TRUE(list.LoadText("text|245|Default?\ntext|246|Sure?\n"
                                  "dialog|CheckDialog\nbutton|Yes|0|action=yes|focus\nbutton|No|0|action=no\nend\n",
                                  "t.dlg"));
        content.AddItem("Tones");
        gen = std::make_unique<TpDolbyGenerator>();
        store.SetLoadState(kLoadNormal);
        MakeFolder("dolby/E/Tones");
    }
    void TearDown() override
    {
        gen.reset();
        SetAudioHardware(nullptr);
        ResetDolbyReader();
        BoardTest::TearDown();
    }
    // Runs the loader task until nothing is pending (at least past the countdown).
    void Pump()
    {
        for (int i = 0; i < 200000; ++i) {
            store.Tick();
            const bool idle = gen->GetLoaderState() == TpDolbyGenerator::kIdle;
            if (idle && i > 15 * (TpDolbyGenerator::kReloadTicks + 2))
                return;
            if (!idle)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        FAIL() << "load never finished";
    }
    std::string WriteStream(const DlbStream& s, const std::string& name)
    {
        const std::string path = "dolby/E/Tones/Dolby" + name + ".dlb";
        WriteText(path, BuildDlb(s));
        return path;
    }
    const uint8_t* Data() const { return gen->Stream().data.get(); }
    uint32_t Bits(uint64_t at, unsigned n) const
    {
        uint32_t v = 0;
        for (unsigned i = 0; i < n; ++i)
            v = v << 1 | ((Data()[(at + i) / 8] >> (7 - (at + i) % 8)) & 1);
        return v;
    }
    DolbyProgramMetadata Read(int program)
    {
        SetDolbyInspectedProgram(program);
        DolbyProgramMetadata m;
        EXPECT_EQ(ReadProgramMetadata(m), 1);
        return m;
    }

    int Count(const std::string& what) const
    {
        const std::string text = debug->Text();
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

    FakeAudioHardware hw;
    TpCommandLine console;
    TpStore store;
    TpLogger logger;
    TpDialogList list;
    TpCommand content{COM_GEN_DOLBY_NAME, kKeepsValue};
    std::unique_ptr<TpDolbyGenerator> gen;
};

} // namespace

TEST_F(DolbyGenerator, EditsAreWrittenIntoTheStreamAndReadBack)
{
    DlbStream s;   // config 11, one programme
    s.frameRateCode = 3;
    s.otherSegmentBits = 40;   // stepped over: the block starts at bit 432 + 16 + 40 + 16
    WriteStream(s, "5.1_16_25");
    store.SetValue(COM_GEN_DOLBY_PGM_CONFIG, 11);
    Pump();
    ASSERT_EQ(gen->LoadedName(), "dolby/E/Tones/Dolby5.1_16_25.dlb");
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_FRAME_RATE), 3) << "the frame rate is read back";

    // Every field's bits: id, first bit, width, value set, code written.
    constexpr int kBlock = 504;
    struct Field { unsigned id; int bit, width; int32_t value; uint32_t code; };
    const Field fields[] = {
        {COM_GEN_DOLBY_FRAME_RATE, 5 * 16 + 20, 4, 4, 4}, {COM_GEN_DOLBY_ORIG_RATE, 5 * 16 + 24, 4, 2, 2},
        {COM_GEN_DOLBY_BS_MOD, kBlock + 5, 3, 5, 5},       {COM_GEN_DOLBY_CHAN_MODE, kBlock + 8, 3, 6, 6},
        {COM_GEN_DOLBY_CTR_DOWN_MIX, kBlock + 11, 2, 2, 2}, {COM_GEN_DOLBY_SUR_DOWN_MIX, kBlock + 13, 2, 3, 3},
        {COM_GEN_DOLBY_DOLBY_SURROUND, kBlock + 15, 2, 2, 2}, {COM_GEN_DOLBY_LFE, kBlock + 17, 1, 1, 1},
        {COM_GEN_DOLBY_DIALOG_NORM, kBlock + 18, 5, -20, 20}, {COM_GEN_DOLBY_MIX_LEVEL, kBlock + 33, 5, 25, 25},
        {COM_GEN_DOLBY_ROOM_TYPE, kBlock + 38, 2, 1, 1},     {COM_GEN_DOLBY_COPYRIGHT, kBlock + 40, 1, 1, 1},
        {COM_GEN_DOLBY_ORIG_STREAM, kBlock + 41, 1, 1, 1},   {COM_GEN_DOLBY_DOWN_MIX_MODE, kBlock + 43, 2, 2, 2},
        {COM_GEN_DOLBY_LR_CTR_DOWN_MIX, kBlock + 45, 3, 3, 3}, {COM_GEN_DOLBY_LR_SUR_DOWN_MIX, kBlock + 48, 3, 4, 4},
        {COM_GEN_DOLBY_LRO_CTR_DOWN_MIX, kBlock + 51, 3, 5, 5}, {COM_GEN_DOLBY_LRO_SUR_DOWN_MIX, kBlock + 54, 3, 6, 6},
        {COM_GEN_DOLBY_DOLBY_SURND_EX, kBlock + 58, 2, 2, 2}, {COM_GEN_DOLBY_HPF, kBlock + 72, 1, 1, 1},
        {COM_GEN_DOLBY_LPF, kBlock + 73, 1, 1, 1},           {COM_GEN_DOLBY_LFE_FILTER, kBlock + 74, 1, 1, 1},
        {COM_GEN_DOLBY_PHASE_FILTER, kBlock + 75, 1, 1, 1},  {COM_GEN_DOLBY_SUR_3DB_ATT, kBlock + 76, 1, 1, 1},
        {COM_GEN_DOLBY_RF_OV_PROT, kBlock + 77, 1, 1, 1},    {COM_GEN_DOLBY_RF_MODE, kBlock + 79, 8, 0xA5, 0xA5},
        {COM_GEN_DOLBY_LINE_MODE, kBlock + 88, 8, 0x5A, 0x5A},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.id);
        const std::vector<uint8_t> before(Data(), Data() + gen->Stream().dataSize);
        store.SetValue(f.id, f.value);
        EXPECT_EQ(Bits(f.bit, f.width), f.code);
        // No other bit moves.
        for (uint64_t bit = 0; bit < before.size() * 8; ++bit) {
            const bool inField = bit >= uint64_t(f.bit) && bit < uint64_t(f.bit + f.width);
            ASSERT_TRUE(inField || ((before[bit / 8] >> (7 - bit % 8)) & 1u) == Bits(bit, 1)) << "bit " << bit;
        }
    }
    EXPECT_EQ(Read(0).dialogNorm, 20);
    EXPECT_EQ(Read(0).loRoSurroundMixLevel, 6);
    EXPECT_EQ(Read(0).dynamicRange[0], 0x5A);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_DIALOG_NORM + 1), -20) << "kept as programme 1's";

    // With the key word the frame-rate fields move by one word.
    s.key = true;
    WriteStream(s, "5.1_16_25");
    console.RunLine("paspacing 1500");
    Pump();
    store.SetValue(COM_GEN_DOLBY_FRAME_RATE, 5);
    EXPECT_EQ(Bits(6 * 16 + 20, 4), 5u);
    DolbyEStatus status;
    ASSERT_EQ(GetDolbyEStatus(status), 1);
    EXPECT_EQ(status.frameRateCode, 5);
}

TEST_F(DolbyGenerator, ProgrammesAreClampedAndDescriptionsCut)
{
    DlbStream s{1};   // three programmes
    WriteStream(s, "5.1_2x1_16_25");
    store.SetValue(COM_GEN_DOLBY_PGM_CONFIG, 1);
    Pump();
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_CHAN_MODE + 1), 7);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_CHAN_MODE + 2), 1) << "each programme gets its configuration's mode";
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_PGM_SOURCE), 0);
    // Of the modes a programme can take, only its configuration's is not marked red on white.
    TpCommand modes(COM_GEN_DOLBY_CHAN_MODE, kKeepsValue);
    for (int i = 0; i < 8; ++i)
        modes.AddItem(std::to_string(i));
    auto marked = [&](int item) { return modes.GetColour(item) == 0xFF0000u && modes.GetBackColour(item) == 0xFFFFFFu; };
    store.SetValue(COM_GEN_DOLBY_PGM_SOURCE, 1);
    EXPECT_TRUE(!marked(1) && marked(7) && marked(0));
    store.SetValue(COM_GEN_DOLBY_PGM_SOURCE, 0);
    EXPECT_TRUE(!marked(7) && marked(1));
    store.SetValue(COM_GEN_DOLBY_CHAN_MODE, 3);
    EXPECT_EQ(modes.GetColour(), 0xFF0000u);
    store.SetValue(COM_GEN_DOLBY_CHAN_MODE, 7);
    EXPECT_EQ(modes.GetColour(), 0u);
    store.SetValue(COM_GEN_DOLBY_PGM_SOURCE, 5);
    EXPECT_TRUE(debug->Contains("ERROR: Invalid Program selected: 5 (Max=3)\n"));
    store.SetValue(COM_GEN_DOLBY_DIALOG_NORM, -9);
    EXPECT_EQ(Read(2).dialogNorm, 9);
    EXPECT_EQ(Read(0).dialogNorm, 0);
    store.SetText(COM_GEN_DOLBY_PGM_DESCRIPTION, std::string(40, 'x'));
    EXPECT_EQ(store.GetCmdText(COM_GEN_DOLBY_PGM_DESCRIPTION), std::string(30, 'x'));
    EXPECT_EQ(Read(2).description, std::string(30, 'x'));
}

TEST_F(DolbyGenerator, DefaultsAfterConfirmation)
{
    store.DefineEntry(COM_GEN_DOLBY_DIALOG_NORM, kStoreValue, kStoreSystem, -27);
    // With no stream loaded the stored programmes are defaulted too, so the
    // next stream takes the defaults.
    Pump();
    store.SetValue(COM_GEN_DOLBY_DIALOG_NORM, -3);
    store.SetValue(COM_GEN_DOLBY_DIALOG_NORM + 2, -5);
    store.SetValue(COM_GEN_DOLBY_DEFAULT, 1);
    list.RouteKey(kKeyOk | kKeyPressFlag);
    WriteStream(DlbStream{0}, "5.1_2_16_25");
    console.RunLine("paspacing 1500");
    Pump();
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(Read(p).dialogNorm, 27) << p;
        EXPECT_EQ(std::string(Read(p).description), "Program " + std::to_string(p + 1) + " Description");
    }
    store.SetValue(COM_GEN_DOLBY_DIALOG_NORM, -3);
    store.SetValue(COM_GEN_DOLBY_DEFAULT, 1);
    EXPECT_EQ(Read(0).dialogNorm, 3) << "nothing before the answer";
    ASSERT_NE(TopWindow(), nullptr);
    list.RouteKey(kKeyOk | kKeyPressFlag);
    EXPECT_EQ(Read(0).dialogNorm, 27);
    EXPECT_EQ(store.GetCmdText(COM_GEN_DOLBY_PGM_DESCRIPTION), "Program 1 Description");
}

TEST_F(DolbyGenerator, LoadsOnlyTheLastNameAndReportsAMissingFileOnce)
{
    Pump();   // the start-up stream is missing too
    logger.Update();
    logger.Clear();
    debug->Clear();
    store.SetValue(COM_GEN_DOLBY_PGM_CONFIG, 5);
    store.SetValue(COM_GEN_DOLBY_PGM_CONFIG, 19);
    Pump();
    EXPECT_EQ(Count("Loading Dolby file"), 1);
    EXPECT_TRUE(debug->Contains("Loading Dolby file dolby/E/Tones/Dolby2_2_16_25.dlb...\n"));
    EXPECT_TRUE(debug->Contains("Couldn't load Dolby file dolby/E/Tones/Dolby2_2_16_25.dlb\n"));
    logger.Update();
    EXPECT_EQ(logger.EntryCount(), 1);
    Pump();
    EXPECT_EQ(Count("Loading Dolby file"), 1) << "no retry until a setting changes";
}

TEST_F(DolbyGenerator, StartLineFollowsTheVideoFormat)
{
    struct Case {
        int standard, levelB, line, relative, shown, offset, lines;
        uint32_t colour;
    };
    // standard, level B, line, relative, shown, register offset, register lines, colour
    const Case cases[] = {
        {0, 0, 12, 0, 12, 625, 625, 0},    {0, 0, 10, 0, 10, 623, 625, 0x004000},
        {0, 0, 31, 0, 31, 19, 625, 0xFF0000}, {0, 0, 9999, 0, 625, 613, 625, 0xFF0000},
        {0, 0, -9999, 0, 1, 614, 625, 0xFF0000}, {0, 0, 8888, 0, 12, 625, 625, 0},
        {0, 0, 8888, 1, 0, 625, 625, 0},   {11, 0, 2, 1, 2, 2, 1125, 0},
        {6, 1, 51, 0, 51, 2, 562, 0},      {22, 0, 800, 0, 1, 719, 750, 0xFF0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.standard * 100000 + c.line);
        store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, c.relative);
        store.SetValue(COM_GEN_DOLBY_LINES, c.line);
        hw.calls.clear();
        gen->SetVideoFormat(VideoFormat{c.standard, 0, static_cast<uint32_t>(c.levelB)});
        EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_LINES), c.shown);
        EXPECT_EQ(gen->GetColour(), 0u);
        EXPECT_EQ(store.GetCmd(COM_GEN_DOLBY_LINES)->GetColour(), c.colour);
        EXPECT_EQ(hw.CallsOf("DolbyLine").back(),
                  "DolbyLine(" + std::to_string(c.offset) + "," + std::to_string(c.lines) + ")");
    }
    // Relative toggling keeps the absolute line.
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
    gen->SetVideoFormat(VideoFormat{0});
    store.SetValue(COM_GEN_DOLBY_LINES, 14);
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 1);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_LINES), 2);
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_LINES), 14);
    // A recalled relative line (2 after 12) still turns absolute (14).
    for (unsigned id : {COM_GEN_DOLBY_LINES, COM_GEN_DOLBY_RELATIVE_NOMINAL})
        store.DefineEntry(id, kStoreValue, kStoreMemory, 0);
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 1);
    const TpMemory memory = store.CaptureMemory(1, "relative");
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
    store.RecallMemory(memory);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_LINES), 2);
    store.SetValue(COM_GEN_DOLBY_RELATIVE_NOMINAL, 0);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_LINES), 14);
    EXPECT_EQ(hw.CallsOf("DolbyLine").back(), "DolbyLine(2,625)");
    for (auto [standard, suffix] : {std::pair{1, "_29"}, {2, "_30"}, {15, "_24"}, {16, "_23"}, {8, "_25"}, {47, "_25"}}) {
        gen->SetVideoFormat(VideoFormat{standard});
        EXPECT_EQ(gen->RateSuffix(), suffix) << standard;
    }
}

TEST_F(DolbyGenerator, ConsoleCommandsCheckTheirArguments)
{
    console.RunLine("paspacing 1399");
    EXPECT_TRUE(debug->Contains("PaSpacing value 1400-1600"));
    EXPECT_TRUE(hw.CallsOf("DolbySpacing").empty());
    console.RunLine("dumpdolby");
    EXPECT_TRUE(debug->Contains("Start=0 WordCount=200\n"));
    EXPECT_TRUE(debug->Contains("\n 190:     0 "));
    debug->Clear();
    console.RunLine("dumpdolby -4 10");
    console.RunLine("dumpdolby 0 -1");
    EXPECT_FALSE(debug->Contains("Start="));
    console.RunLine("dumpdolby 1048574 100");
    EXPECT_TRUE(debug->Contains("Start=1048572 WordCount=4\n"));
}

TEST_F(DolbyGenerator, LoadsRacingEditsStayClean)
{
    WriteStream(DlbStream{0}, "5.1_2_16_25");
    Pump();
    for (int round = 0; round < 30; ++round) {
        console.RunLine("paspacing 1500");
        for (int i = 0; i < 40; ++i) {
            store.SetValue(COM_GEN_DOLBY_DIALOG_NORM, -(round + i) % 31);
            store.Tick();
        }
    }
    Pump();
    store.SetValue(COM_GEN_DOLBY_DIALOG_NORM, -11);
    EXPECT_EQ(Read(0).dialogNorm, 11);
}

namespace {
using DolbyGeneratorInApplication = AppTest;
}

TEST_F(DolbyGeneratorInApplication, ClientSelectsAConfigurationAndReadsTheProgrammeCount)
{
    MakeFolder("dolby/E/Tones");
    WriteText("dolby/E/Tones/Dolby4x1_16_25.dlb", BuildDlb(DlbStream{21}));
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_PGM_CONFIG, 0, 21).answered);
    for (int i = 0; i < 200000; ++i) {
        app->Store().Tick();
        if (TpDolbyGenerator::Instance()->Stream().programCount == 4)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    const Reply r = Request(29, COM_GEN_DOLBY_PGM_SOURCE);
    ASSERT_TRUE(r.answered);
    EXPECT_EQ(r.header.item, 4u) << "programmes 1-4 can be chosen";
}

TEST_F(DolbyGeneratorInApplication, ControlsFollowTheTypeModeAndBitDepth)
{
    TpStore& store = app->Store();
    auto enabled = [&](unsigned id, int item) { return store.GetCmd(id)->GetItemEnabled(item); };
    for (int type : {2, 0}) {
        store.SetValue(COM_GEN_DOLBY_TYPE, type);
        for (unsigned id : {COM_GEN_DOLBY_PGM_CONFIG, COM_GEN_DOLBY_BIT_DEPTH, COM_GEN_DOLBY_LINES,
                            COM_GEN_DOLBY_FRAME_RATE, COM_GEN_DOLBY_ORIG_RATE, COM_GEN_DOLBY_DEFAULT,
                            COM_GEN_DOLBY_PGM_SOURCE, COM_GEN_DOLBY_PGM_DESCRIPTION, COM_GEN_DOLBY_RF_OV_PROT})
            EXPECT_EQ(store.GetCmd(id)->IsVisible(), type == 0) << id;
        EXPECT_EQ(store.GetCmd(COM_GEN_DOLBY_D_MODE)->IsVisible(), type != 0);
        EXPECT_EQ(store.GetCmd(COM_GEN_DOLBY_D_RATE)->IsVisible(), type != 0);
        EXPECT_EQ(enabled(COM_GEN_DOLBY_BIT_DEPTH, 2), type == 0);
    }
    // Eight-channel configurations (0-10, 22, 23) need more than 18 bits.
    for (int depth : {2, 0}) {
        store.SetValue(COM_GEN_DOLBY_BIT_DEPTH, depth);
        for (int row = 0; row < 24; ++row)
            EXPECT_EQ(enabled(COM_GEN_DOLBY_PGM_CONFIG, row), depth == 2 || (row >= 11 && row <= 21)) << row;
    }

    // Lowest data-rate item by AC-3 mode, for Dolby D (modes 0-7) and Dolby D+ (0-14).
    const int lowest[2][15] = {{3, 0, 3, 5, 5, 7, 7, 8}, {1, 0, 1, 3, 3, 5, 5, 6, 15, 15, 15, 15, 15, 15, 15}};
    for (int plus = 0; plus < 2; ++plus) {
        store.SetValue(COM_GEN_DOLBY_TYPE, plus != 0 ? 3 : 2);
        for (int mode = 0; mode < (plus != 0 ? 15 : 8); ++mode) {
            store.SetValue(COM_GEN_DOLBY_D_MODE, mode);
            const int low = lowest[plus][mode], high = mode > 7 ? 16 : 15;
            for (int item = 0; item < 17; ++item)
                EXPECT_EQ(enabled(COM_GEN_DOLBY_D_RATE, item), item >= low && item <= high) << mode << ": " << item;
        }
    }
    store.SetValue(COM_GEN_DOLBY_D_RATE, 0);
    store.SetValue(COM_GEN_DOLBY_D_MODE, 0);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_D_RATE), 1) << "raised to the lowest allowed";
    // Of the dual modes only 3/2+3/1 is Dolby D+'s; Dolby D stops at 3/2.
    EXPECT_TRUE(enabled(COM_GEN_DOLBY_D_MODE, 13) && !enabled(COM_GEN_DOLBY_D_MODE, 12));
    store.SetValue(COM_GEN_DOLBY_D_MODE, 8);
    store.SetValue(COM_GEN_DOLBY_TYPE, 1);
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_D_MODE), 7);
    EXPECT_FALSE(enabled(COM_GEN_DOLBY_D_MODE, 13));
    // A recalled rate below the mode's lowest is raised.
    store.DefineEntry(COM_GEN_DOLBY_D_RATE, kStoreValue, kStoreMemory, 0);
    store.RecallMemory(TpMemory{1, "rate", {{COM_GEN_DOLBY_D_RATE, true, 2, false, ""}}});
    EXPECT_EQ(store.GetValue(COM_GEN_DOLBY_D_RATE), 8);
}

TEST_F(DolbyGeneratorInApplication, FirstLoadsAfterStartAndAfterARecallSetTheConfigurationsModes)
{
    MakeFolder("dolby/E/Tones");
    WriteText("dolby/E/Tones/Dolby4_2x1_16_25.dlb", BuildDlb(DlbStream{13}));
    WriteText("dolby/E/Tones/Dolby5.1_2x1_16_25.dlb", BuildDlb(DlbStream{1}));
    auto load = [&](int config) {
        EXPECT_TRUE(Request(5, COM_GEN_DOLBY_PGM_CONFIG, 0, static_cast<uint32_t>(config)).answered);
        const std::string name = config == 13 ? "Dolby4_2x1_16" : "Dolby5.1_2x1_16";
        TpDolbyGenerator* gen = TpDolbyGenerator::Instance();
        for (int i = 0; i < 200000; ++i) {
            app->Store().Tick();
            if (gen->LoadedName().find(name) != std::string::npos && gen->GetLoaderState() == TpDolbyGenerator::kIdle)
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        app->Store().Tick();
    };
    auto value = [&](unsigned id) { return static_cast<int32_t>(Request(21, static_cast<uint16_t>(id)).header.value); };
    auto modes = [&] {
        return std::vector<int32_t>{value(COM_GEN_DOLBY_CHAN_MODE + 1), value(COM_GEN_DOLBY_CHAN_MODE + 2),
                                    value(COM_GEN_DOLBY_CHAN_MODE + 3)};
    };
    // 4+2x1: programmes of modes 3/1, 1/0 and 1/0, the first one edited.
    load(13);
    EXPECT_EQ(modes(), (std::vector<int32_t>{5, 1, 1}));
    EXPECT_EQ(value(COM_GEN_DOLBY_CHAN_MODE), 5);
    EXPECT_EQ(Request(22, COM_GEN_DOLBY_CHAN_MODE).header.value, 0u) << "the configuration's own mode";

    // A mode of its own for the first programme, then a recall: the next
    // stream still sets every mode.
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_CHAN_MODE, 0, 2).answered);
    EXPECT_EQ(Request(22, COM_GEN_DOLBY_CHAN_MODE).header.value, 0xFF0000u);
    EXPECT_TRUE(Request(5, COM_MEMORY_SEL, 0, 0).answered);
    EXPECT_TRUE(Request(5, COM_MEMORY_SAVE, 0, 1).answered);
    EXPECT_TRUE(Request(5, COM_MEMORY_RECALL, 0, 1).answered);
    load(1);
    EXPECT_EQ(modes(), (std::vector<int32_t>{7, 1, 1}));
    EXPECT_EQ(value(COM_GEN_DOLBY_CHAN_MODE), 7);
    EXPECT_EQ(Request(22, COM_GEN_DOLBY_CHAN_MODE).header.value, 0u);
}

TEST_F(DolbyGeneratorInApplication, TheDolbyPageShowsAndEditsEveryProgrammesMetadataWithTheKeys)
{
    MakeFolder("dolby/E/Tones");
    WriteText("dolby/E/Tones/Dolby5.1_2x1_16_25.dlb", BuildDlb(DlbStream{1}));
    EXPECT_TRUE(Request(5, COM_GEN_DOLBY_PGM_CONFIG, 0, 1).answered);
    for (int i = 0; i < 200000 && TpDolbyGenerator::Instance()->Stream().programCount != 3; ++i) {
        app->Store().Tick();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    app->Store().Tick();
    auto press = [&](uint16_t key, int times = 1) { PressKey(key, times); };
    auto focused = [&] { return FocusedOnMain(); };
    auto value = [&](unsigned id) { return static_cast<int32_t>(Request(21, static_cast<uint16_t>(id)).header.value); };
    // Generator, then its Dolby page.
    press(kKeyRight);
    press(kKeyDown);
    press(kKeyRight, 5);
    std::vector<std::string> path;
    for (press(kKeyDown); focused() != "Menu" && path.size() < 60; press(kKeyDown))
        path.push_back(focused());
    const std::vector<std::string> expected = {
        "Dolby Type", "Config", "Bit Depth", "Content", "Start Line", "Relative", "Frame Rate", "Orig Rate",
        "Default All", "Info", "Program", "Description", "DialNorm", "Chan Mode", "BS Mode", "Line Mode",
        "RF Mode", "Ctr Mix", "Sur Mix", "Room", "Dolby Sur", "Mix Level", "Downmix", "LtRt Ctr", "LoRo Ctr",
        "LoRo Sur", "LtRt Sur", "Sur EX", "LFE", "BW LPF", "LFE LPF", "HPF", "Sur Att", "90 Phase", "Orig BS",
        "Copyright", "RF Prot"};
    EXPECT_EQ(path, expected);

    // The last control is drawn, focused, at the foot of the screen.
    press(kKeyUp);
    ASSERT_EQ(focused(), "RF Prot");
    int focusPixels = 0;
    for (int y = kLcdHeight - 3 * kRowHeight; y < kLcdHeight; ++y)
        for (int x = 0; x < kLcdWidth; ++x)
            focusPixels += SimLcdFrame().Pixel(x, y) == kColourFocus ? 1 : 0;
    EXPECT_GT(focusPixels, 100);
    press(kKeyOk);
    EXPECT_EQ(value(COM_GEN_DOLBY_RF_OV_PROT), 1);

    // The third programme: a lower dialogue level and a mode its
    // configuration does not give it (marked red); the first keeps its own.
    while (focused() != "Program")
        press(kKeyUp);
    press(kKeyRight, 2);
    EXPECT_EQ(value(COM_GEN_DOLBY_PGM_SOURCE), 2);
    press(kKeyDown, 2);
    ASSERT_EQ(focused(), "DialNorm");
    press(kKeyLeft, 3);
    press(kKeyDown);
    press(kKeyRight);
    EXPECT_EQ(value(COM_GEN_DOLBY_DIALOG_NORM + 3), -3);
    EXPECT_EQ(value(COM_GEN_DOLBY_CHAN_MODE + 3), 2);
    EXPECT_EQ(Request(22, COM_GEN_DOLBY_CHAN_MODE).header.value, 0xFF0000u);
    EXPECT_EQ(value(COM_GEN_DOLBY_DIALOG_NORM + 1), 0);

    // The analyser's Dolby page reads the edits back from the stream: row 0
    // dialogue level, row 1 AC-3 mode, row 26 RF over-modulation protection.
    Request(3, 0, 0, 0, "inputstd 0");
    app->ProcessPending();
    auto analyse = [&] {
        for (int i = 0; i < 10; ++i)
            app->Store().Tick();
    };
    auto shown = [&](int program, int row) {
        EXPECT_TRUE(Request(5, COM_ANLYS_DOLBY_PGM_SOURCE, 0, static_cast<uint32_t>(program)).answered);
        analyse();
        return Request(25, COM_ANLYS_DOLBY_PGM_STATUS, static_cast<uint32_t>(2 * row + 1)).Text();
    };
    EXPECT_EQ(shown(0, 26), "yes");
    EXPECT_EQ(shown(0, 1), "3/2");
    EXPECT_EQ(shown(2, 0), "-3dB");
    EXPECT_EQ(shown(2, 1), "2/0");
    EXPECT_EQ(shown(2, 26), "no");

    // The stream's frame rate, from 25 to 29.97.
    while (focused() != "Frame Rate")
        press(kKeyUp);
    press(kKeyRight);
    EXPECT_EQ(value(COM_GEN_DOLBY_FRAME_RATE), 4);
    analyse();
    EXPECT_EQ(Request(25, COM_ANLYS_DOLBY_OVERVIEW, 1).Text(), "29.97");
}
