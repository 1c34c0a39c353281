#include "RemoteMsgHeader.h"

void RemoteMsgHeader::Encode(uint8_t* out) const
{
    PutU32(out + 0, magic);
    PutU16(out + 4, type);
    PutU16(out + 6, cmdId);
    PutU16(out + 8, length);
    PutU16(out + 10, spare);
    PutU32(out + 12, item);
    PutU32(out + 16, value);
}

bool RemoteMsgHeader::Decode(const uint8_t* in, size_t size)
{
    if (in == nullptr || size < kRemoteHeaderSize)
        return false;
    magic = GetU32(in + 0);
    type = GetU16(in + 4);
    cmdId = GetU16(in + 6);
    length = GetU16(in + 8);
    spare = GetU16(in + 10);
    item = GetU32(in + 12);
    value = GetU32(in + 16);
    return true;
}
