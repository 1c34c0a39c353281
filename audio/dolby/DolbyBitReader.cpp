#include "DolbyBitReader.h"

DolbyBitReader::DolbyBitReader(const uint8_t* data, size_t size)
    : data_(data), sizeBits_(data != nullptr ? static_cast<uint64_t>(size) * 8 : 0)
{
}

uint32_t DolbyBitReader::ReadBits(unsigned n)
{
    if (n > 32) {
        SkipBits(n - 32);
        n = 32;
    }
    uint32_t value = 0;
    for (unsigned i = 0; i < n; ++i) {
        uint32_t bit = 0;
        if (position_ < sizeBits_) {
            bit = (data_[position_ / 8] >> (7 - position_ % 8)) & 1u;
            ++position_;
        } else {
            overrun_ = true;
        }
        value = (value << 1) | bit;
    }
    return value;
}

void DolbyBitReader::SkipBits(uint64_t n)
{
    SeekBit(n > sizeBits_ - position_ ? sizeBits_ + 1 : position_ + n);
}

void DolbyBitReader::SeekBit(uint64_t position)
{
    if (position > sizeBits_) {
        position_ = sizeBits_;
        overrun_ = true;
    } else {
        position_ = position;
    }
}
