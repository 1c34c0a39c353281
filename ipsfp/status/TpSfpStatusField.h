// The fields of the SFP status list. Each field reads its bytes from one of
// the module's two-wire devices, formats them (SfpFieldFormat.h) and writes
// its label to item n and its value to item n + 1 of the owner list. The
// supply and temperature fields keep the process-wide readings the SFP logger
// checks; the firmware, date and time fields copy their text to the store.
#pragma once

#include "SfpFieldFormat.h"
#include "SfpModuleTable.h"

#include <memory>
#include <span>
#include <vector>

class TpCommand;

// Store commands that receive field texts.
constexpr unsigned kSfpFirmwareTextCmd = 3411;
constexpr unsigned kSfpDateTextCmd = 3412;
constexpr unsigned kSfpTimeTextCmd = 3413;

// The last readings of the module (volts, degrees C); the initial values hold
// until a field has been shown.
struct SfpReadings {
    float supplyHighAlarm = 3.6f;
    float supplyLowAlarm = 3.0f;
    float supply = 3.23f;
    float tempHighAlarm = 85.0f;
    float temperature = 45.0f;
};
SfpReadings& SfpStatusReadings();
void ResetSfpStatusReadings();

// A fixed text (always static), and the base of the other fields.
class TpSfpStatusField {
public:
    TpSfpStatusField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                     const char* text);
    virtual ~TpSfpStatusField() = default;

    // Writes label and value into the owner's list; nothing without an owner.
    virtual void Show();

    const SfpFieldDesc& Desc() const { return desc_; }
    uint32_t Item() const { return item_; }
    bool IsStatic() const { return desc_.isStatic != 0; }

protected:
    TpSfpStatusField(TpCommand* owner, uint32_t item, const SfpFieldDesc& desc);
    // Hands a value read without failure on.
    virtual void Publish(const SfpFieldText& value) {}

private:
    TpCommand* owner_;
    uint32_t item_;
    SfpFieldDesc desc_;
};

class TpSfpDecField : public TpSfpStatusField {
public:
    TpSfpDecField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                  uint8_t isStatic, const char* format, int32_t scale, int32_t base);
};

class TpSfpHexField : public TpSfpStatusField {
public:
    TpSfpHexField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                  uint8_t isStatic, const char* format);

protected:
    TpSfpHexField(TpCommand* owner, uint32_t item, const SfpFieldDesc& desc) : TpSfpStatusField(owner, item, desc) {}
    void Publish(const SfpFieldText& value) override;
};

class TpSfpChecksumField : public TpSfpHexField {
public:
    TpSfpChecksumField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                       uint8_t isStatic, uint8_t first, uint8_t last);
};

class TpSfpAsciiField : public TpSfpStatusField {
public:
    TpSfpAsciiField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                    uint8_t isStatic);
};

class TpSfpFloatField : public TpSfpStatusField {
public:
    TpSfpFloatField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                    uint8_t isStatic, const char* format, int32_t divisor);

protected:
    void Publish(const SfpFieldText& value) override;
};

class TpSfpTempField : public TpSfpStatusField {
public:
    TpSfpTempField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                   uint8_t isStatic, const char* format, int32_t offset, int32_t divisor);

protected:
    void Publish(const SfpFieldText& value) override;
};

class TpSfpDbmField : public TpSfpStatusField {
public:
    TpSfpDbmField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg, uint8_t count,
                  uint8_t isStatic, const char* format);
};

class TpSfpCustomDateField : public TpSfpStatusField {
public:
    TpSfpCustomDateField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                         uint8_t count, uint8_t isStatic);

protected:
    void Publish(const SfpFieldText& value) override;
};

class TpSfpCustomTimeField : public TpSfpStatusField {
public:
    TpSfpCustomTimeField(TpCommand* owner, const char* label, uint32_t item, uint8_t device, uint8_t reg,
                         uint8_t count, uint8_t isStatic);

protected:
    void Publish(const SfpFieldText& value) override;
};

using SfpFieldList = std::vector<std::unique_ptr<TpSfpStatusField>>;

// The field of the descriptor's kind at item (kinds above 9 are fixed texts).
std::unique_ptr<TpSfpStatusField> MakeSfpField(TpCommand* owner, uint32_t item, const SfpFieldDesc& desc);

// Appends one field per row from item on, two items each; returns the next
// free item.
uint32_t BuildFieldList(TpCommand* owner, uint32_t item, std::span<const SfpFieldDesc> table, SfpFieldList& fields);

// Replaces fields by the whole list of a module type: its type fields, blanks
// up to item 25, the common identity fields from item 26.
void BuildSfpStatusFields(TpCommand* owner, SfpType type, SfpFieldList& fields);
