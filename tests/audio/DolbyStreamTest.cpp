// Dolby stream files as the generator and the status page meet them: file
// names from the settings, loading built ".dlb" files of every configuration,
// the metadata read back from them, and malformed files that must fail
// cleanly without losing the stream already loaded.
#include "DlbBuilder.h"
#include "KrZuApi.h"
#include "audio/dolby/DolbyBitReader.h"
#include "core/TextTable.h"
#include "core/TpLogger.h"
#include "core/TpStore.h"
#include "platform/FileSystem.h"
#include "support/ZuTest.h"

#include <cstring>
#include <random>

namespace {

class DolbyStream : public ZuTest {
protected:
    void SetUp() override
    {
        ZuTest::SetUp();
        ResetDolbyReader();
        MakeDolbyFolders();
        MakeFolder("dolby/E/Tones");
    }
    void TearDown() override
    {
        ResetDolbyReader();
        ZuTest::TearDown();
    }
    // The request the generator makes for a Dolby E configuration.
    DolbyLoadRequest Request(int config, bool bits20, const char* suffix = "_25")
    {
        DolbyLoadRequest request;
        EXPECT_TRUE(DolbyFileName({0, config, bits20 ? 2 : 0, 0, "", "Tones", suffix}, request));
        return request;
    }
    int Load(const DolbyLoadRequest& request, const std::string& bytes)
    {
        WriteText(request.path, bytes);
        return LoadDolbyFile(request, info);
    }
    DolbyStreamInfo info;
};

TEST_F(DolbyStream, FileNamesFollowTheSettings)
{
    DolbyLoadRequest r;
    ASSERT_TRUE(DolbyFileName({0, 11, 0, 0, "", "X", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/E/X/Dolby5.1_16_25.dlb");
    ASSERT_TRUE(DolbyFileName({0, 23, 2, 0, "", "X", "_29"}, r));
    EXPECT_EQ(r.path, "dolby/E/X/Dolby7.1scr_20_29.dlb");
    ASSERT_TRUE(DolbyFileName({2, 0, 0, 7, "R", "X", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/D/X/Dolby3_2L_R.dlb");
    EXPECT_TRUE(debug->Contains("Dolby D File=dolby/D/X/Dolby3_2L_R\n"));
    ASSERT_TRUE(DolbyFileName({4, 0, 0, 15, "R", "-abc", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/AD_abc/Dolby1_1_R.dlb");
    EXPECT_TRUE(debug->Contains("ERROR: Invalid Ac3Mode 15\n"));
    // Out-of-range type and configuration: the load uses what the name used.
    ASSERT_TRUE(DolbyFileName({7, 30, 0, 0, "", "X", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/E/X/Dolby5.1_2_16_25.dlb");
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.config, 0);
    EXPECT_TRUE(debug->Contains("ERROR DolbyType=7\n") && debug->Contains("ERROR DolbyConfig=30\n"));
    for (const char* bad : {"..", "a/b", "a\\b", "", "Content name far too long for the generator's request path"})
        EXPECT_FALSE(DolbyFileName({0, 0, 0, 0, "", bad, "_25"}, r)) << bad;
    EXPECT_EQ(r.path, "dolby/E/X/Dolby5.1_2_16_25.dlb");
}

TEST_F(DolbyStream, EveryConfigurationLoadsAndReadsBack)
{
    for (int config = 0; config < kDolbyEConfigCount; ++config) {
        for (int variant = 0; variant < 3; ++variant) {
            const DolbyEConfig& row = dolby_e_configs[config];
            DlbStream s;
            s.config = config;
            s.key = variant == 1;
            s.bits20 = variant == 2;
            s.frameRateCode = static_cast<uint16_t>(1 + (config + variant) % 5);
            s.originalFrameRateCode = static_cast<uint16_t>(1 + variant);
            DolbyLoadRequest request = Request(config, s.bits20, "_30");
            for (int c = 0; c < row.channels; ++c) {
                s.startGain[c] = static_cast<uint16_t>(960 - c);
                s.endGain[c] = static_cast<uint16_t>(896 + 3 * c);
            }
            for (int p = 0; p < row.programs; ++p) {
                uint16_t* field = &s.programs[p].dataRate;
                for (int f = 0; f < 35; ++f)   // each field a value of its width
                    field[f] = static_cast<uint16_t>((config * 7 + p * 5 + f) % 2);
                s.programs[p].dialogNorm = static_cast<uint16_t>(p + 20);
                s.programs[p].dynamicRange[3] = static_cast<uint16_t>(200 + p);
                s.secondWords[p] = static_cast<uint16_t>(p);
                request.descriptions[p] = "Programme " + std::to_string(p) + std::string(40, '*');
            }
            SCOPED_TRACE(request.path);
            ASSERT_EQ(Load(request, BuildDlb(s)), 1);
            EXPECT_EQ(info.programCount, row.programs);
            EXPECT_EQ(info.channelCount, row.channels);
            EXPECT_EQ(info.programs[0].firstWord, 1);   // second word 0 adds one
            ParseDolbyMetadata(info);
            SetDolbyReady(1);
            DolbyEStatus status;
            ASSERT_EQ(GetDolbyEStatus(status), 1);
            EXPECT_EQ(status.programConfig, config);
            EXPECT_EQ(status.frameRateCode, s.frameRateCode);
            EXPECT_EQ(status.originalFrameRateCode, s.originalFrameRateCode);
            EXPECT_EQ(status.bitsPerWord, s.bits20 ? 20 : 16);
            EXPECT_EQ(status.startGain, s.startGain);
            EXPECT_EQ(status.endGain, s.endGain);
            for (int p = 0; p < kDolbyMaxPrograms; ++p) {
                SetDolbyInspectedProgram(p);
                DolbyProgramMetadata m;
                ASSERT_EQ(ReadProgramMetadata(m), p < row.programs ? 1 : 0) << p;
                if (p < row.programs) {
                    EXPECT_EQ(std::memcmp(&m, &s.programs[p], offsetof(DolbyProgramMetadata, description)), 0) << p;
                    EXPECT_EQ(m.description, request.descriptions[p].substr(0, 32));
                } else {
                    EXPECT_EQ(m.ac3Mode, kDolbyAbsent);
                }
            }
        }
    }
}

TEST_F(DolbyStream, MalformedFilesFailAndKeepTheLoadedStream)
{
    const DolbyLoadRequest request = Request(11, false);
    const std::string good = BuildDlb(DlbStream{});
    ASSERT_EQ(Load(request, good), 1);
    const auto data = info.data;
    std::string bad = good;
    for (int n : {6, 0x80, 0xFF}) {
        bad[7] = static_cast<char>(n);
        EXPECT_EQ(Load(request, bad), 0) << n;
    }
    for (size_t size : {0, 1, 115}) {
        EXPECT_EQ(Load(request, good.substr(0, size)), 0) << size;
        EXPECT_TRUE(debug->Contains("Couldn't read enough data from Dolby file " + request.path + "\n"));
    }
    ASSERT_TRUE(DeleteFile(request.path) && MakeFolder(request.path));
    EXPECT_EQ(LoadDolbyFile(request, info), 0);
    EXPECT_EQ(LoadDolbyFile(Request(12, false), info), 0);
    EXPECT_TRUE(debug->Contains("Couldn't open Dolby file dolby/E/Tones/Dolby4_2_16_25.dlb\n"));
    EXPECT_EQ(info.data, data);
    EXPECT_EQ(info.programCount, 1);
}

TEST_F(DolbyStream, OddStreamsParseInsideTheirData)
{
    const DolbyLoadRequest request = Request(0, false);
    std::mt19937 random(7);
    std::string randomData(400, '\0');
    for (char& c : randomData)
        c = static_cast<char>(random());
    std::string sizes = BuildDlb({}), start = sizes, empty = sizes.substr(0, 116);
    for (int i = 0; i < 10; ++i)
        PutLe(sizes, 24 + 4 * i, 0xFFFFFFFF, 4);
    PutLe(start, 64, 0xFFFFFFFF, 4);
    PutLe(empty, 24, 100, 4);
    for (const std::string& file : {sizes, start, empty, sizes.substr(0, 116) + randomData,
                                    sizes.substr(0, 116) + std::string(300, '\xFF')}) {
        ASSERT_EQ(Load(request, file), 1);
        ParseDolbyMetadata(info);
        DolbyProgramMetadata m;
        if (ReadProgramMetadata(m) == 0) {
            EXPECT_EQ(m.dialogNorm, kDolbyAbsent);
        }
    }
    EXPECT_EQ(info.dataSize, 300u);
    // A stream without metadata: the previous stream's block is gone with it.
    ASSERT_EQ(Load(request, empty), 1);
    ParseDolbyMetadata(info);
    DolbyProgramMetadata m;
    EXPECT_EQ(ReadProgramMetadata(m), 0);
}

TEST_F(DolbyStream, ReaderReportsStateAndBounds)
{
    DolbyEStatus status;
    EXPECT_EQ(GetDolbyEStatus(status), 0);
    EXPECT_EQ(status.programConfig, kDolbyNotReadyConfig);
    const uint8_t bytes[] = {0xA5, 0x0F};
    DolbyBitReader bits(bytes, sizeof bytes);
    EXPECT_EQ(bits.ReadBits(0), 0u);
    EXPECT_EQ(bits.ReadBits(3), 5u);
    EXPECT_EQ(bits.ReadBits(9), 0x050u);
    EXPECT_FALSE(bits.Overrun());
    EXPECT_EQ(bits.ReadBits(8), 0xF0u);
    EXPECT_TRUE(bits.Overrun());
    bits.SeekBit(0);
    EXPECT_TRUE(bits.Overrun());

    DolbyStreamInfo ac3;
    DolbyLoadRequest request;
    ASSERT_TRUE(DolbyFileName({1, 0, 0, 2, "64k", "Tones", ""}, request));
    ASSERT_TRUE(MakeFolder("dolby/DLeg/Tones"));
    WriteText(request.path, BuildDlb({}));
    request.format.standard = 6;   // 1080p60
    ASSERT_EQ(LoadDolbyFile(request, ac3), 1);
    EXPECT_EQ(ac3.flags, 4u);
    EXPECT_EQ(ac3.programCount, 0);
    EXPECT_EQ(ac3.framePair, 1u);

    std::vector<std::string> texts(234);
    texts[233] = "Dolby stream not loaded:";
    SetTextTable(texts);
    TpStore store;
    TpLogger logger;
    ReportDolbyLoadFailure(request.path);
    ASSERT_EQ(logger.EntryCount(), 1);
    EXPECT_EQ(logger.EntryText(0).substr(0, 2) + logger.EntryText(0).substr(22), "E Dolby stream not loaded: " + request.path);
}

} // namespace
