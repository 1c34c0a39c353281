#include "SfpImages.h"

#include <algorithm>

namespace {

template <size_t N>
void PutText(std::array<uint8_t, N>& image, size_t at, size_t width, const std::string& text)
{
    for (size_t i = 0; i < width; ++i)
        image[at + i] = static_cast<uint8_t>(i < text.size() ? text[i] : ' ');
}

template <size_t N>
void Put16(std::array<uint8_t, N>& image, size_t at, uint16_t v)
{
    image[at] = static_cast<uint8_t>(v >> 8);
    image[at + 1] = static_cast<uint8_t>(v & 0xFF);
}

template <size_t N>
uint8_t SumOf(const std::array<uint8_t, N>& image, size_t first, size_t last)
{
    unsigned sum = 0;
    for (size_t i = first; i <= last; ++i)
        sum += image[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

} // namespace

std::array<uint8_t, 256> MakeA0hImage(const SfpIdentity& id)
{
    std::array<uint8_t, 256> a {};
    a[0] = id.identifier;
    a[1] = id.extIdentifier;
    a[2] = id.connector;
    std::copy(id.transceiver.begin(), id.transceiver.end(), a.begin() + 3);
    a[11] = id.encoding;
    a[12] = id.bitRate;
    a[14] = id.lengthKm;
    a[15] = id.length100m;
    a[16] = id.length50um;
    a[17] = id.length62um;
    a[18] = id.lengthCopper;
    PutText(a, 20, 16, id.vendorName);
    a[37] = id.vendorOui[0];
    a[38] = id.vendorOui[1];
    a[39] = id.vendorOui[2];
    PutText(a, 40, 16, id.partNumber);
    PutText(a, 56, 4, id.revision);
    Put16(a, 60, id.wavelength);
    a[63] = SumOf(a, 0, 62);
    PutText(a, 68, 16, id.serial);
    PutText(a, 84, 8, id.dateCode);
    a[92] = id.diagnosticType;
    a[95] = SumOf(a, 64, 94);
    return a;
}

std::array<uint8_t, 256> MakeA2hImage(const SfpDiagnostics& d)
{
    std::array<uint8_t, 256> a {};
    Put16(a, 0, static_cast<uint16_t>(d.tempHighAlarm));
    Put16(a, 8, d.vccHighAlarm);
    Put16(a, 10, d.vccLowAlarm);
    a[95] = SumOf(a, 0, 94);
    Put16(a, 96, static_cast<uint16_t>(d.temperature));
    Put16(a, 98, d.vcc);
    Put16(a, 100, d.txBias);
    Put16(a, 102, d.txPower);
    Put16(a, 104, d.rxPower);
    return a;
}

std::array<uint8_t, 128> MakeEdidBlock(const EdidFields& f)
{
    std::array<uint8_t, 128> e {};
    const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    for (size_t i = 0; i < 8; ++i)
        e[i] = header[i];
    // Three 5-bit letters, 'A' = 1, big-endian.
    uint16_t id = 0;
    for (size_t i = 0; i < 3; ++i) {
        char c = i < f.manufacturer.size() ? f.manufacturer[i] : 'A';
        id = static_cast<uint16_t>((id << 5) | ((c - 'A' + 1) & 0x1F));
    }
    e[8] = static_cast<uint8_t>(id >> 8);
    e[9] = static_cast<uint8_t>(id & 0xFF);
    e[10] = static_cast<uint8_t>(f.productCode & 0xFF);
    e[11] = static_cast<uint8_t>(f.productCode >> 8);
    for (size_t i = 0; i < 4; ++i)
        e[12 + i] = static_cast<uint8_t>((f.serial >> (8 * i)) & 0xFF);
    e[16] = f.week;
    e[17] = static_cast<uint8_t>(f.year - 1990);
    e[18] = 1;
    e[19] = 3;
    e[20] = f.input;
    e[21] = f.widthCm;
    e[22] = f.heightCm;
    e[23] = f.gamma;
    e[24] = f.features;
    // Standard timings unused.
    for (size_t i = 38; i < 54; ++i)
        e[i] = 0x01;
    if (!f.monitorName.empty()) {
        // First descriptor: 0, 0, 0, tag 0xFC, 0, then 13 bytes ended by 0x0A and
        // padded with spaces.
        const size_t at = 54;
        e[at + 3] = 0xFC;
        for (size_t i = 0; i < 13; ++i) {
            uint8_t c = 0x20;
            if (i < f.monitorName.size())
                c = static_cast<uint8_t>(f.monitorName[i]);
            else if (i == f.monitorName.size())
                c = 0x0A;
            e[at + 5 + i] = c;
        }
    }
    unsigned sum = 0;
    for (size_t i = 0; i < 127; ++i)
        sum += e[i];
    e[127] = static_cast<uint8_t>((256 - (sum & 0xFF)) & 0xFF);
    return e;
}
