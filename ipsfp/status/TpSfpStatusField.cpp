#include "TpSfpStatusField.h"

#include "SfpFieldTables.h"
#include "board/SfpBoard.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"

#include <array>
#include <cstring>

namespace {

SfpReadings g_readings;

void SetStoreText(unsigned cmdId, const std::string& text)
{
    if (TpStore* store = TpStore::Instance())
        store->SetText(cmdId, text);
}

bool Is(const SfpFieldDesc& d, const char* label) { return std::strcmp(d.label, label) == 0; }

// Reads registers first..last of the device into image; false when one read
// failed (its byte keeps what image held).
bool ReadRegisters(uint8_t device, int first, int last, std::array<uint8_t, 256>& image)
{
    bool ok = true;
    for (int r = first; r <= last; ++r) {
        if (r < 0 || r > 255 || !i2c_read_byte(device, static_cast<uint8_t>(r), &image[static_cast<size_t>(r)]))
            ok = false;
    }
    return ok;
}

} // namespace

SfpReadings& SfpStatusReadings() { return g_readings; }
void ResetSfpStatusReadings() { g_readings = SfpReadings{}; }

TpSfpStatusField::TpSfpStatusField(TpCommand* owner, uint32_t item, const SfpFieldDesc& desc)
    : owner_(owner), item_(item), desc_(desc)
{
    if (desc_.label == nullptr)
        desc_.label = "";
}

TpSfpStatusField::TpSfpStatusField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                                   uint8_t count, const char* text)
    : TpSfpStatusField(owner, item, {label, kSfpFixed, device, reg, count, 1, text, 0, 0})
{
}

void TpSfpStatusField::Show()
{
    if (owner_ == nullptr)
        return;
    const int item = static_cast<int>(item_);
    owner_->SetItemTextAll(item, desc_.label);
    owner_->SetItemColoursAll(item, kSfpLabelColour, kSfpListBackground);

    // A failed read leaves its byte zero ('?' in text); the value shows red.
    std::array<uint8_t, 256> image{};
    bool ok = true;
    if (desc_.kind >= kSfpDec && desc_.kind <= kSfpCustomTime) {
        if (desc_.kind == kSfpAscii)
            std::memset(image.data() + desc_.reg, '?', std::min<size_t>(desc_.count, 256u - desc_.reg));
        ok = ReadRegisters(desc_.device, desc_.reg, desc_.reg + desc_.count - 1, image);
        if (desc_.kind == kSfpChecksum)
            ok = ReadRegisters(desc_.device, desc_.p2, desc_.p3, image) && ok;
    }
    const SfpFieldText value = FormatSfpField(desc_, image, ok);
    owner_->SetItemTextAll(item + 1, value.text);
    if (value.colour != 0)
        owner_->SetItemColoursAll(item + 1, value.colour, kSfpListBackground);
    if (ok)
        Publish(value);
}

TpSfpDecField::TpSfpDecField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                             uint8_t count, uint8_t isStatic, const char* format, int32_t scale, int32_t base)
    : TpSfpStatusField(owner, item, {label, kSfpDec, device, reg, count, isStatic, format, scale, base})
{
}

TpSfpHexField::TpSfpHexField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                             uint8_t count, uint8_t isStatic, const char* format)
    : TpSfpStatusField(owner, item, {label, kSfpHex, device, reg, count, isStatic, format, 0, 0})
{
}

void TpSfpHexField::Publish(const SfpFieldText& value)
{
    if (Is(Desc(), "Firmware"))
        SetStoreText(kSfpFirmwareTextCmd, value.text);
}

TpSfpChecksumField::TpSfpChecksumField(TpCommand* owner, const char* label, uint32_t item, uint8_t device,
                                       uint8_t reg, uint8_t count, uint8_t isStatic, uint8_t first, uint8_t last)
    : TpSfpHexField(owner, item, {label, kSfpChecksum, device, reg, count, isStatic, "%.2xh", first, last})
{
}

TpSfpAsciiField::TpSfpAsciiField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                                 uint8_t count, uint8_t isStatic)
    : TpSfpStatusField(owner, item, {label, kSfpAscii, device, reg, count, isStatic, nullptr, 0, 0})
{
}

TpSfpFloatField::TpSfpFloatField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                                 uint8_t count, uint8_t isStatic, const char* format, int32_t divisor)
    : TpSfpStatusField(owner, item, {label, kSfpFloat, device, reg, count, isStatic, format, divisor, 0})
{
}

