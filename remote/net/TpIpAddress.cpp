#include "TpIpAddress.h"

#include <algorithm>
#include <cstdio>

TpIpOctet::TpIpOctet(TpCommand* parent, uint16_t cmdId) : TpChildCmd(parent, cmdId, kKeepsValue) {}

int32_t TpIpOctet::SetValue(int32_t value)
{
    return TpChildCmd::SetValue(std::clamp<int32_t>(value, 0, 255));
}

TpIpAddress::TpIpAddress(TpCommand* parent, uint16_t firstOctetId)
    : TpParent(parent, 0, kKeepsNothing), firstId_(firstOctetId)
{
    for (size_t i = 0; i < octets_.size(); ++i)
        octets_[i] = std::make_unique<TpIpOctet>(this, static_cast<uint16_t>(firstOctetId + i));
}

TpIpAddress::~TpIpAddress() = default;

void TpIpAddress::OnChildChanged(TpCommand* child, int reason)
{
    (void)child;
    if (TpCommand* parent = Parent())
        parent->OnChildChanged(this, reason);
}

void TpIpAddress::EnableOctets(bool enabled)
{
    for (auto& octet : octets_)
        octet->SetEnabledAll(enabled);
}

void TpIpAddress::ShowOctets(bool visible)
{
    for (auto& octet : octets_)
        octet->SetVisibleAll(visible);
}

void TpIpAddress::SetFromText(const std::string& text)
{
    size_t at = 0;
    for (auto& octet : octets_) {
        int32_t number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            number = std::min<int32_t>(number * 10 + (text[at] - '0'), 100000);
            ++at;
        }
        const size_t dot = text.find('.', at);
        at = dot == std::string::npos ? text.size() : dot + 1;
        octet->SetValueAll(number);
    }
}

int32_t TpIpAddress::Octet(int index) const
{
    return index >= 0 && index < 4 ? octets_[static_cast<size_t>(index)]->GetValue() : 0;
}

uint32_t TpIpAddress::GetAddress() const
{
    uint32_t address = 0;
    for (const auto& octet : octets_)
        address = (address << 8) | (static_cast<uint32_t>(octet->GetValue()) & 0xFF);
    return address;
}

std::string TpIpAddress::Text() const
{
    char text[48];
    std::snprintf(text, sizeof text, "%ld.%ld.%ld.%ld", static_cast<long>(Octet(0)), static_cast<long>(Octet(1)),
                  static_cast<long>(Octet(2)), static_cast<long>(Octet(3)));
    return text;
}

std::string FormatAddress(uint32_t address)
{
    char text[24];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF);
    return text;
}
