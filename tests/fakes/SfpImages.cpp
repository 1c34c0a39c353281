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
    for (size_t i = 0; i < 3; ++i)
        e[35 + i] = f.established[i];
    for (size_t i = 0; i < 8; ++i) {
        const bool used = i < f.standardTimings.size();
        e[38 + 2 * i] = used ? f.standardTimings[i][0] : 0x01;
        e[39 + 2 * i] = used ? f.standardTimings[i][1] : 0x01;
    }
    size_t at = 54;   // next free 18-byte descriptor
    if (const auto& t = f.detailedTiming) {
        uint8_t* d = &e[at];
        d[0] = static_cast<uint8_t>(t->clock10kHz & 0xFF);
        d[1] = static_cast<uint8_t>(t->clock10kHz >> 8);
        d[2] = static_cast<uint8_t>(t->hActive & 0xFF);
        d[3] = static_cast<uint8_t>(t->hBlank & 0xFF);
        d[4] = static_cast<uint8_t>(((t->hActive >> 8) << 4) | (t->hBlank >> 8));
        d[5] = static_cast<uint8_t>(t->vActive & 0xFF);
        d[6] = static_cast<uint8_t>(t->vBlank & 0xFF);
        d[7] = static_cast<uint8_t>(((t->vActive >> 8) << 4) | (t->vBlank >> 8));
        d[8] = static_cast<uint8_t>(t->hSyncOffset & 0xFF);
        d[9] = static_cast<uint8_t>(t->hSyncWidth & 0xFF);
        d[10] = static_cast<uint8_t>(((t->vSyncOffset & 0x0F) << 4) | (t->vSyncWidth & 0x0F));
        d[11] = static_cast<uint8_t>(((t->hSyncOffset >> 8) << 6) | ((t->hSyncWidth >> 8) << 4) |
                                     ((t->vSyncOffset >> 4) << 2) | (t->vSyncWidth >> 4));
        d[12] = static_cast<uint8_t>(t->widthMm & 0xFF);
        d[13] = static_cast<uint8_t>(t->heightMm & 0xFF);
        d[14] = static_cast<uint8_t>(((t->widthMm >> 8) << 4) | (t->heightMm >> 8));
        d[17] = t->flags;
        at += 18;
    }
    if (const auto& r = f.rangeLimits) {
        // 0, 0, 0, tag 0xFD, offsets 0, the limits, no timing formula, padding.
        const uint8_t d[18] = {0, 0, 0, 0xFD, 0, r->vMinHz, r->vMaxHz, r->hMinKHz, r->hMaxKHz, r->maxClock10MHz,
                               0, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
        std::copy(d, d + 18, e.begin() + static_cast<long>(at));
        at += 18;
    }
    if (!f.monitorName.empty()) {
        // 0, 0, 0, tag 0xFC, 0, then 13 bytes ended by 0x0A and padded with
        // spaces.
        e[at + 3] = 0xFC;
        for (size_t i = 0; i < 13; ++i) {
            uint8_t c = 0x20;
            if (i < f.monitorName.size())
                c = static_cast<uint8_t>(f.monitorName[i]);
            else if (i == f.monitorName.size())
                c = 0x0A;
            e[at + 5 + i] = c;
        }
        at += 18;
    }
    // Unused descriptors: dummy descriptors (tag 0x10).
    for (; at < 126; at += 18)
        e[at + 3] = 0x10;
    unsigned sum = 0;
    for (size_t i = 0; i < 127; ++i)
        sum += e[i];
    e[127] = static_cast<uint8_t>((256 - (sum & 0xFF)) & 0xFF);
    return e;
}

SfpIdentity ModuleIdentity(uint8_t identifier, uint8_t extIdentifier, uint8_t connector, const std::string& partNumber)
{
    SfpIdentity id;
    id.identifier = identifier;
    id.extIdentifier = extIdentifier;
    id.connector = connector;
    id.partNumber = partNumber;
    return id;
}
