// The frame store and the status registers never read or write outside
// themselves, whatever address and count they get (the "dumpdolby" console
// command passes both straight from the user).
#include "BoardTest.h"

#include "board/BoardReset.h"
#include "board/FrameStore.h"

#include <vector>

namespace {
class FrameStore : public BoardTest {};
using Words = std::vector<uint32_t>;
} // namespace

TEST_F(FrameStore, KeepsWhatIsWrittenAndStopsAtItsEnd)
{
    Words out(4, 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), kDolbyMemoryBase, 4), 4u);
    EXPECT_EQ(out, (Words {0, 0, 0, 0})) << "an untouched store reads zero";
    const uint32_t words[] = {0x12345678, 0x9ABCDEF0, 7};
    EXPECT_EQ(fb_write_words(100, words, 3), 3u);
    EXPECT_EQ(fb_read_words(out.data(), 99, 4), 4u);
    EXPECT_EQ(out, (Words {0, 0x12345678, 0x9ABCDEF0, 7}));

    EXPECT_EQ(fb_write_words(kFrameStoreWords - 2, words, 3), 2u);
    EXPECT_EQ(fb_write_words(kFrameStoreWords, words, 3), 0u);
    out.assign(5, 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), kFrameStoreWords - 2, 5), 2u);
    EXPECT_EQ(out, (Words {0x12345678, 0x9ABCDEF0, 0, 0, 0})) << "the rest is zeroed, not left undefined";
    out.assign(5, 0xAAAAAAAA);
    EXPECT_EQ(fb_read_words(out.data(), 0xFFFFFFF0u, 5), 0u);
    EXPECT_EQ(out, (Words {0, 0, 0, 0, 0}));
    EXPECT_EQ(fb_read_words(nullptr, 0, 5), 0u);

    BoardReset();
    EXPECT_EQ(fb_read_words(out.data(), 100, 1), 1u);
    EXPECT_EQ(out[0], 0u);
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
    BoardReset();
    EXPECT_EQ(hw_status_read(12), 0u);
}
