#include "FakeTwoWireBus.h"

#include "FakeEmSfp.h"

#include <algorithm>

FakeTwoWireBus::Image* FakeTwoWireBus::ImageOf(uint8_t device)
{
    if (device == kDeviceA0)
        return &a0_;
    if (device == kDeviceA2)
        return &a2_;
    return nullptr;
}

bool FakeTwoWireBus::ReadByte(uint8_t device, uint8_t reg, uint8_t& value)
{
    Image* image = ImageOf(device);
    if (image == nullptr || failReads_.count({device, reg}) != 0)
        return false;
    ++reads_;
    value = shared_ != nullptr && device == kDeviceA0 && reg < 128 ? shared_->Peek(0, reg) : (*image)[reg];
    if (device == kDeviceA0 && reg == kEdidRequestRegister && busyLeft_ > 0) {
        --busyLeft_;
        value = static_cast<uint8_t>(value | 0x01);
    }
    return true;
}

bool FakeTwoWireBus::WriteByte(uint8_t device, uint8_t reg, uint8_t value)
{
    Image* image = ImageOf(device);
    if (image == nullptr)
        return false;
    writes_.push_back({device, reg, value});
    if (device == kDeviceA2 && reg == kEdidRequestRegister) {
        busyLeft_ = busyPolls_;
        return true;
    }
    (*image)[reg] = value;
    return true;
}

void FakeTwoWireBus::SetEdid(const std::array<uint8_t, 128>& block)
{
    std::copy(block.begin(), block.end(), a0_.begin() + 128);
}
