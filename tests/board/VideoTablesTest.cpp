// The video tables: spot rows against the published rasters, every row's
// sample clock, the lookups' bounds and the format operations.
#include "BoardTest.h"

#include "board/VideoFormat.h"
#include "board/VideoTables.h"

#include <cmath>
#include <string>

namespace {

class VideoTables : public BoardTest {};

VideoFormat Format(int standard)
{
    VideoFormat f;
    f.standard = standard;
    return f;
}

int IndexOf(const std::string& name)
{
    for (int i = 0; i < kVideoStdCount; ++i)
        if (name == video_std_table[i].name)
            return i;
    return -1;
}

// Total samples of a second: lines x samples per line x frames per second.
double SampleClock(uint16_t lines, uint16_t samples, int rateCode)
{
    const FrameRateRow* rate = FrameRateAt(rateCode);
    return static_cast<double>(lines) * samples * rate->numerator / rate->denominator;
}

} // namespace

TEST_F(VideoTables, LookupsEndAtTheTables)
{
    EXPECT_EQ(VideoStdAt(-1), nullptr);
    EXPECT_EQ(VideoStdAt(kVideoStdCount), nullptr);
    EXPECT_EQ(RefFormatAt(kRefFormatCount), nullptr);
    EXPECT_EQ(FrameRateAt(kFrameRateCount), nullptr);
    EXPECT_EQ(FrameRateAt(0)->numerator, 0u);
    EXPECT_STREQ(FrameRateAt(10)->text, "59.94");
}

TEST_F(VideoTables, KnownStandardsHaveTheirPublishedRasters)
{
    struct Expect {
        const char* name;
        int linkClass, totalLines, samplesPerLine, activeLines, activeSamples;
        double frameRate;
    };
    const Expect known[] = {
        {"486i59.94", 0, 525, 858, 486, 720, 30000.0 / 1001},
        {"1080p50 295M", 2, 1250, 2376, 1080, 1920, 50.0},
        {"2K p60", 2, 1125, 2200, 1080, 2048, 60.0},
    };
    for (const Expect& e : known) {
        SCOPED_TRACE(e.name);
        const int index = IndexOf(e.name);
        ASSERT_GE(index, 0);
        const VideoStdRow& row = video_std_table[index];
        EXPECT_EQ(VideoFormat::GetLinkClass(Format(index)), e.linkClass);
        EXPECT_EQ(VideoFormat::GetTotalLines(Format(index)), e.totalLines);
        EXPECT_EQ(row.samplesPerLine, e.samplesPerLine);
        EXPECT_EQ(row.activeLines, e.activeLines);
        EXPECT_EQ(row.activeSamples, e.activeSamples);
        EXPECT_NEAR(VideoStdFrameRate(index), e.frameRate, 1e-9);
        EXPECT_EQ(row.frameRate, static_cast<int>(e.frameRate));
        EXPECT_EQ(row.hd, e.linkClass == 0 ? 0 : 1);
    }
}

TEST_F(VideoTables, EveryRowRunsAtTheSampleClockOfItsLink)
{
    // SD at 13.5 MHz; 1.5 Gb/s at 74.25 MHz, 3 Gb/s at 148.5 MHz (4:4:4
    // carriage doubles a 74.25 MHz picture instead); HD fractional rates /1.001.
    for (int i = 0; i < kVideoStdCount; ++i) {
        const VideoStdRow& row = video_std_table[i];
        SCOPED_TRACE(row.name);
        const FrameRateRow* rate = FrameRateAt(row.rateCode);
        ASSERT_NE(rate, nullptr);
        const bool fractional = rate->denominator == 1001;
        const double clock = SampleClock(row.totalLines, row.samplesPerLine, row.rateCode);
        double expected = 13.5e6;
        if (row.linkRate == kLinkHd || (row.linkRate == kLink3G && (row.flags & kStd444) != 0))
            expected = 74.25e6;
        else if (row.linkRate == kLink3G)
            expected = 148.5e6;
        if (fractional && row.linkRate != kLinkSd)
            expected /= 1.001;
        EXPECT_NEAR(clock, expected, 1.0);

        EXPECT_EQ((row.flags & kStdFractional) != 0, fractional);
        EXPECT_EQ((row.flags & kStdHighRate) != 0, row.frameRate > 30);
        EXPECT_EQ(row.frameRate, rate->wholeRate);
        EXPECT_EQ((row.flags & kStd2K) != 0, row.activeSamples == 2048);
        EXPECT_EQ((row.flags & kStd2K) != 0, i >= 30 && i <= 49) << "rows 30-49 are the 2048-wide rasters";
    }
    // Reference formats: black burst at 13.5 MHz, tri-level syncs at HD clocks.
    for (int i = 0; i < kRefFormatCount; ++i) {
        const RefFormatRow& row = ref_format_table[i];
        SCOPED_TRACE(row.name);
        double clock = SampleClock(row.totalLines, row.samplesPerLine, row.rateCode);
        if (FrameRateAt(row.rateCode)->denominator == 1001 && (row.flags & kRefBlackBurst) == 0)
            clock *= 1.001;
        if ((row.flags & kRefBlackBurst) != 0)
            EXPECT_NEAR(clock, 13.5e6, 1.0);
        else
            EXPECT_TRUE(std::fabs(clock - 74.25e6) < 1.0 || std::fabs(clock - 148.5e6) < 1.0) << clock;
    }
}

TEST_F(VideoTables, NoStandardMeansSdLinkAndNineteenTwentyLines)
{
    for (int none : {-1, 55, 1000}) {
        EXPECT_EQ(VideoFormat::GetLinkClass(Format(none)), 0) << none;
        EXPECT_EQ(VideoFormat::GetTotalLines(Format(none)), 1920) << none;
        EXPECT_EQ(VideoFormat::GetDolbyIdealLine(Format(none)), 0) << none;
    }
    // The ideal Dolby E start line of standards 0 to 29; none from the 2K rows on.
    const int ideal[30] = {12, 14, 24, 24, 42, 42, 47, 47, 42, 24, 24, 21, 24, 24, 21,
                           27, 27, 24, 24, 21, 27, 27, 32, 32, 28, 16, 16, 14, 18, 18};
    for (int i = 0; i < kVideoStdCount; ++i)
        EXPECT_EQ(VideoFormat::GetDolbyIdealLine(Format(i)), i < 30 ? ideal[i] : 0) << video_std_table[i].name;

    SetSimInputStandard(11);
    EXPECT_EQ(SimInputStandard(), 11);
    SetSimInputStandard(55);
    EXPECT_EQ(SimInputStandard(), -1);
}
