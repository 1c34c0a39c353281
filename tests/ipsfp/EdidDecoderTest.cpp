// The EDID decoder on blocks built here. The expected values were checked
// against an independent decoder (edid-decode) on the same bytes.
#include "SfpImages.h"

#include "ipsfp/edid/EdidDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A 1920x1080 60 Hz monitor: 148.5 MHz detailed timing, 56-76 Hz / 30-83 kHz
// / 170 MHz range limits, name "TESTMON".
EdidFields Monitor()
{
    EdidFields f;
    f.productCode = 0x1234;
    f.serial = 0x01020304;
    f.week = 10;
    f.year = 2012;
    f.widthCm = 51;
    f.heightCm = 29;
    f.features = 0xEA;   // standby, suspend, off; RGB444+YCC444; preferred timing
    f.monitorName = "TESTMON";
    f.established = {0x80, 0x01, 0x00};
    f.standardTimings = {{0xD1, 0xC0}};
    f.detailedTiming = EdidFields::DetailedTiming{14850, 1920, 280, 1080, 45, 88, 44, 4, 5, 510, 290, 0x1E};
    f.rangeLimits = EdidFields::RangeLimits{56, 76, 30, 83, 17};
    return f;
}

// The value after the nth label in a label/value list; "?" when none.
std::string Value(const std::vector<std::string>& items, const std::string& label, int nth = 0)
{
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        if (items[i] == label && nth-- == 0)
            return items[i + 1];
    return "?";
}

bool Has(const std::vector<std::string>& items, const std::string& text)
{
    return std::find(items.begin(), items.end(), text) != items.end();
}

EdidLists Decode(const EdidFields& f, bool hex = false) { return DecodeEdid(MakeEdidBlock(f), hex); }

TEST(EdidDecoder, DecodesTheMonitorAndModesOfAWholeBlock)
{
    const EdidLists l = Decode(Monitor());
    ASSERT_EQ(l.check, EdidCheck::Ok);
    const auto& m = l.monitor;
    EXPECT_EQ(m[0] + "/" + m[1], "Section/Monitor");
    EXPECT_EQ(Value(m, "ModelName"), "TESTMON");
    EXPECT_EQ(Value(m, "VendorName"), "ABC");
    EXPECT_EQ(Value(m, "Product Code"), "4660");
    EXPECT_EQ(Value(m, "SerialNum"), "16909060");
    EXPECT_EQ(Value(m, "Manufactured"), "week 10 of 2012");
    EXPECT_EQ(Value(m, "EDID Ver"), "1.3");
    EXPECT_EQ(Value(m, "Type"), "Digital Display");
    EXPECT_EQ(Value(m, "Display Size(cm)"), "51 x 29");
    EXPECT_EQ(Value(m, "Gamma"), "2.20");
    EXPECT_EQ(Value(m, "DPMS"), "standby|suspend|off");
    EXPECT_EQ(Value(m, "Colour Support"), "RGB444+YCC444");
    EXPECT_EQ(Value(m, "Preferred timing"), "found");

    const auto& modes = l.modes;
    EXPECT_EQ(Value(modes, "Estb. Modes"), "720x400@70");
    EXPECT_EQ(Value(modes, "Estb. Modes", 1), "1280x1024@75");
    EXPECT_TRUE(Has(modes, "1920x1080@60 16:9"));
    EXPECT_EQ(std::count_if(modes.begin(), modes.end(), [](const std::string& t) { return t.find('@') != t.npos; }), 3)
        << "unused standard timings show nothing";
    EXPECT_TRUE(Has(modes, "   Clock=148.50 Mhz"));
    EXPECT_EQ(Value(modes, "ModeLine"),
              "\"1920x1080\" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync ");
    EXPECT_EQ(Value(modes, "VertRefresh"), "56-76");
    EXPECT_EQ(Value(modes, "Horizsync"), "30-83");
    EXPECT_EQ(Value(modes, "Maximum pixel"), "clock is 170MHz");
}

