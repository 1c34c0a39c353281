// The AES3 channel-status reads and the CRCC register. The CRCC is checked
// against the catalogued CRC-8/AES (width 8, polynomial 0x1D, init 0xFF,
// reflected in and out: check value 0x97, residue 0x00) and against a
// bit-by-bit model of the shift register as described.
#include "BoardTest.h"
#include "FakeAesReceiver.h"

#include "board/AesChannelStatus.h"

#include <array>
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

// Stages s[0..7] hold the coefficients of x^0..x^7; data enters least
// significant bit first; the read-back byte has stage 0 as its top bit.
uint8_t ShiftRegisterModel(const std::vector<uint8_t>& bytes)
{
    bool s[8];
    for (bool& stage : s)
        stage = true;
    for (uint8_t byte : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool feedback = (((byte >> bit) & 1) != 0) != s[7];
            for (int i = 7; i > 0; --i)
                s[i] = s[i - 1];
            s[0] = feedback;
            if (feedback) {   // x^4 + x^3 + x^2 (+ 1 entered above)
                s[2] = !s[2];
                s[3] = !s[3];
                s[4] = !s[4];
            }
        }
    }
    uint8_t out = 0;
    for (int i = 0; i < 8; ++i)
        if (s[i])
            out = static_cast<uint8_t>(out | (0x80 >> i));
    return out;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

} // namespace

TEST_F(AesChannelStatus, CrccMatchesTheCatalogue)
{
    EXPECT_EQ(Crcc(Bytes("123456789")), 0x97);
    EXPECT_EQ(Crcc({}), 0xFF) << "preset to all ones";
    aes_crc_add_byte(0x12);
    EXPECT_EQ(Crcc(Bytes("123456789")), 0x97) << "init starts the register again";
}

TEST_F(AesChannelStatus, CrccMatchesTheShiftRegisterModel)
{
    std::vector<std::vector<uint8_t>> blocks;
    blocks.push_back(std::vector<uint8_t>(23, 0));
    std::vector<uint8_t> first(23, 0);
    first[0] = 0x01;   // professional use, everything else default
    blocks.push_back(first);
    uint32_t state = 12345;
    for (int n = 0; n < 20; ++n) {
        std::vector<uint8_t> block(23);
        for (uint8_t& b : block) {
            state = state * 1103515245u + 12345u;
            b = static_cast<uint8_t>(state >> 16);
        }
        blocks.push_back(block);
    }
    for (const auto& block : blocks)
        EXPECT_EQ(Crcc(block), ShiftRegisterModel(block));
    EXPECT_EQ(Crcc(blocks[0]), 0xB0);
    EXPECT_EQ(Crcc(blocks[1]), 0x32);
}

TEST_F(AesChannelStatus, WholeBlockWithItsCrccLeavesZero)
{
    std::vector<uint8_t> block = {0x85, 0x00, 0x2C, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    block.push_back(Crcc(block));
    EXPECT_EQ(Crcc(block), 0x00);
}

TEST_F(AesChannelStatus, ReadsFillEveryByteOfTheBlock)
{
    uint8_t block[kAesStatusBytes];
    for (int input : {0, 1}) {
        std::memset(block, 0xAA, sizeof block);
        EXPECT_EQ(aes_rx_status_ok(input, block), 1);
        for (uint8_t b : block)
            EXPECT_EQ(b, 0);
    }
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_crc_reset_ctx(block), 1);
    for (uint8_t b : block)
        EXPECT_EQ(b, 0) << "all 24 bytes, not only the first eight";

    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_rx_status_ok(2, block), 0);
    for (uint8_t b : block)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(aes_rx_status_ok(0, nullptr), 0);
    EXPECT_EQ(aes_crc_reset_ctx(nullptr), 0);
}

TEST_F(AesChannelStatus, InstalledReceiverSuppliesTheBlocks)
{
    FakeAesReceiver fake;
    for (size_t i = 0; i < kAesStatusBytes; ++i) {
        fake.inputs[0][i] = static_cast<uint8_t>(i);
        fake.inputs[1][i] = static_cast<uint8_t>(0x80 + i);
        fake.embedded[i] = static_cast<uint8_t>(0x40 + i);
    }
    SetAesReceiver(&fake);
    uint8_t block[kAesStatusBytes];
    ASSERT_EQ(aes_rx_status_ok(1, block), 1);
    EXPECT_EQ(0, std::memcmp(block, fake.inputs[1].data(), kAesStatusBytes));
    ASSERT_EQ(aes_crc_reset_ctx(block), 1);
    EXPECT_EQ(0, std::memcmp(block, fake.embedded.data(), kAesStatusBytes));

    fake.fail = true;
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_rx_status_ok(0, block), 0);
    EXPECT_EQ(block[23], 0);
    std::memset(block, 0xAA, sizeof block);
    EXPECT_EQ(aes_crc_reset_ctx(block), 0);
    EXPECT_EQ(block[23], 0);

    SetAesReceiver(nullptr);
    EXPECT_EQ(aes_rx_status_ok(1, block), 1);
    EXPECT_EQ(block[0], 0);
}
