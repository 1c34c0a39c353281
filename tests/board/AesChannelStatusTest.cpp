// The AES3 channel-status reads and the CRCC register, checked against the
// catalogued CRC-8/AES (poly 0x1D, init 0xFF, reflected: check 0x97, residue 0).
#include "BoardTest.h"
#include "FakeAesReceiver.h"

#include "board/AesChannelStatus.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class AesChannelStatus : public BoardTest {};

uint8_t Crcc(const std::vector<uint8_t>& bytes)
{
    aes_crc_init();
    for (uint8_t b : bytes)
        aes_crc_add_byte(b);
    return aes_crc_get();
}

bool AllZero(const uint8_t* block)
{
    for (size_t i = 0; i < kAesStatusBytes; ++i)
        if (block[i] != 0)
            return false;
    return true;
}

} // namespace

TEST_F(AesChannelStatus, CrccMatchesTheCatalogue)
{
    const std::string check = "123456789";
    EXPECT_EQ(Crcc({check.begin(), check.end()}), 0x97);
    EXPECT_EQ(Crcc({}), 0xFF) << "preset to all ones";
    aes_crc_add_byte(0x12);
    EXPECT_EQ(Crcc({check.begin(), check.end()}), 0x97) << "init starts the register again";

    std::vector<uint8_t> block(23, 0);
    EXPECT_EQ(Crcc(block), 0xB0);
    block[0] = 0x01;   // professional use, everything else default
    EXPECT_EQ(Crcc(block), 0x32);
    // A whole block with its CRCC leaves the residue zero.
    block[0] = 0x85, block[2] = 0x2C, block[3] = 0x02;
    block.push_back(Crcc(block));
    EXPECT_EQ(Crcc(block), 0x00);
}

TEST_F(AesChannelStatus, ReadsFillEveryByteOfTheBlock)
{
    uint8_t block[kAesStatusBytes];
    for (int input : {0, 1}) {
        std::memset(block, 0xAA, sizeof block);
        EXPECT_EQ(aes_rx_status_ok(input, block), 1);
        EXPECT_TRUE(AllZero(block));
    }
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_crc_reset_ctx(block), 1);
    EXPECT_TRUE(AllZero(block)) << "all 24 bytes, not only the first eight";
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_rx_status_ok(2, block), 0);
    EXPECT_TRUE(AllZero(block));
    EXPECT_EQ(aes_rx_status_ok(0, nullptr), 0);
    EXPECT_EQ(aes_crc_reset_ctx(nullptr), 0);

    // An installed receiver supplies the blocks; a failed read leaves zeros.
    FakeAesReceiver fake;
    for (size_t i = 0; i < kAesStatusBytes; ++i) {
        fake.inputs[1][i] = static_cast<uint8_t>(0x80 + i);
        fake.embedded[i] = static_cast<uint8_t>(0x40 + i);
    }
    SetAesReceiver(&fake);
    ASSERT_EQ(aes_rx_status_ok(1, block), 1);
    EXPECT_EQ(0, std::memcmp(block, fake.inputs[1].data(), kAesStatusBytes));
    ASSERT_EQ(aes_crc_reset_ctx(block), 1);
    EXPECT_EQ(0, std::memcmp(block, fake.embedded.data(), kAesStatusBytes));
    fake.fail = true;
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_rx_status_ok(0, block), 0);
    EXPECT_TRUE(AllZero(block));
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_crc_reset_ctx(block), 0);
    EXPECT_TRUE(AllZero(block));
    SetAesReceiver(nullptr);
    EXPECT_EQ(aes_rx_status_ok(1, block), 1);
}
