// Reads bits, most significant first, from a byte buffer of known size.
// Reads past the end give zeros and set a sticky overrun flag; the cursor
// never leaves the buffer.
#pragma once

#include <cstddef>
#include <cstdint>

class DolbyBitReader {
public:
    DolbyBitReader() = default;
    DolbyBitReader(const uint8_t* data, size_t size);

    // The next n bits (n up to 32; more are skipped first) as an unsigned
    // number, the first bit taken as the most significant. 0 for n = 0.
    uint32_t ReadBits(unsigned n);
    void SkipBits(uint64_t n);
    // Places the cursor at an absolute bit offset; past the end it parks at
    // the end and sets the overrun flag.
    void SeekBit(uint64_t position);

    uint64_t Position() const { return position_; }
    uint64_t SizeBits() const { return sizeBits_; }
    bool Overrun() const { return overrun_; }

private:
    const uint8_t* data_ = nullptr;
    uint64_t sizeBits_ = 0;
    uint64_t position_ = 0;
    bool overrun_ = false;
};
