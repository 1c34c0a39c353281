#include "core/RemoteMsgHeader.h"
#include "support/ZuTest.h"

namespace {

TEST(RemoteMsgHeader, WireBytesAreLittleEndianWithoutPadding)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = 0x0039;
    h.cmdId = 0x016C;
    h.length = 0x0102;
    h.spare = 0x0304;
    h.item = 391734;
    h.value = 0xFFFFFFFC;
    uint8_t wire[kRemoteHeaderSize];
    h.Encode(wire);
    const uint8_t expected[20] = {0x12, 0xCB, 0x5A, 0xA5, 0x39, 0x00, 0x6C, 0x01, 0x02, 0x01,
                                  0x04, 0x03, 0x36, 0xFA, 0x05, 0x00, 0xFC, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(wire, wire + 20), std::vector<uint8_t>(expected, expected + 20));

    RemoteMsgHeader back;
    ASSERT_TRUE(back.Decode(wire, sizeof wire));
    EXPECT_EQ(back.magic, kRemoteMagic);
    EXPECT_EQ(back.type, 0x39);
    EXPECT_EQ(back.cmdId, 0x016C);
    EXPECT_EQ(back.length, 0x0102);
    EXPECT_EQ(back.spare, 0x0304);
    EXPECT_EQ(back.item, 391734u);
    EXPECT_EQ(back.value, 0xFFFFFFFCu);

    EXPECT_FALSE(back.Decode(wire, 19));
    EXPECT_FALSE(back.Decode(nullptr, 20));
}

} // namespace
