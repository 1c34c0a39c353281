#include "core/protocol/RemoteMsgHeader.h"
#include "core/protocol/RemoteProtocol.h"
#include "support/ZuTest.h"

namespace {

TEST(RemoteMsgHeader, WireBytesAreLittleEndianWithoutPaddingAndDecodeBack)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = ReplyType::kScreen;
    h.cmdId = 0x016C;
    h.length = 0x0102;
    h.spare = 0x0304;
    h.item = 391734;
    h.value = ResultWord::kBadItem;
    uint8_t wire[kRemoteHeaderSize];
    h.Encode(wire);
    const std::vector<uint8_t> expected = {0x12, 0xCB, 0x5A, 0xA5, 0x39, 0x00, 0x6C, 0x01, 0x02, 0x01,
                                           0x04, 0x03, 0x36, 0xFA, 0x05, 0x00, 0xFC, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(wire, wire + 20), expected);

    RemoteMsgHeader back;
    ASSERT_TRUE(back.Decode(wire, sizeof wire));
    uint8_t again[kRemoteHeaderSize];
    back.Encode(again);
    EXPECT_EQ(std::vector<uint8_t>(again, again + 20), expected);

    EXPECT_FALSE(back.Decode(wire, 19));
    EXPECT_FALSE(back.Decode(nullptr, 20));
}

} // namespace
