// Dolby stream files as the generator and the status page meet them: file
// names from the settings, built ".dlb" files of every configuration loaded
// and their metadata read back, and malformed files that fail cleanly without
// losing the stream already loaded.
#include "DlbBuilder.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
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
    DolbyLoadRequest Request(long type, long config, long bitDepth = 0, long mode = 0)
    {
        DolbyLoadRequest request;
        EXPECT_TRUE(DolbyFileName({type, config, bitDepth, mode, "64k", "Tones", "_30"}, request));
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
    ASSERT_TRUE(DolbyFileName({2, 0, 2, 7, "R", "X", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/D/X/Dolby3_2L_R.dlb");
    ASSERT_TRUE(DolbyFileName({4, 0, 0, 15, "R", "-abc", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/AD_abc/Dolby1_1_R.dlb");
    EXPECT_TRUE(debug->Contains("ERROR: Invalid Ac3Mode 15\n"));
    // Out-of-range type and configuration: the load uses what the name used.
    ASSERT_TRUE(DolbyFileName({7, 30, 2, 0, "", "X", "_25"}, r));
    EXPECT_EQ(r.path, "dolby/E/X/Dolby5.1_2_20_25.dlb");
    EXPECT_TRUE(r.type == 0 && r.config == 0);
    EXPECT_TRUE(debug->Contains("ERROR DolbyType=7\n") && debug->Contains("ERROR DolbyConfig=30\n"));
    for (const char* bad : {"..", "a/b", "a\\b", "", "Content name far too long for the generator's request path"})
        EXPECT_FALSE(DolbyFileName({0, 0, 0, 0, "", bad, "_25"}, r)) << bad;
    EXPECT_EQ(r.path, "dolby/E/X/Dolby5.1_2_20_25.dlb");
}

TEST_F(DolbyStream, EveryConfigurationLoadsAndReadsBack)
{
    DolbyEStatus status;
    EXPECT_EQ(GetDolbyEStatus(status), 0);
    EXPECT_EQ(status.programConfig, kDolbyNotReadyConfig);
    for (int config = 0; config < 24; ++config) {
        for (int variant = 0; variant < 3; ++variant) {
            const DlbConfigCounts& row = kDlbConfigs[config];
            DlbStream s{config, variant == 1, variant == 2, uint16_t(1 + (config + variant) % 5), uint16_t(variant)};
            DolbyLoadRequest request = Request(0, config, s.bits20 ? 2 : 0);
            for (int c = 0; c < row.channels; ++c) {
                s.startGain[c] = uint16_t(960 - c);
                s.endGain[c] = uint16_t(896 + 3 * c);
            }
            for (int p = 0; p < row.programs; ++p) {
                uint16_t* field = &s.programs[p].dataRate;
                for (int f = 0; f < 35; ++f)   // 0 or 1 fits every field
                    field[f] = uint16_t((config + p + f) % 2);
                s.programs[p].dialogNorm = uint16_t(p + 20);
                s.programs[p].dynamicRange[3] = uint16_t(200 + p);
                s.secondWords[p] = uint16_t(p);
                request.descriptions[p] = "Programme " + std::to_string(p) + std::string(40, '*');
            }
            SCOPED_TRACE(request.path);
            ASSERT_EQ(Load(request, BuildDlb(s)), 1);
            EXPECT_EQ(info.programCount, row.programs);
            EXPECT_EQ(info.channelCount, row.channels);
            EXPECT_EQ(info.programs[0].firstWord, 1);   // second word 0 adds one
            ParseDolbyMetadata(info);
            SetDolbyReady(1);
            ASSERT_EQ(GetDolbyEStatus(status), 1);
            EXPECT_TRUE(status.programConfig == config && status.bitsPerWord == (s.bits20 ? 20 : 16));
            EXPECT_EQ(status.frameRateCode, s.frameRateCode);
            EXPECT_EQ(status.originalFrameRateCode, s.originalFrameRateCode);
            EXPECT_TRUE(status.startGain == s.startGain && status.endGain == s.endGain);
            for (int p = 0; p < kDolbyMaxPrograms; ++p) {
                SetDolbyInspectedProgram(p);
                DolbyProgramMetadata m;
                ASSERT_EQ(ReadProgramMetadata(m), p < row.programs ? 1 : 0) << p;
                if (p < row.programs) {
                    EXPECT_EQ(std::memcmp(&m, &s.programs[p], offsetof(DolbyProgramMetadata, description)), 0) << p;
                    EXPECT_EQ(m.description, request.descriptions[p].substr(0, 32));
                }
            }
        }
    }
}

TEST_F(DolbyStream, MalformedFilesFailAndKeepTheLoadedStream)
{
    const DolbyLoadRequest request = Request(0, 0);
    const std::string good = BuildDlb(DlbStream{0});
    ASSERT_EQ(Load(request, good), 1);
    const auto data = info.data;
    std::string bad = good;
    for (int n : {6, 0x80, 0xFF}) {
        bad[7] = char(n);
        EXPECT_EQ(Load(request, bad), 0) << n;
    }
    for (size_t size : {0, 115})
        EXPECT_EQ(Load(request, good.substr(0, size)), 0) << size;
    EXPECT_TRUE(debug->Contains("Couldn't read enough data from Dolby file " + request.path + "\n"));
    ASSERT_TRUE(DeleteFile(request.path) && MakeFolder(request.path));
    EXPECT_EQ(LoadDolbyFile(request, info), 0);
    EXPECT_EQ(LoadDolbyFile(Request(0, 12), info), 0);
    EXPECT_TRUE(debug->Contains("Couldn't open Dolby file dolby/E/Tones/Dolby4_2_16_30.dlb\n"));
    EXPECT_TRUE(info.data == data && info.programCount == 2);

    // Streams that load but whose metadata lies outside the data: absent.
    std::string sizes = good, start = good, empty = good.substr(0, 116), noise(400, '\0');
    for (int i = 0; i < 10; ++i)
        PutLe(sizes, 24 + 4 * i, 0xFFFFFFFF, 4);
    PutLe(start, 64, 0xFFFFFFFF, 4);
    PutLe(empty, 24, 100, 4);
    std::mt19937 random(7);
    for (char& c : noise)
        c = char(random());
    const DolbyLoadRequest odd = Request(0, 0, 2);
    for (const std::string& file : {sizes, start, empty, empty + noise, empty + std::string(300, '\xFF')}) {
        ASSERT_EQ(Load(odd, file), 1);
        ParseDolbyMetadata(info);
        DolbyProgramMetadata m;
        if (ReadProgramMetadata(m) == 0) {
            EXPECT_EQ(m.dialogNorm, kDolbyAbsent);
        }
    }
    ASSERT_EQ(Load(odd, empty), 1);
    ParseDolbyMetadata(info);
    DolbyProgramMetadata m;
    EXPECT_EQ(ReadProgramMetadata(m), 0);
}

TEST_F(DolbyStream, Ac3StreamsLoadWithoutProgrammesAndFailuresAreLogged)
{
    DolbyLoadRequest request = Request(1, 0, 0, 2);
    ASSERT_TRUE(MakeFolder("dolby/DLeg/Tones"));
    request.format.standard = 6;   // 1080p60: frame pairs
    ASSERT_EQ(Load(request, BuildDlb({})), 1);
    EXPECT_TRUE(info.flags == 4 && info.programCount == 0 && info.framePair == 1);

    std::vector<std::string> texts(234);
    texts[233] = "Dolby stream not loaded:";
    SetTextTable(texts);
    TpStore store;
    TpLogger logger;
    ReportDolbyLoadFailure(request.path);
    ASSERT_EQ(logger.EntryCount(), 1);
    EXPECT_EQ(logger.EntryText(0).substr(0, 2) + logger.EntryText(0).substr(22),
              "E Dolby stream not loaded: " + request.path);
}

} // namespace
