// The 20-byte header shared by the remote-control protocol and the
// application queue. On the wire every field is little-endian, no padding:
//   0 u32 magic (requests and replies: 0xA55ACB12; queue: the origin word)
//   4 u16 type
//   6 u16 command id (MsgType::kKey: see KeySub)
//   8 u16 payload length
//  10 u16 spare
//  12 u32 item
//  16 u32 value or result
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kRemoteMagic = 0xA55ACB12u;
constexpr size_t kRemoteHeaderSize = 20;

struct RemoteMsgHeader {
    uint32_t magic = 0;
    uint16_t type = 0;
    uint16_t cmdId = 0;
    uint16_t length = 0;
    uint16_t spare = 0;
    uint32_t item = 0;
    uint32_t value = 0;

    // Writes the 20 wire bytes to out.
    void Encode(uint8_t* out) const;
    // Reads the 20 wire bytes; false when fewer than 20 bytes are given.
    bool Decode(const uint8_t* in, size_t size);
};

// Little-endian helpers for the wire formats.
inline void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t GetU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
