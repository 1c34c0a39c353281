#include "TpStatusField.h"

#include "core/text/TextTable.h"
#include "core/store/TpCommand.h"
#include "core/log/TpLogger.h"

#include <cstdio>

std::string FormatStatusInt(const char* format, int v)
{
    char text[48];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

TpStatusField::TpStatusField(TpCommand* list, const TpCommand* source, const uint16_t* value, int valueItem,
                             unsigned label, int16_t maximum, uint16_t mask, DolbyNames names,
                             const uint16_t* absent)
    : absent_(absent != nullptr ? absent : value), maximum_(maximum), list_(list), source_(source), value_(value),
      valueItem_(valueItem), label_(label), mask_(mask), names_(names)
{
    list_->SetItemTextAll(valueItem_ - 1, GetText(label_));
    list_->SetItemColoursAll(valueItem_ - 1, 0, Colour::kListBlue);
    list_->SetItemColoursAll(valueItem_, Colour::kWhite, Colour::kListBlue);
}

void TpStatusField::Update()
{
    const bool absent = Absent();
    const uint16_t v = static_cast<uint16_t>(*value_ & mask_);
    const int32_t key = absent ? kAbsentKey : v;
    if (key == last_)
        return;
    last_ = key;
    const std::string text = absent ? std::string() : GetValueText(v);
    list_->SetItemTextAll(valueItem_, text);
    list_->SetItemColoursAll(valueItem_, absent ? Colour::kGrey : ValueColour(v), Colour::kListBlue);
    list_->SetItemColoursAll(valueItem_ - 1, absent ? Colour::kGrey : 0, Colour::kListBlue);
    if (!absent && Logs(text))
        LogEvent(source_, kEventInfo, label_, text.c_str());
}

std::string TpStatusField::NameOf(uint16_t v) const
{
    if (names_.names != nullptr && v < names_.count)
        return names_.names[v];
    return FormatStatusInt("%d", v);
}

std::string TpStatusField::GetValueText(uint16_t v) const
{
    return static_cast<int16_t>(v) > maximum_ ? "???" : NameOf(v);
}

std::string TpConfigField::GetValueText(uint16_t v) const
{
    const DolbyEConfig* row = static_cast<int16_t>(v) > maximum_ ? nullptr : DolbyEConfigAt(v);
    return row != nullptr ? row->name : "???";
}

void TpAcModeField::SetExpected(uint16_t mode)
{
    if (mode != expected_)
        Force();
    expected_ = mode;
}

std::string TpStatusNumField::GetValueText(uint16_t v) const
{
    return v > static_cast<uint16_t>(maximum_) ? std::string() : FormatStatusInt("%d", v);
}

std::string TpStatusDBField::GetValueText(uint16_t v) const
{
    if (static_cast<int16_t>(v) > maximum_)
        return "???";
    return FormatStatusInt("%ddB", static_cast<int8_t>(v & 0xFF));
}

TpScaledDbField::TpScaledDbField(TpCommand* list, const TpCommand* source, const uint16_t* value, int valueItem,
                                 unsigned label, const char* zeroText)
    : TpStatusDBField(list, source, value, valueItem, label, kMaximum, kMaximum), zeroText_(zeroText)
{
}

std::string TpScaledDbField::GetValueText(uint16_t v) const
{
    if (v == 0)
        return zeroText_;
    if (static_cast<int16_t>(v) > maximum_)
        return "???";
    return FormatStatusInt("%ddB", v - 51);
}
