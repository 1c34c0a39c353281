#include "TpDolbyField.h"

#include "platform/DebugOut.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr uint8_t kMaxFieldWidth = 24;
constexpr const char* frame_rate_texts[] = {"res", "23.98", "24", "25", "29.97", "30"};
}

TpDolbyField::TpDolbyField(TpCommand* parent, uint16_t cmdId, uint8_t width)
    : TpChildCmd(parent, cmdId, kKeepsValue), width_(width)
{
    if (width_ > kMaxFieldWidth) {
        DebugPrintf("ERROR: Field too wide: %ud=%d(>24)\n", cmdId, width_);
        width_ = kMaxFieldWidth;
    }
}

int32_t TpDolbyField::SetValue(int32_t value)
{
    TpCommand::SetValue(value);
    WriteStream();
    Report(kReasonValue);
    return value_;
}

bool TpDolbyField::Bind(const std::shared_ptr<uint8_t[]>& data, uint32_t size, uint64_t bitPos)
{
    Unbind();
    if (!data || width_ == 0 || bitPos + width_ > static_cast<uint64_t>(size) * 8)
        return false;
    const unsigned first = static_cast<unsigned>(bitPos % 8);
    data_ = data;
    byte_ = static_cast<uint32_t>(bitPos / 8);
    bytes_ = static_cast<uint8_t>((first + width_ + 7) / 8);
    shift_ = static_cast<uint8_t>(bytes_ * 8 - first - width_);
    mask_ = ((1u << width_) - 1) << shift_;
    return true;
}

void TpDolbyField::Unbind()
{
    data_.reset();
}

uint32_t TpDolbyField::ReadCode() const
{
    if (!data_)
        return 0;
    uint32_t window = 0;
    for (unsigned i = 0; i < bytes_; ++i)
        window = window << 8 | data_[byte_ + i];
    return (window & mask_) >> shift_;
}

void TpDolbyField::WriteStream()
{
    if (!data_ || !IsVisible())
        return;
    const uint32_t bits = (Code(value_) << shift_) & mask_;
    for (unsigned i = 0; i < bytes_; ++i) {
        const unsigned down = 8 * (bytes_ - 1 - i);
        const uint8_t keep = static_cast<uint8_t>(~(mask_ >> down));
        uint8_t& byte = data_[byte_ + i];
        byte = static_cast<uint8_t>((byte & keep) | (bits >> down));
    }
}

TpDolbyDBField::TpDolbyDBField(TpCommand* parent, uint16_t cmdId, uint8_t width, bool negate, int32_t offset)
    : TpDolbyField(parent, cmdId, width), negate_(negate), offset_(offset)
{
}

uint32_t TpDolbyDBField::Code(int32_t value) const
{
    return static_cast<uint32_t>((negate_ ? -value : value) - offset_) & 31u;
}

TpDolbyFrameRate::TpDolbyFrameRate(TpCommand* parent, uint16_t cmdId) : TpDolbyField(parent, cmdId, 4)
{
    text_ = frame_rate_texts[0];
}

int32_t TpDolbyFrameRate::SetValue(int32_t value)
{
    const bool reserved = value < 0 || value >= static_cast<int32_t>(std::size(frame_rate_texts));
    if (reserved)
        value = 0;
    text_ = frame_rate_texts[value];
    const int32_t kept = TpDolbyField::SetValue(value);
    // The views of the id that took the refused value show the one kept.
    if (reserved)
        SetValueAll(kept);
    return kept;
}

TpProgramData::TpProgramData(TpCommand* parent, uint16_t idOffset)
    : TpChildCmd(parent, static_cast<uint16_t>(COM_GEN_DOLBY_PGM_DESCRIPTION + idOffset), kKeepsText)
{
    for (int i = 0; i < kDolbyFieldCount; ++i) {
        const DolbyFieldRow& row = dolby_field_rows[i];
        const uint16_t id = static_cast<uint16_t>(row.baseId + idOffset);
        if (row.kind == DolbyFieldKind::Plain)
            fields_[static_cast<size_t>(i)] = std::make_unique<TpDolbyField>(parent, id, row.width);
        else
            fields_[static_cast<size_t>(i)] =
                std::make_unique<TpDolbyDBField>(parent, id, row.width, row.kind == DolbyFieldKind::DbNegated, 0);
    }
}

void TpProgramData::SetText(const std::string& text)
{
    if (text.size() <= kMaxDescription) {
        TpChildCmd::SetText(text);
        return;
    }
    const std::string cut = text.substr(0, kMaxDescription);
    TpCommand::SetText(cut);
    SetTextAll(cut);
    Report(kReasonText);
}

bool TpProgramData::Owns(const TpCommand* cmd) const
{
    return std::any_of(fields_.begin(), fields_.end(), [cmd](const auto& f) { return f.get() == cmd; });
}
