// The Dolby generator's metadata controls. A TpDolbyField is a command bound
// to a bit field of the loaded stream: setting its value writes the value's
// code straight into the stream's bits, so a parse of the stream reads the
// edit back. TpProgramData is one programme: its description and its
// metadata fields.
#pragma once

#include "DolbyGenTables.h"
#include "core/store/TpChildCmd.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TpDolbyField : public TpChildCmd {
public:
    TpDolbyField(TpCommand* parent, uint16_t cmdId, uint8_t width);

    // Stores the value, writes it into the stream when bound and visible,
    // then tells the parent.
    int32_t SetValue(int32_t value) override;

    // Binds the field to the bits from bitPos of data; only a field that lies
    // wholly inside the data is bound. Returns whether it was.
    bool Bind(const std::shared_ptr<uint8_t[]>& data, uint32_t size, uint64_t bitPos);
    void Unbind();
    bool IsBound() const { return data_ != nullptr; }
    // The code the bound bits hold now (0 when unbound).
    uint32_t ReadCode() const;
    // Writes the code of the current value into the bound bits, touching no
    // other bit (nothing when unbound or hidden).
    void WriteStream();

protected:
    // The code written for a value.
    virtual uint32_t Code(int32_t value) const { return static_cast<uint32_t>(value); }

private:
    uint8_t width_;
    std::shared_ptr<uint8_t[]> data_;   // the stream the field is bound into
    uint32_t byte_ = 0;                 // first byte of the window
    uint8_t bytes_ = 0;                 // bytes the field covers (the big-endian window)
    uint8_t shift_ = 0;
    uint32_t mask_ = 0;
};

// A level: the code is ((negate ? -value : value) - offset) & 31.
class TpDolbyDBField : public TpDolbyField {
public:
    TpDolbyDBField(TpCommand* parent, uint16_t cmdId, uint8_t width, bool negate, int32_t offset);

protected:
    uint32_t Code(int32_t value) const override;

private:
    bool negate_;
    int32_t offset_;
};

// A 4-bit frame-rate code 0-5, shown as its rate; other values become 0.
class TpDolbyFrameRate : public TpDolbyField {
public:
    TpDolbyFrameRate(TpCommand* parent, uint16_t cmdId);
    int32_t SetValue(int32_t value) override;
};

// One programme: the description (its text, at most kMaxDescription
// characters) and the metadata fields in dolby_field_rows order.
class TpProgramData : public TpChildCmd {
public:
    static constexpr size_t kMaxDescription = 30;

    // idOffset: 0 for the programme being edited, p + 1 for stored programme p.
    TpProgramData(TpCommand* parent, uint16_t idOffset);

    // A longer text is cut and the cut text given to every view of the id.
    void SetText(const std::string& text) override;

    TpDolbyField& Field(int index) { return *fields_[static_cast<size_t>(index)]; }
    bool Owns(const TpCommand* cmd) const;

private:
    std::array<std::unique_ptr<TpDolbyField>, kDolbyFieldCount> fields_;
};
