#include "SfpFieldFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Reads the field's registers from the image; past its end zeros, and the
// overrun sticks.
class RegisterReader {
public:
    explicit RegisterReader(std::span<const uint8_t> image) : image_(image) {}
    uint8_t At(size_t reg)
    {
        if (reg < image_.size())
            return image_[reg];
        overrun_ = true;
        return 0;
    }
    // v = v * base + byte for each byte, first register first (base 256 is a
    // big-endian number); wraps beyond 32 bits.
    uint32_t Fold(size_t first, size_t count, uint32_t base)
    {
        uint32_t v = 0;
        for (size_t i = 0; i < count; ++i)
            v = v * base + At(first + i);
        return v;
    }
    bool Overrun() const { return overrun_; }

private:
    std::span<const uint8_t> image_;
    bool overrun_ = false;
};

template <typename... Args>
std::string Print(const char* format, Args... args)
{
    if (format == nullptr)
        return {};
    char text[96];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

int32_t NonZero(int32_t v) { return v == 0 ? 1 : v; }

// The stored checksum byte; mismatch when the sum of its range's bytes
// differs. The summed registers are bytes 0-255; a range outside them never
// matches.
std::string ChecksumText(RegisterReader& in, const SfpFieldDesc& d, bool& mismatch)
{
    const uint8_t stored = in.At(d.reg);
    unsigned sum = 0;
    for (int32_t r = std::max(d.p2, 0); r <= std::min(d.p3, 255); ++r)
        sum += in.At(static_cast<size_t>(r));
    mismatch = (sum & 0xFF) != stored || d.p2 < 0 || d.p3 > 255;
    return Print("%.2xh", static_cast<unsigned>(stored));
}

// Module text carries no terminator: exactly count bytes, or up to a zero byte.
std::string AsciiText(RegisterReader& in, const SfpFieldDesc& d)
{
    std::string text;
    for (size_t i = 0; i < d.count; ++i) {
        const uint8_t c = in.At(size_t{d.reg} + i);
        if (c == 0)
            break;
        text += static_cast<char>(c);
    }
    return text;
}

// Signed readings: at or above divisor x offset (the sign bit of the
// SFF-8472 two-byte temperature) the value is two's complement.
float SignedReading(RegisterReader& in, const SfpFieldDesc& d)
{
    const uint32_t v = in.Fold(d.reg, d.count, 256);
    const int32_t divisor = NonZero(d.p3);
    float reading = static_cast<float>(v) / static_cast<float>(divisor);
    if (d.p2 > 0 && int64_t{v} >= int64_t{divisor} * d.p2)
        reading -= 2.0f * static_cast<float>(d.p2);
    return reading;
}

} // namespace

SfpFieldText FormatSfpField(const SfpFieldDesc& d, std::span<const uint8_t> image, bool readOk)
{
    RegisterReader in(image);
    SfpFieldText out;
    bool mismatch = false;
    switch (d.kind) {
    case kSfpDec: {
        const uint32_t base = static_cast<uint32_t>(NonZero(d.p3));
        const uint32_t v = in.Fold(d.reg, d.count, base);
        out.text = Print(d.format, static_cast<int32_t>(v * static_cast<uint32_t>(d.p2)));
        break;
    }
    case kSfpHex:
        out.text = Print(d.format != nullptr ? d.format : "%.2xh", in.Fold(d.reg, d.count, 256));
        break;
    case kSfpChecksum: out.text = ChecksumText(in, d, mismatch); break;
    case kSfpAscii: out.text = AsciiText(in, d); break;
    case kSfpFloat:
        out.reading = static_cast<float>(in.Fold(d.reg, d.count, 256)) / static_cast<float>(NonZero(d.p2));
        out.hasReading = true;
        out.text = Print(d.format, static_cast<double>(out.reading));
        break;
    case kSfpTemp:
        out.reading = SignedReading(in, d);
        out.hasReading = true;
        out.text = Print(d.format, static_cast<double>(out.reading));
        break;
    case kSfpDbm: {
        const uint32_t v = in.Fold(d.reg, d.count, 256);
        if (v == 0)
            out.text = "inf dBm";
        else
            out.text = Print(d.format, 10.0 * std::log10(v / 10000.0));
        break;
    }
    case kSfpCustomDate:
    case kSfpCustomTime:
        for (size_t i = 0; i < d.count; ++i)
            out.text += Print("%d ", static_cast<int>(in.At(size_t{d.reg} + i)));
        break;
    default:
        // Fixed text, never read; without a text the value keeps its colours.
        out.text = d.format != nullptr ? d.format : "";
        out.colour = d.format != nullptr ? kSfpValueColour : 0;
        return out;
    }
    if (!readOk || in.Overrun() || mismatch)
        out.colour = kSfpErrorColour;
    return out;
}