void TpSfpFloatField::Publish(const SfpFieldText& value)
{
    if (Is(Desc(), "Vcc Hi Alm"))
        g_readings.supplyHighAlarm = value.reading;
    else if (Is(Desc(), "Vcc Lo Alm"))
        g_readings.supplyLowAlarm = value.reading;
    else if (Is(Desc(), "Vcc"))
        g_readings.supply = value.reading;
}

TpSfpTempField::TpSfpTempField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                               uint8_t count, uint8_t isStatic, const char* format, int32_t offset, int32_t divisor)
    : TpSfpStatusField(owner, item, {label, kSfpTemp, device, reg, count, isStatic, format, offset, divisor})
{
}

void TpSfpTempField::Publish(const SfpFieldText& value)
{
    if (Is(Desc(), "Tmp Hi Alm"))
        g_readings.tempHighAlarm = value.reading;
    else if (Is(Desc(), "Temp"))
        g_readings.temperature = value.reading;
}

TpSfpDbmField::TpSfpDbmField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                             uint8_t count, uint8_t isStatic, const char* format)
    : TpSfpStatusField(owner, item, {label, kSfpDbm, device, reg, count, isStatic, format, 0, 0})
{
}

TpSfpCustomDateField::TpSfpCustomDateField(TpCommand* owner, const char* label, uint32_t item, uint8_t device,
                                           uint8_t reg, uint8_t count, uint8_t isStatic)
    : TpSfpStatusField(owner, item, {label, kSfpCustomDate, device, reg, count, isStatic, nullptr, 0, 0})
{
}

void TpSfpCustomDateField::Publish(const SfpFieldText& value) { SetStoreText(kSfpDateTextCmd, value.text); }

TpSfpCustomTimeField::TpSfpCustomTimeField(TpCommand* owner, const char* label, uint32_t item, uint8_t device,
                                           uint8_t reg, uint8_t count, uint8_t isStatic)
    : TpSfpStatusField(owner, item, {label, kSfpCustomTime, device, reg, count, isStatic, nullptr, 0, 0})
{
}

void TpSfpCustomTimeField::Publish(const SfpFieldText& value) { SetStoreText(kSfpTimeTextCmd, value.text); }

std::unique_ptr<TpSfpStatusField> MakeSfpField(TpCommand* owner, uint32_t item, const SfpFieldDesc& d)
{
    const auto first = static_cast<uint8_t>(d.p2);
    const auto last = static_cast<uint8_t>(d.p3);
    switch (d.kind) {
    case kSfpDec:
        return std::make_unique<TpSfpDecField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, d.format, d.p2, d.p3);
    case kSfpHex:
        return std::make_unique<TpSfpHexField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, d.format);
    case kSfpChecksum:
        return std::make_unique<TpSfpChecksumField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, first, last);
    case kSfpAscii:
        return std::make_unique<TpSfpAsciiField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic);
    case kSfpFloat:
        return std::make_unique<TpSfpFloatField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, d.format, d.p2);
    case kSfpTemp:
        return std::make_unique<TpSfpTempField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, d.format, d.p2, d.p3);
    case kSfpDbm:
        return std::make_unique<TpSfpDbmField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic, d.format);
    case kSfpCustomDate:
        return std::make_unique<TpSfpCustomDateField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic);
    case kSfpCustomTime:
        return std::make_unique<TpSfpCustomTimeField>(owner, d.label, item, d.device, d.reg, d.count, d.isStatic);
    default:
        return std::make_unique<TpSfpStatusField>(owner, d.label, item, d.device, d.reg, d.count, d.format);
    }
}

uint32_t BuildFieldList(TpCommand* owner, uint32_t item, std::span<const SfpFieldDesc> table, SfpFieldList& fields)
{
    for (const SfpFieldDesc& row : table) {
        fields.push_back(MakeSfpField(owner, item, row));
        item += 2;
    }
    return item;
}

void BuildSfpStatusFields(TpCommand* owner, SfpType type, SfpFieldList& fields)
{
    fields.clear();
    uint32_t item = BuildFieldList(owner, 0, SfpTypeFieldTable(type), fields);
    for (; item < kSfpCommonFirstItem; item += 2)
        fields.push_back(std::make_unique<TpSfpStatusField>(owner, "", item, 0, 0, 0, nullptr));
    BuildFieldList(owner, kSfpCommonFirstItem, SfpCommonFieldTable(), fields);
}
