// A row's value read from the module: big-endian whole bytes from its
// registers, or its bit field; short buffers and failed reads are refused.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/SfpParamTable.h"

#include <array>

namespace {

class SfpParamRead : public IpSfpModuleTest {
protected:
    // Reads the row of cmdId from the selected page; -1 when that fails.
    static int64_t Value(unsigned cmdId)
    {
        const SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
        std::array<uint8_t, SfpParamTable::kMaxByteCount> bytes {};
        size_t count = 0;
        uint32_t value = 0;
        if (row == nullptr || !ReadSfpParamBytes(*row, bytes.data(), bytes.size(), count) ||
            !SfpParamFieldValue(*row, bytes.data(), count, value))
            return -1;
        return value;
    }
};

} // namespace

TEST_F(SfpParamRead, WholeBytesAreBigEndian)
{
    module.Seed(0x90, 0x95, {0x12, 0x34});
    module.Seed(0x90, 0x9B, {0x01, 0x02, 0x03, 0x04});
    module.Seed(0x90, 0xD1, {0x0A, 0x0B, 0x0C});
    SelectLoaded(0x90);
    EXPECT_EQ(Value(COM_SFP_IP_DEST_UDP_PORT), 0x1234);
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0x90, 0x95, 0x12), Rd(0x90, 0x96, 0x34)}));
    EXPECT_EQ(Value(COM_SFP_IP_TX_OR_RX_PACKETS), 0x01020304);
    EXPECT_EQ(Value(0x0CAE), 0x0A0B0C);

    // The management address's byte 1 sits at its highest register.
    module.Seed(0x84, 0x8B, {10, 1, 168, 192});
    SelectLoaded(0x84);
    EXPECT_EQ(Value(COM_SFP_IP_CONTR_IP_ADD1), 192);
    EXPECT_EQ(Value(COM_SFP_IP_CONTR_IP_ADD2), 168);
    EXPECT_EQ(Value(COM_SFP_IP_CONTR_IP_ADD3), 1);
    EXPECT_EQ(Value(COM_SFP_IP_CONTR_IP_ADD4), 10);
}

TEST_F(SfpParamRead, BitFieldsAreMaskedAndShifted)
{
    module.Poke(0x90, 0xA0, 0xB5);   // 1 0 11 0101
    module.Poke(0x90, 0xBE, 0x24);
    module.Poke(0xFA, 0x82, 0x07);
    SelectLoaded(0x90);
    EXPECT_EQ(Value(COM_SFP_IP_STD_VALID), 0x80) << "stored as 0x80 >> 0";
    EXPECT_EQ(Value(COM_SFP_IP_STD_SCAN_MODE), 0);
    EXPECT_EQ(Value(COM_SFP_IP_STD_BIT_RATE), 3);
    EXPECT_EQ(Value(COM_SFP_IP_STD_SAMPLE_FMT), 5);
    EXPECT_EQ(Value(COM_SFP_FILT_IP_DST_MAC), 1);
    EXPECT_EQ(Value(COM_SFP_FILT_IP_DST_PORT), 0);
    SelectLoaded(0xFA);
    EXPECT_EQ(Value(COM_SFP_IP_LOADED_ELEMENT), 7) << "a stored shift of 256 acts as 0";
}

TEST_F(SfpParamRead, UnreadableRowsAreRefused)
{
    SelectLoaded(0x84);
    SfpParamTable& table = SfpParamTable::Instance();
    const SfpParamRow& hostName = *table.Find(COM_SFP_IP_CONTR_HOSTNAME);
    std::array<uint8_t, 16> bytes {};
    size_t count = 99;
    uint32_t value = 0;
    EXPECT_FALSE(ReadSfpParamBytes(*table.Find(COM_SFP_IP_FLOW_BOX), bytes.data(), bytes.size(), count));
    EXPECT_EQ(count, 0u) << "rows without registers are never read";
    EXPECT_FALSE(ReadSfpParamBytes(hostName, bytes.data(), 15, count));
    EXPECT_TRUE(Trace().empty()) << "nothing read into a buffer that is too small";

    EXPECT_TRUE(ReadSfpParamBytes(hostName, bytes.data(), 16, count));
    EXPECT_EQ(count, 16u);
    EXPECT_FALSE(SfpParamFieldValue(hostName, bytes.data(), count, value)) << "a host name is no number";
    EXPECT_FALSE(SfpParamFieldValue(*table.Find(COM_SFP_IP_CONTR_RX_PACKETS), bytes.data(), 3, value));

    module.FailReadsOf(0xBE);
    EXPECT_FALSE(ReadSfpParamBytes(*table.Find(COM_SFP_IP_CONTR_RX_PACKETS), bytes.data(), bytes.size(), count));
    EXPECT_EQ(count, 2u) << "0xBC and 0xBD were read";
}
