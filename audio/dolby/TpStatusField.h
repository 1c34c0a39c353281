// One row of a status list: a label item and a value item kept by a small
// formatter that watches one u16 of a status record. The row is redrawn only
// when the watched value changes, and every change shown is logged as an
// event (information, the label's text number as code, the new text).
#pragma once

#include "DolbyStatusTables.h"
#include "core/store/Colours.h"
#include "core/store/TpBase.h"

#include <cstdint>
#include <string>

class TpCommand;

// A status text of one number through a printf format ("%d", "%ddB").
std::string FormatStatusInt(const char* format, int v);

class TpStatusField : public TpBase {
public:
    // list: the list command (label at valueItem - 1); source: the logging
    // switch of the row's events; value: the watched word; absent: the word
    // that tells whether there is a value (none: value itself).
    TpStatusField(TpCommand* list, const TpCommand* source, const uint16_t* value, int valueItem, unsigned label,
                  int16_t maximum, uint16_t mask, DolbyNames names = kDolbyNoNames, const uint16_t* absent = nullptr);

    // Redraws the row when the value changed since it was last shown.
    void Update();
    // The next Update redraws whatever the value.
    void Force() { last_ = kForced; }

protected:
    virtual std::string GetValueText(uint16_t v) const;
    // True when the row shows empty and grey: the absent word is negative.
    virtual bool Absent() const { return (*absent_ & 0x8000) != 0; }
    virtual uint32_t ValueColour(uint16_t v) const { return Colour::kWhite; }
    virtual bool Logs(const std::string& text) const { return true; }
    std::string NameOf(uint16_t v) const;

    const uint16_t* absent_;
    int16_t maximum_;

private:
    static constexpr int32_t kNeverShown = -1;
    static constexpr int32_t kForced = -2;
    static constexpr int32_t kAbsentKey = 0x10000;

    TpCommand* list_;
    const TpCommand* source_;
    const uint16_t* value_;
    int valueItem_;
    unsigned label_;
    uint16_t mask_;
    DolbyNames names_;
    int32_t last_ = kNeverShown;
};

// The display name of a Dolby E programme configuration.
class TpConfigField : public TpStatusField {
public:
    using TpStatusField::TpStatusField;

protected:
    std::string GetValueText(uint16_t v) const override;
};

// The AC-3 mode: red unless it is the mode the configuration expects.
class TpAcModeField : public TpStatusField {
public:
    using TpStatusField::TpStatusField;
    void SetExpected(uint16_t mode);

protected:
    uint32_t ValueColour(uint16_t v) const override { return v == expected_ ? Colour::kWhite : Colour::kRed; }

private:
    uint16_t expected_ = 0xFFFF;
};

// A plain number, taken unsigned; nothing above the maximum. Absent (empty
// and grey) when the word is 0xFFFF.
class TpStatusNumField : public TpStatusField {
public:
    using TpStatusField::TpStatusField;

protected:
    std::string GetValueText(uint16_t v) const override;
    bool Absent() const override { return *absent_ == 0xFFFF; }
    bool Logs(const std::string& text) const override { return !text.empty(); }
};

// A level in dB, the value taken as a signed byte. Absent when the absent
// word is 0xFFFF, so a level of -1 dB is still shown.
class TpStatusDBField : public TpStatusField {
public:
    using TpStatusField::TpStatusField;

protected:
    std::string GetValueText(uint16_t v) const override;
    bool Absent() const override { return *absent_ == 0xFFFF; }
};

// A level coded as dB + 51 (6 bits), with a text of its own for code 0.
class TpScaledDbField : public TpStatusDBField {
public:
    static constexpr int16_t kMaximum = 63;
    TpScaledDbField(TpCommand* list, const TpCommand* source, const uint16_t* value, int valueItem, unsigned label,
                    const char* zeroText);

protected:
    std::string GetValueText(uint16_t v) const override;

private:
    const char* zeroText_;
};
