// The oscillator bank: one slot per frequency, old slots given up first, frees that never wrap or reach past it.
#include "support/ZuTest.h"

#include "audio/generator/TpAudOscillators.h"

namespace {

class OscillatorSharing : public ZuTest {
protected:
    TpAudOscillators bank {16};
};

} // namespace

TEST_F(OscillatorSharing, SameFrequencySharesOneSlot)
{
    EXPECT_EQ(bank.AllocOscillator(0, 1000), 1u);
    EXPECT_TRUE(debug->Contains("Osc 1 = 1000Hz"));
    debug->Clear();
    EXPECT_EQ(bank.AllocOscillator(0, 1000), 1u);
    EXPECT_EQ(bank.Users(1), 2u);
    EXPECT_FALSE(debug->Contains("Osc")) << "a shared slot is not announced";

    // Only the low 16 bits of a frequency count; a sole holder moves within its own slot.
    EXPECT_EQ(bank.AllocOscillator(1, 0x10000 + 400), 2u);
    EXPECT_TRUE(debug->Contains("Osc 2 = 400Hz"));
    EXPECT_EQ(bank.Users(1), 1u);
    EXPECT_EQ(bank.AllocOscillator(1, 700), 1u);
    EXPECT_EQ(bank.Frequency(1), 700u);
    EXPECT_EQ(bank.Users(2), 1u);
}

TEST_F(OscillatorSharing, FullBankAndBadFreesChangeNothing)
{
    for (uint32_t i = 1; i <= 16; ++i)
        ASSERT_EQ(bank.AllocOscillator(0, 100 * i), i);
    // A second channel at 300 Hz moves away while every slot is in use.
    ASSERT_EQ(bank.AllocOscillator(0, 300), 3u);
    EXPECT_EQ(bank.AllocOscillator(3, 5000), 0u);
    EXPECT_TRUE(debug->Contains("ERROR: Not enough Oscillator slots"));
    EXPECT_EQ(bank.Users(3), 1u) << "the caller's old slot was given up first";
    EXPECT_EQ(TpAudOscillators {0}.AllocOscillator(0, 1000), 0u);

    // Giving up a slot that is not held, or one beyond the bank: reported, and no count wraps.
    TpAudOscillators fresh {16};
    EXPECT_EQ(fresh.AllocOscillator(0, 1000), 1u);
    EXPECT_EQ(fresh.AllocOscillator(2, 0), 0u);
    EXPECT_TRUE(debug->Contains("Error: Freeing up unused oscillator 2"));
    EXPECT_EQ(fresh.AllocOscillator(5, 800), 2u);
    EXPECT_TRUE(debug->Contains("Error: Freeing up unused oscillator 5"));
    EXPECT_EQ(fresh.Users(5), 0u);
    EXPECT_EQ(fresh.AllocOscillator(99, 900), 3u);
    EXPECT_TRUE(debug->Contains("Error: Freeing up unused oscillator 99"));
    for (uint32_t i = 4; i <= 16; ++i)
        EXPECT_EQ(fresh.AllocOscillator(0, 2000 + i), i) << "every slot is still there to be taken";
}
