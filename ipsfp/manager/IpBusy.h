// The manager's busy byte: held while the manager writes its own controls, so
// that its change handler takes none of those writes for a user edit. Every
// part of the manager holds it around its own writes. Application thread only.
#pragma once

#include "IpStoreAccess.h"

#include <cstdint>

// Sets a busy byte for its lifetime and puts back what it held before, so a
// nested writer never clears an outer one.
class BusyGuard {
public:
    explicit BusyGuard(uint8_t& busy) : busy_(busy), saved_(busy) { busy_ = 1; }
    ~BusyGuard() { busy_ = saved_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    uint8_t& busy_;
    uint8_t saved_;
};

class IpBusy {
public:
    uint8_t Byte() const { return busy_; }
    [[nodiscard]] BusyGuard Hold() { return BusyGuard(busy_); }
    // Sets a control with the change handler quiet.
    void SetQuiet(unsigned cmdId, int32_t value)
    {
        BusyGuard guard(busy_);
        IpStoreAccess::StoreValue(cmdId, value);
    }

private:
    uint8_t busy_ = 0;
};
