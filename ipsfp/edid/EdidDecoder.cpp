#include "EdidDecoder.h"

#include <array>
#include <cstdarg>
#include <cstdio>

namespace {

// Offsets of the base block's fields.
enum EdidOffset : size_t {
    kHeader = 0,
    kManufacturer = 8,
    kProductCode = 10,
    kSerial = 12,
    kWeek = 16,
    kYear = 17,
    kVersion = 18,
    kRevision = 19,
    kInput = 20,
    kWidthCm = 21,
    kHeightCm = 22,
    kGamma = 23,
    kFeatures = 24,
    kChromaLow = 25,
    kChromaHigh = 27,
    kEstablished1 = 35,
    kEstablished2 = 36,
    kManufacturerTimings = 37,
    kStandardTimings = 38,
    kDescriptors = 54,
    kExtensionCount = 126,
};
constexpr size_t kStandardTimingCount = 8;
constexpr size_t kDescriptorCount = 4;
constexpr size_t kDescriptorSize = 18;
constexpr size_t kNameLength = 13;
constexpr int kYearBase = 1990;
constexpr uint8_t kModelYearWeek = 255;
constexpr uint8_t kLastWeek = 54;
constexpr uint8_t kTagDisplayName = 0xFC;
constexpr uint8_t kTagRangeLimits = 0xFD;
constexpr uint8_t kHeaderBytes[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t kHexOffsetItem = 4;
constexpr size_t kHexFirstLineItem = 6;
constexpr size_t kHexBytesPerLine = 8;

// Established timings, bit 7 of byte 35 first, bit 0 of byte 36 last.
constexpr const char* kEstablishedNames[16] = {
    "720x400@70", "720x400@88", "640x480@60",   "640x480@67", "640x480@72", "640x480@75",
    "800x600@56", "800x600@60", "800x600@72",   "800x600@75", "832x624@75", "1024x768i@87",
    "1024x768@60", "1024x768@70", "1024x768@75", "1280x1024@75",
};
constexpr const char* kManufacturerTiming = "1152x870@75";   // byte 37 bit 7

// Analog signal levels by bits 6-5 of byte 20, and the signal options
// (bit, name), highest bit first.
constexpr const char* kSyncLevels[4] = {"+0.7/-0.3V", "+0.714V/-0.286V", "+1.0V/-0.4V", "0.7V/0V"};
struct BitName {
    uint8_t mask;
    const char* name;
};
constexpr BitName kSignalOptions[] = {
    {0x10, "Pedestal"}, {0x08, "Sync"}, {0x04, "Comp"}, {0x02, "SyncOnGreen"}, {0x01, "Serrated"},
};
constexpr BitName kDpmsStates[] = {{0x80, "standby"}, {0x40, "suspend"}, {0x20, "off"}};
constexpr const char* kAnalogColour[4] = {"Mono", "RGB", "Non-RGB", "Undefined"};
constexpr const char* kDigitalColour[4] = {"RGB444", "RGB444+YCC444", "RGB444+YCC422", "RGB444+YCC444/422"};
constexpr const char* kChromaLabels[4] = {"Red X/Y(CIE)", "Green X/Y(CIE)", "Blue X/Y(CIE)", "White X/Y(CIE)"};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string JoinBits(uint8_t byte, std::span<const BitName> names)
{
    std::string out;
    for (const BitName& b : names) {
        if ((byte & b.mask) == 0)
            continue;
        if (!out.empty())
            out += '|';
        out += b.name;
    }
    return out;
}

const char* YesNo(bool yes) { return yes ? "Yes" : "No"; }

// A list being filled label by label.
struct ItemList {
    std::vector<std::string>& items;
    void Add(const std::string& label, const std::string& value)
    {
        items.push_back(label);
        items.push_back(value);
    }
};

bool IsDisplayDescriptor(const uint8_t* d, uint8_t tag) { return d[0] == 0 && d[1] == 0 && d[3] == tag; }

// The display name: at most 13 characters, a line feed ends it.
std::string DisplayName(std::span<const uint8_t> e)
{
    for (size_t i = 0; i < kDescriptorCount; ++i) {
        const uint8_t* d = &e[kDescriptors + i * kDescriptorSize];
        if (!IsDisplayDescriptor(d, kTagDisplayName))
            continue;
        std::string name;
        for (size_t k = 0; k < kNameLength && d[5 + k] != 0x0A; ++k)
            name += static_cast<char>(d[5 + k]);
        return name;
    }
    return std::string();
}

void DecodeMonitor(std::span<const uint8_t> e, ItemList list)
{
    list.Add("Section", "Monitor");
    list.Add("ModelName", DisplayName(e));
    const unsigned id = (unsigned{e[kManufacturer]} << 8) | e[kManufacturer + 1];
    auto letter = [id](int shift) { return static_cast<char>('A' - 1 + ((id >> shift) & 0x1F)); };
    list.Add("VendorName", Format("%c%c%c", letter(10), letter(5), letter(0)));
    list.Add("Product Code", Format("%u", e[kProductCode] + 256u * e[kProductCode + 1]));
    uint32_t serial = 0;
    for (size_t i = 4; i-- > 0;)
        serial = (serial << 8) | e[kSerial + i];
    list.Add("SerialNum", Format("%u", serial));
    const int year = kYearBase + e[kYear];
    const uint8_t week = e[kWeek];
    if (week <= kLastWeek)
        list.Add("Manufactured", Format("week %i of %i", week, year));
    else if (week == kModelYearWeek)
        list.Add("Manufactured", Format("Model Year: %i", year));
    else
        list.Add("Manufactured", Format("Year %i", year));
    list.Add("EDID Ver", Format("%i.%i", e[kVersion], e[kRevision]));

    const uint8_t input = e[kInput];
    const bool digital = (input & 0x80) != 0;
    list.Add("Type", digital ? "Digital Display" : "Analog Display");
    if (digital) {
        list.Add("VESA DFP", (input & 0x01) != 0 ? "yes" : "no");
    } else {
        list.Add("Sync Levels", kSyncLevels[(input >> 5) & 0x03]);
        list.Add("Option", JoinBits(input, kSignalOptions));
    }
    if (e[kWidthCm] == 0 && e[kHeightCm] == 0)
        list.Add("Display Size(cm)", "Physical Size not given. Normal for projectors");
    else
        list.Add("Display Size(cm)", Format("%i x %i", e[kWidthCm], e[kHeightCm]));
    // 255: the gamma is given elsewhere (an extension block).
    list.Add("Gamma", e[kGamma] == 0xFF ? std::string("Undefined") : Format("%.2f", e[kGamma] / 100.0 + 1));
    const uint8_t features = e[kFeatures];
    const std::string dpms = JoinBits(features, kDpmsStates);
    list.Add("DPMS", dpms.empty() ? std::string("Not support") : dpms);
    const unsigned colour = (features >> 3) & 0x03;
    list.Add("Colour Support", digital ? kDigitalColour[colour] : kAnalogColour[colour]);
    list.Add("Standard sRGB", YesNo((features & 0x04) != 0));
    list.Add("GTF", YesNo((features & 0x01) != 0));
    list.Add("Preferred timing", Format("%sfound", (features & 0x02) != 0 ? "" : "not "));

    // Ten-bit codes: the high eight bits in bytes 27-34, the low two packed
    // in bytes 25 (red, green) and 26 (blue, white), x before y.
    for (size_t c = 0; c < 4; ++c) {
        const uint8_t low = e[kChromaLow + c / 2];
        const unsigned shift = (c % 2 == 0) ? 4 : 0;
        const unsigned x = (unsigned{e[kChromaHigh + 2 * c]} << 2) | ((low >> (shift + 2)) & 0x03);
        const unsigned y = (unsigned{e[kChromaHigh + 2 * c + 1]} << 2) | ((low >> shift) & 0x03);
        list.Add(kChromaLabels[c], Format("%u %u", x, y));
    }
}

std::string EstablishedModes(uint8_t bits, size_t first)
{
    std::string out;
    for (size_t b = 0; b < 8; ++b) {
        if ((bits & (0x80 >> b)) == 0)
            continue;
        if (!out.empty())
            out += ',';
        out += kEstablishedNames[first + b];
    }
    return out;
}

// Range limits: the +255 offsets of byte 4 as the standard gives them (the
// maximum with the higher bit, the minimum too when both bits are set).
void AddRangeLimits(const uint8_t* d, ItemList list)
{
    const uint8_t offsets = d[4];
    auto limits = [offsets](uint8_t min, uint8_t max, unsigned shift) {
        const unsigned flags = (offsets >> shift) & 0x03;
        const int lo = min + (flags == 0x03 ? 255 : 0);
        const int hi = max + ((flags & 0x02) != 0 ? 255 : 0);
        return Format("%i-%i", lo, hi);
    };
    list.Add("Horizsync", limits(d[7], d[8], 2));
    list.Add("VertRefresh", limits(d[5], d[6], 0));
    list.Add("Maximum pixel", Format("clock is %iMHz", d[9] * 10));
}

void AddDetailedTiming(const uint8_t* d, ItemList list)
{
    const unsigned clock10k = d[0] | (unsigned{d[1]} << 8);
    const double mhz = clock10k / 100.0;
    const unsigned hActive = d[2] | ((d[4] & 0xF0u) << 4);
    const unsigned hBlank = d[3] | ((d[4] & 0x0Fu) << 8);
    const unsigned vActive = d[5] | ((d[7] & 0xF0u) << 4);
    const unsigned vBlank = d[6] | ((d[7] & 0x0Fu) << 8);
    const unsigned hSyncOffset = d[8] | ((d[11] & 0xC0u) << 2);
    const unsigned hSyncWidth = d[9] | ((d[11] & 0x30u) << 4);
    const unsigned vSyncOffset = (d[10] >> 4) | ((d[11] & 0x0Cu) << 2);
    const unsigned vSyncWidth = (d[10] & 0x0Fu) | ((d[11] & 0x03u) << 4);
    const uint8_t flags = d[17];
    const char* hsync = (flags & 0x12) == 0x12 ? "+" : "-";
    const char* vsync = (flags & 0x14) == 0x14 ? "+" : "-";
    const char* interlace = (flags & 0x80) != 0 ? "interlace" : "";

    list.Add(Format("   Clock=%.2f Mhz", mhz), "");
    // Mode name and clock, then the horizontal and vertical timings as a
    // mode line gives them: active, sync start, sync end, total.
    std::string line = "\"" + Format("%ux%u", hActive, vActive) + "\" " + Format("%.2f ", mhz);
    line += Format("%u %u", hActive, hActive + hSyncOffset) + " ";
    line += Format("%u %u %u", hActive + hSyncOffset + hSyncWidth, hActive + hBlank, vActive) + " ";
    line += Format("%u %u", vActive + vSyncOffset, vActive + vSyncOffset + vSyncWidth) + " ";
    line += Format("%u ", vActive + vBlank);
    line += Format("%shsync %svsync %s", hsync, vsync, interlace);
    list.Add("ModeLine", line);
}

void DecodeModes(std::span<const uint8_t> e, ItemList list)
{
    list.Add("Estb. Modes", EstablishedModes(e[kEstablished1], 0));
    std::string second = EstablishedModes(e[kEstablished2], 8);
    if ((e[kManufacturerTimings] & 0x80) != 0)
        second += (second.empty() ? "" : ",") + std::string(kManufacturerTiming);
    list.Add("Estb. Modes", second);
    list.Add("Manufacturer", Format("Specific=0x%02x", e[kManufacturerTimings]));

    list.Add("Not giving standard mode: ", "");
    for (size_t i = 0; i < kStandardTimingCount; ++i) {
        const uint8_t b0 = e[kStandardTimings + 2 * i];
        const uint8_t b1 = e[kStandardTimings + 2 * i + 1];
        if (b0 == 0x01 && b1 == 0x01)
            continue;
        const int h = (b0 + 31) * 8;
        static constexpr struct {
            int num, den;
            const char* name;
        } kAspects[4] = {{10, 16, "16:10"}, {3, 4, "4:3"}, {4, 5, "5:4"}, {9, 16, "16:9"}};
        const auto& aspect = kAspects[b1 >> 6];
        list.Add("", Format("%ix%i@%i %s", h, h * aspect.num / aspect.den, (b1 & 63) + 60, aspect.name));
    }

    for (size_t i = 0; i < kDescriptorCount; ++i) {
        const uint8_t* d = &e[kDescriptors + i * kDescriptorSize];
        if (IsDisplayDescriptor(d, kTagRangeLimits))
            AddRangeLimits(d, list);
    }
    for (size_t i = 0; i < kDescriptorCount; ++i) {
        const uint8_t* d = &e[kDescriptors + i * kDescriptorSize];
        if (d[0] != 0 || d[1] != 0)
            AddDetailedTiming(d, list);
    }
}

void HexView(std::span<const uint8_t> e, std::vector<std::string>& monitor)
{
    monitor.assign(kHexFirstLineItem, std::string());
    monitor[kHexOffsetItem] = "Offset";
    for (size_t at = 0; at < kEdidBlockSize; at += kHexBytesPerLine) {
        const uint8_t* b = &e[at];
        monitor.push_back(Format("%3d   %02x %02x %02x %02x %02x %02x %02x %02x", static_cast<int>(at), b[0], b[1],
                                 b[2], b[3], b[4], b[5], b[6], b[7]));
        monitor.push_back(std::string());
    }
    monitor.push_back("EDID Ext Blocks:");
    monitor.push_back(Format("%d", e[kExtensionCount]));
}

} // namespace

EdidLists DecodeEdid(std::span<const uint8_t> block, bool hexView)
{
    EdidLists out;
    unsigned sum = 0;
    for (uint8_t b : block)
        sum += b;
    if (block.size() != kEdidBlockSize || (sum & 0xFF) != 0) {
        out.check = EdidCheck::BadChecksum;
        out.monitor.push_back(kEdidReadFailedText);
        return out;
    }
    for (size_t i = 0; i < sizeof kHeaderBytes; ++i) {
        if (block[kHeader + i] != kHeaderBytes[i]) {
            out.check = EdidCheck::BadHeader;
            out.monitor.push_back("Header incorrect. Please Retry");
            return out;
        }
    }
    if (hexView) {
        HexView(block, out.monitor);
        return out;
    }
    DecodeMonitor(block, ItemList{out.monitor});
    DecodeModes(block, ItemList{out.modes});
    return out;
}