TEST(EdidDecoder, VariantsOfDatesSizesPowerAndSignal)
{
    EdidFields f = Monitor();
    f.week = 255;
    f.widthCm = f.heightCm = 0;
    f.features = 0x0A;
    f.input = 0x1F;   // analog, +0.7/-0.3V, every signal option
    f.monitorName.clear();
    EdidLists l = Decode(f);
    EXPECT_EQ(Value(l.monitor, "Manufactured"), "Model Year: 2012");
    EXPECT_EQ(Value(l.monitor, "Display Size(cm)"), "Physical Size not given. Normal for projectors");
    EXPECT_EQ(Value(l.monitor, "DPMS"), "Not support");
    EXPECT_EQ(Value(l.monitor, "Sync Levels"), "+0.7/-0.3V");
    EXPECT_EQ(Value(l.monitor, "Option"), "Pedestal|Sync|Comp|SyncOnGreen|Serrated");
    EXPECT_EQ(Value(l.monitor, "Colour Support"), "RGB");
    EXPECT_EQ(Value(l.monitor, "ModelName"), "");
    f.week = 0;
    EXPECT_EQ(Value(Decode(f).monitor, "Manufactured"), "week 0 of 2012");
}

// Bytes of a block changed with its checksum kept right.
void Patch(std::array<uint8_t, 128>& block, size_t at, uint8_t value)
{
    block[127] = static_cast<uint8_t>(block[127] + block[at] - value);
    block[at] = value;
}

TEST(EdidDecoder, ChromaticityRangeOffsetsPolarityAspectsAndTheManufacturerTiming)
{
    EdidFields f = Monitor();
    f.established = {0x00, 0x00, 0x80};   // byte 37 bit 7
    f.standardTimings = {{0x81, 0x00}, {0x81, 0x4F}, {0x81, 0x80}};   // 1280 wide: 16:10 @60, 4:3 @75, 5:4 @60
    f.detailedTiming->flags = 0x9C;   // interlaced, separate syncs, vsync +, hsync -
    auto block = MakeEdidBlock(f);
    Patch(block, 25, 0xE0);   // red x 655 (0xA3 << 2 | 3), y 338 (0x54 << 2 | 2)
    Patch(block, 27, 0xA3);
    Patch(block, 28, 0x54);
    Patch(block, 72 + 4, 0x0A);   // the range limits: the maxima + 255
    EdidLists l = DecodeEdid(block, false);
    ASSERT_EQ(l.check, EdidCheck::Ok);
    EXPECT_EQ(Value(l.monitor, "Red X/Y(CIE)"), "655 338");
    EXPECT_EQ(Value(l.monitor, "White X/Y(CIE)"), "0 0");
    EXPECT_EQ(Value(l.modes, "Estb. Modes", 1), "1152x870@75");
    EXPECT_TRUE(Has(l.modes, "1280x800@60 16:10") && Has(l.modes, "1280x960@75 4:3") && Has(l.modes, "1280x1024@60 5:4"));
    EXPECT_TRUE(Value(l.modes, "ModeLine").ends_with(" -hsync +vsync interlace"));
    EXPECT_EQ(Value(l.modes, "Horizsync"), "30-338");
    EXPECT_EQ(Value(l.modes, "VertRefresh"), "56-331");
    Patch(block, 72 + 4, 0x0F);   // minima too
    l = DecodeEdid(block, false);
    EXPECT_EQ(Value(l.modes, "Horizsync"), "285-338");
    EXPECT_EQ(Value(l.modes, "VertRefresh"), "311-331");
}

TEST(EdidDecoder, ChecksumBeforeHeaderAndTheHexView)
{
    std::array<uint8_t, 128> block {};
    EXPECT_EQ(DecodeEdid(block, false).monitor, std::vector<std::string>{"Header incorrect. Please Retry"});
    block = MakeEdidBlock(Monitor());
    block[20] ^= 1;
    EXPECT_EQ(DecodeEdid(block, false).monitor, std::vector<std::string>{"Read EDID failed.Try Again"});
    EXPECT_EQ(DecodeEdid(std::span(block).first(127), false).check, EdidCheck::BadChecksum);

    block = MakeEdidBlock(Monitor());
    block[126] = 1;
    block[127] -= 1;
    const EdidLists hex = DecodeEdid(block, true);
    ASSERT_EQ(hex.monitor.size(), 40u);
    EXPECT_EQ(hex.monitor[4], "Offset");
    EXPECT_EQ(hex.monitor[6], "  0   00 ff ff ff ff ff ff 00");
    EXPECT_EQ(hex.monitor[36].substr(0, 5), "120  ");
    EXPECT_EQ(hex.monitor[38] + hex.monitor[39], "EDID Ext Blocks:1");
    EXPECT_TRUE(hex.modes.empty());
}

} // namespace
