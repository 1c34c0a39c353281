// The frame store and the status registers keep what is written and never
// read or write outside themselves, whatever address and count they get
// (the "dumpdolby" console command passes both straight from the user).
#include "BoardTest.h"

#include "board/BoardReset.h"
#include "board/FrameStore.h"

#include <vector>

namespace {
class FrameStore : public BoardTest {};
} // namespace

TEST_F(FrameStore, KeepsWhatIsWritten)
{
    std::vector<uint32_t> out(4, 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), kDolbyMemoryBase, 4), 4u);
    EXPECT_EQ(out, (std::vector<uint32_t> {0, 0, 0, 0})) << "an untouched store reads zero";

    const uint32_t words[] = {0x12345678, 0x9ABCDEF0, 7};
    EXPECT_EQ(fb_write_words(100, words, 3), 3u);
    EXPECT_EQ(fb_read_words(out.data(), 99, 4), 4u);
    EXPECT_EQ(out, (std::vector<uint32_t> {0, 0x12345678, 0x9ABCDEF0, 7}));
}

TEST_F(FrameStore, ReadsStopAtTheEndOfTheStore)
{
    const uint32_t last[] = {1, 2};
    ASSERT_EQ(fb_write_words(kFrameStoreWords - 2, last, 2), 2u);
    std::vector<uint32_t> out(5, 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), kFrameStoreWords - 2, 5), 2u);
    EXPECT_EQ(out, (std::vector<uint32_t> {1, 2, 0, 0, 0})) << "the rest is zeroed, not left undefined";

    std::fill(out.begin(), out.end(), 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), 0xFFFFFFF0u, 5), 0u);
    EXPECT_EQ(out, (std::vector<uint32_t> {0, 0, 0, 0, 0}));
    EXPECT_EQ(fb_read_words(nullptr, 0, 5), 0u);
}

TEST_F(FrameStore, WritesStopAtTheEndOfTheStore)
{
    const uint32_t words[] = {5, 6, 7};
    EXPECT_EQ(fb_write_words(kFrameStoreWords - 1, words, 3), 1u);
    EXPECT_EQ(fb_write_words(kFrameStoreWords, words, 3), 0u);
    uint32_t out = 0;
    fb_read_words(&out, kFrameStoreWords - 1, 1);
    EXPECT_EQ(out, 5u);
}

TEST_F(FrameStore, StatusRegistersReturnTheLastWordStored)
{
    EXPECT_EQ(hw_status_read(12), 0u);
    hw_status_set(12, 0x55);
    hw_status_set(12, 0x1001);
    EXPECT_EQ(hw_status_read(12), 0x1001u);
    hw_status_set(kHwStatusRegisters, 9);
    hw_status_set(0xFFFFFFFFu, 9);
    EXPECT_EQ(hw_status_read(kHwStatusRegisters), 0u);
    EXPECT_EQ(hw_status_read(0xFFFFFFFFu), 0u);
}

TEST_F(FrameStore, ResetEmptiesStoreAndRegisters)
{
    const uint32_t word = 42;
    fb_write_words(10, &word, 1);
    hw_status_set(12, 1);
    BoardReset();
    uint32_t out = 1;
    fb_read_words(&out, 10, 1);
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(hw_status_read(12), 0u);
}
