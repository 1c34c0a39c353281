// The parameter table: lookups, the relations the manager relies on, the reset and counts, and a row's value read
// from the module (big-endian bytes or a bit field).
#include "IpSfpTest.h"

#include "KrZuApi.h"

#include <array>
#include <set>
#include <string>

namespace {

class SfpParamTableContents : public IpSfpModuleTest {
protected:
    // Reads the row of cmdId from the selected page; -1 when that fails.
    int64_t Value(unsigned cmdId)
    {
        const SfpParamRow* row = table.Find(cmdId);
        std::array<uint8_t, SfpParamTable::kMaxByteCount> bytes {};
        size_t count = 0;
        uint32_t value = 0;
        if (row == nullptr || !ReadSfpParamBytes(*row, bytes.data(), bytes.size(), count) ||
            !SfpParamFieldValue(*row, bytes.data(), count, value))
            return -1;
        return value;
    }

    SfpParamTable& table = SfpParamTable::Instance();
    std::span<SfpParamRow> rows = table.Rows();
};

using SfpParamRead = SfpParamTableContents;

} // namespace

TEST_F(SfpParamTableContents, LookupsRelationsAndRowsTheIpMenuUses)
{
    ASSERT_EQ(rows.size(), 333u);
    std::set<unsigned> ids;
    int follow = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const SfpParamRow& r = rows[i];
        EXPECT_TRUE(ids.insert(r.cmdId).second) << r.cmdId;
        EXPECT_EQ(table.IndexOf(r.cmdId), static_cast<int>(i)) << r.cmdId;
        // Page changes move exactly the flow page's rows; the configure writes take their own page's rows.
        EXPECT_EQ(r.followsFlowPage != 0, r.page == 0x90) << r.cmdId;
        follow += r.followsFlowPage;
        EXPECT_TRUE(r.inControllerSet == 0 || r.page == 0x84) << r.cmdId;
        EXPECT_TRUE(r.inFlowSet == 0 || r.page == 0x90) << r.cmdId;
    }
    EXPECT_EQ(follow, 71);

    EXPECT_EQ(table.Find(0x0CE5), table.Find(COM_SFP_IP_DST_IP_ADD1)) << "by its second control";
    EXPECT_EQ(table.Find(0x0CD3)->cmdId, 0x0CD3) << "a row that is its own second control";
    for (unsigned missing : {0x0A22u, 0x09FFu, 0x0E00u, 0u})
        EXPECT_EQ(table.Find(missing), nullptr) << missing;
    EXPECT_EQ(table.Row(333), nullptr);
    EXPECT_EQ(table.Row(332)->cmdId, 0x0DEC);

    // Composite values sit over their two byte rows, high byte first.
    ASSERT_EQ(SfpCompositePairs().size(), 7u);
    for (const SfpCompositePair& pair : SfpCompositePairs()) {
        const SfpParamRow *composite = table.Find(pair.composite), *high = table.Find(pair.high),
                          *low = table.Find(pair.low);
        ASSERT_TRUE(composite && high && low) << pair.composite;
        EXPECT_TRUE(composite->byteCount == 2 && high->byteCount == 1 && low->byteCount == 1) << pair.composite;
        EXPECT_TRUE(high->page == composite->page && low->page == composite->page) << pair.composite;
        EXPECT_EQ(high->readRegister, composite->readRegister) << pair.composite;
        EXPECT_EQ(low->readRegister, composite->readRegister + 1) << pair.composite;
        EXPECT_EQ(FindSfpCompositePair(pair.composite), &pair);
    }
    EXPECT_EQ(FindSfpCompositePair(0x0C48), nullptr) << "a two-byte row without byte controls";
}

TEST_F(SfpParamTableContents, OnlyPendingEditsCountAndResetRestoresTheDefinitions)
{
    auto counts = [this] {
        const SfpParamCounts c = manager.Configure().CountKnownParameters();
        return std::vector<uint32_t> {c.all, c.controller, c.flow};
    };
    EXPECT_EQ(counts(), (std::vector<uint32_t> {0, 0, 0}));
    store.SetValue(COM_SFP_IP_CONTR_IP_ADD1, 5);   // controller set
    store.SetValue(COM_SFP_IP_DST_IP_ADD1, 5);     // flow set
    store.SetValue(COM_SFP_FILT_IP_DST_MAC, 1);    // neither
    EXPECT_EQ(counts(), (std::vector<uint32_t> {3, 0, 0}));
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    EXPECT_EQ(counts(), (std::vector<uint32_t> {3, 1, 1}));
    manager.Pages().ChangePage(0xFE);     // moves the flow rows
    manager.SetModuleMode(0);     // reads the transmit flag at 172
    manager.ResetOnModuleChange();   // a module inserted: no edit waits
    EXPECT_EQ(counts(), (std::vector<uint32_t> {0, 0, 0}));
    table.Reset();
    EXPECT_EQ(table.Find(COM_SFP_IP_DST_IP_ADD1)->value, -1);
    EXPECT_EQ(table.Find(COM_SFP_IP_DEST_UDP_PORT)->page, 0x90);
    EXPECT_EQ(table.Find(COM_SFP_IP_TX_FLOW_ENABLE)->readRegister, 0xAD);

    // The management tab reads the page table's pages; the module's coming back forgets them.
    store.SetValue(COM_SFP_TAB_SELECT, 7);
    for (int tick = 0; tick < 20; ++tick) {
        manager.OnStatusTick();
        manager.Sequencer().RunUpdateStep();
    }
    const SfpPageList& pages = SfpLink::State().pageTable;
    EXPECT_EQ(std::string(pages[3].name), "ContrPg");
    EXPECT_TRUE(pages[0].loaded && pages[3].loaded);
    SfpLink::ClearPageLoadedFlags();
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(pages[i].loaded, 0) << pages[i].name;
}

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
    EXPECT_EQ(Value(COM_SFP_IP_CONTR_IP_ADD4), 10);

    // A row at the last register is read; a wider one would run past it.
    module.Poke(0x87, 0xFF, 0x5A);
    SelectLoaded(0x87);
    EXPECT_EQ(Value(COM_SFP_IP_FLOW_MAC_BYTE1_0C64), 0x5A);
    table.Find(COM_SFP_IP_FLOW_MAC_BYTE1_0C64)->byteCount = 2;
    EXPECT_EQ(Value(COM_SFP_IP_FLOW_MAC_BYTE1_0C64), -1);
}

TEST_F(SfpParamRead, BitFieldsAreMaskedAndShifted)
{
    module.Poke(0x90, 0xA0, 0xB5);   // 1 0 11 0101
    module.Poke(0x90, 0xBE, 0x24);
    module.Poke(0xFA, 0x82, 0x07);
    SelectLoaded(0x90);
    EXPECT_EQ(Value(COM_SFP_IP_STD_VALID), 0x80) << "stored as 0x80 >> 0";
    EXPECT_EQ(Value(COM_SFP_IP_STD_BIT_RATE), 3);
    EXPECT_EQ(Value(COM_SFP_IP_STD_SAMPLE_FMT), 5);
    EXPECT_EQ(Value(COM_SFP_FILT_IP_DST_MAC), 1);
    SelectLoaded(0xFA);
    EXPECT_EQ(Value(COM_SFP_IP_LOADED_ELEMENT), 7) << "a stored shift of 256 acts as 0";
}

TEST_F(SfpParamRead, UnreadableRowsAreRefused)
{
    SelectLoaded(0x84);
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
