// An editor of one IPv4 address: four octet commands with consecutive ids,
// first octet first. Every change of an octet is passed on to the editor's
// parent with the editor as the child.
#pragma once

#include "core/store/TpParent.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// One octet: its value is kept to 0-255.
class TpIpOctet : public TpChildCmd {
public:
    TpIpOctet(TpCommand* parent, uint16_t cmdId);
    int32_t SetValue(int32_t value) override;
};

class TpIpAddress : public TpParent {
public:
    // The octets get the ids firstOctetId to firstOctetId + 3.
    TpIpAddress(TpCommand* parent, uint16_t firstOctetId);
    ~TpIpAddress() override;

    void OnChildChanged(TpCommand* child, int reason) override;

    // Enabled / visible flag to the four octets (every view of them).
    virtual void EnableOctets(bool enabled);
    virtual void ShowOctets(bool visible);

    // Reads four numbers, each the decimal digits up to the next "." (a "."
    // at the start gives 0), and gives them to the octets; missing numbers
    // give 0.
    void SetFromText(const std::string& text);
    // First octet in the top byte.
    uint32_t GetAddress() const;
    int32_t Octet(int index) const;
    uint16_t FirstOctetId() const { return firstId_; }
    // "%ld.%ld.%ld.%ld" of the four octets.
    std::string Text() const;

private:
    uint16_t firstId_;
    std::array<std::unique_ptr<TpIpOctet>, 4> octets_;
};

// "%u.%u.%u.%u" of an address held first octet in the top byte.
std::string FormatAddress(uint32_t address);
