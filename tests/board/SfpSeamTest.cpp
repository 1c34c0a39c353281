// The SFP operations reach the emSFP module, the two-wire devices and the
// cage installed by a test: what the fake holds is what the board returns.
#include "BoardTest.h"
#include "FakeEmSfp.h"
#include "FakeSfpCage.h"
#include "FakeTwoWireBus.h"
#include "SfpImages.h"

#include "board/SfpBoard.h"

#include <string>
#include <vector>

namespace {

class SfpSeam : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        SetSfpRetryWait([this](uint32_t ms) { waits.push_back(ms); });
    }
    std::vector<uint32_t> waits;
};

std::string ReadChars(uint8_t device, uint8_t first, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        uint8_t c = 0;
        EXPECT_TRUE(i2c_read_byte(device, static_cast<uint8_t>(first + i), &c));
        text.push_back(static_cast<char>(c));
    }
    return text;
}

uint8_t Read(uint8_t device, uint8_t reg)
{
    uint8_t value = 0;
    EXPECT_TRUE(i2c_read_byte(device, reg, &value));
    return value;
}

} // namespace

TEST_F(SfpSeam, EmSfpPagedRegistersAndStatusComeFromTheModule)
{
    FakeEmSfp module;
    module.Poke(0x90, 0x8F, 239);
    module.Poke(0x91, 0x8F, 232);
    module.SetPageLoadPolls(1);
    SetEmSfpBus(&module);

    ASSERT_NE(sfp_write_byte(127, 0x90), 0);
    EXPECT_EQ(sfp_selected_page(), 0x90);
    uint8_t status = 0;
    ASSERT_EQ(sfp_read_byte(128, &status), 1);
    EXPECT_EQ(status, 0x80) << "booted, page load not yet complete";
    ASSERT_EQ(sfp_read_byte(128, &status), 1);
    EXPECT_EQ(status, 0x84);
    uint8_t value = 0;
    ASSERT_EQ(sfp_read_byte(0x8F, &value), 1);
    EXPECT_EQ(value, 239);

    ASSERT_NE(sfp_write_byte(127, 0x91), 0);
    ASSERT_NE(sfp_write_byte(129, 2), 0);
    ASSERT_EQ(sfp_read_byte(0x8F, &value), 1);
    EXPECT_EQ(value, 232);
    EXPECT_EQ(module.Commands(), (std::vector<uint8_t> {2}));
    EXPECT_EQ(module.Trace().front(), (FakeEmSfp::Transaction {true, 0, 127, 0x90}));
    EXPECT_EQ(module.Trace().back(), (FakeEmSfp::Transaction {false, 0x91, 0x8F, 232}));
}

TEST_F(SfpSeam, FailedReadsLeaveTheByteAndWritesRetryThenGiveUp)
{
    FakeEmSfp module;
    module.FailReadsOf(128);
    SetEmSfpBus(&module);
    uint8_t status = 0x42;
    EXPECT_EQ(sfp_read_byte(128, &status), 0);
    EXPECT_EQ(status, 0x42);

    ASSERT_NE(sfp_write_byte(127, 0x84), 0);
    module.FailNextWrites(2);
    EXPECT_NE(sfp_write_byte(55, 0x01), 0);
    EXPECT_EQ(waits, (std::vector<uint32_t> {20, 20}));
    EXPECT_EQ(sfp_last_register(), 55);
    EXPECT_FALSE(debug->Contains("SFP Write failed"));

    waits.clear();
    module.FailAllWrites(true);
    EXPECT_EQ(sfp_write_byte(127, 0xC0), 0);
    EXPECT_EQ(waits.size(), 9u) << "ten attempts, nine waits between them";
    EXPECT_EQ(debug->Text(), "SFP Write failed.  addr=0x7f\n");
    EXPECT_EQ(sfp_selected_page(), 0x84) << "a failed page select is not remembered";
}

TEST_F(SfpSeam, NoAttemptWhileTheBusIsNotReady)
{
    FakeEmSfp module;
    FakeTwoWireBus bus;
    bus.SetReady(false);
    SetEmSfpBus(&module);
    SetTwoWireBus(&bus);
    EXPECT_EQ(sfp_write_byte(0x37, 1), 0);
    EXPECT_TRUE(module.Trace().empty());
    EXPECT_TRUE(waits.empty());
    EXPECT_EQ(debug->Text(), "SFP Write failed.  addr=0x37\n");
}

TEST_F(SfpSeam, TwoWireReadsAndWritesReachTheInstalledBus)
{
    SfpIdentity id;
    id.vendorName = "ACME OPTICS";
    SfpDiagnostics diag;
    diag.vcc = 0x7E2C;
    FakeTwoWireBus bus;
    bus.SetA0(MakeA0hImage(id));
    bus.SetA2(MakeA2hImage(diag));
    SetTwoWireBus(&bus);
    EXPECT_EQ(ReadChars(0xA0, 20, 16), "ACME OPTICS     ");
    EXPECT_EQ(Read(0xA2, 98) << 8 | Read(0xA2, 99), 0x7E2C);

    uint8_t untouched = 0x77;
    EXPECT_FALSE(i2c_read_byte(0x50, 0, &untouched)) << "no device at 0x50";
    bus.FailReadOf(0xA0, 56);
    EXPECT_FALSE(i2c_read_byte(0xA0, 56, &untouched));
    EXPECT_EQ(untouched, 0x77);
    EXPECT_FALSE(i2c_read_byte(0xA0, 0, nullptr));
    EXPECT_TRUE(i2c_write_byte(0xA2, 127, 1));
    EXPECT_EQ(bus.Writes(), (std::vector<FakeTwoWireBus::Write> {{0xA2, 127, 1}}));
}

TEST_F(SfpSeam, CageAnswersAndRecordsCalls)
{
    FakeSfpCage cage;
    cage.detect = 0;
    cage.cageRevision = 3;
    cage.boardRevision = 10;
    SetSfpCage(&cage);
    EXPECT_EQ(sfp_detect(), 0);
    EXPECT_EQ(get_board_revision(), 10);
    EXPECT_TRUE(sfp_is_powered());
    cage.cageRevision = 2;
    EXPECT_FALSE(sfp_is_powered()) << "older cages report power off";
    sfp_set_power(0);
    sfp_set_power(1);
    sfp_set_rate_select(1);
    EXPECT_EQ(cage.powerCalls, (std::vector<int> {0, 1}));
    EXPECT_EQ(cage.rateSelectCalls, (std::vector<int> {1}));

    SetSfpCage(nullptr);
    EXPECT_EQ(get_board_revision(), 11);
}
