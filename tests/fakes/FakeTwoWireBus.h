// The module's two-wire devices with register images a test fills: device
// 0xA0 (identity, and the EDID block at 128-255 of an HDMI module) and 0xA2
// (diagnostics). Other devices do not answer. Reads of a register can be made
// to fail; writes are logged and stored in the image. An EDID request (a
// write to 0xA2 register 165) makes 0xA0 register 165 read busy (bit 0 set)
// for a chosen number of polls.
#pragma once

#include "sim/BoardDevices.h"

#include <array>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

class FakeEmSfp;

class FakeTwoWireBus : public TwoWireBus {
public:
    static constexpr uint8_t kDeviceA0 = 0xA0;
    static constexpr uint8_t kDeviceA2 = 0xA2;
    static constexpr uint8_t kEdidRequestRegister = 165;

    using Image = std::array<uint8_t, 256>;

    struct Write {
        uint8_t device = 0;
        uint8_t reg = 0;
        uint8_t value = 0;
        bool operator==(const Write&) const = default;
    };

    bool BusReady() override { return ready_; }
    bool ReadByte(uint8_t device, uint8_t reg, uint8_t& value) override;
    bool WriteByte(uint8_t device, uint8_t reg, uint8_t value) override;

    void SetReady(bool ready) { ready_ = ready; }
    void SetA0(const Image& image) { a0_ = image; }
    void SetA2(const Image& image) { a2_ = image; }
    // Places a 128-byte EDID block at 0xA0 registers 128-255.
    void SetEdid(const std::array<uint8_t, 128>& block);
    void SetEdidBusyPolls(int polls) { busyPolls_ = polls; }
    void FailReadOf(uint8_t device, uint8_t reg) { failReads_.insert({device, reg}); }
    // One module answers both buses: reads of 0xA0 registers 0-127 come from
    // the emSFP module's global registers (none: from the image).
    void ShareLowerHalf(const FakeEmSfp* module) { shared_ = module; }

    const Image& A0() const { return a0_; }
    const Image& A2() const { return a2_; }
    const std::vector<Write>& Writes() const { return writes_; }
    int Reads() const { return reads_; }

private:
    Image* ImageOf(uint8_t device);

    const FakeEmSfp* shared_ = nullptr;
    bool ready_ = true;
    Image a0_{};
    Image a2_{};
    int busyPolls_ = 0;
    int busyLeft_ = 0;
    int reads_ = 0;
    std::set<std::pair<uint8_t, uint8_t>> failReads_;
    std::vector<Write> writes_;
};
