// The parameter table: lookups, the relations the manager relies on, a few
// rows clients depend on, the reset, and the counts behind the progress box.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/SfpPageTable.h"
#include "ipsfp/SfpParamTable.h"

#include <set>
#include <string>

namespace {

class SfpParamTableContents : public IpSfpTest {
protected:
    SfpParamTable& table = SfpParamTable::Instance();
    std::span<SfpParamRow> rows = table.Rows();
};

} // namespace

TEST_F(SfpParamTableContents, LookupsAndTheRelationsTheManagerUses)
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
    ASSERT_EQ(IpSfpManager::CompositePairs().size(), 7u);
    for (const SfpCompositePair& pair : IpSfpManager::CompositePairs()) {
        const SfpParamRow* composite = table.Find(pair.composite);
        const SfpParamRow* high = table.Find(pair.high);
        const SfpParamRow* low = table.Find(pair.low);
        ASSERT_TRUE(composite && high && low) << pair.composite;
        EXPECT_EQ(composite->byteCount, 2) << pair.composite;
        EXPECT_TRUE(high->byteCount == 1 && low->byteCount == 1) << pair.composite;
        EXPECT_TRUE(high->page == composite->page && low->page == composite->page) << pair.composite;
        EXPECT_EQ(high->readRegister, composite->readRegister) << pair.composite;
        EXPECT_EQ(low->readRegister, composite->readRegister + 1) << pair.composite;
        EXPECT_EQ(IpSfpManager::FindCompositePair(pair.composite), &pair);
        if (composite->secondCmdId != 0) {
            EXPECT_EQ(IpSfpManager::FindCompositePair(composite->secondCmdId), &pair);
        }
    }
    EXPECT_EQ(IpSfpManager::FindCompositePair(0x0C48), nullptr) << "a two-byte row without byte controls";
}

TEST_F(SfpParamTableContents, RowsTheIpMenuDependsOn)
{
    const SfpParamRow* udp = table.Find(COM_SFP_IP_DEST_UDP_PORT);
    EXPECT_EQ(udp->secondCmdId, 0x0CD9);
    EXPECT_EQ(std::string(udp->logName), "Flow Dest UDP Port");
    EXPECT_TRUE(udp->inFlowSet && udp->followsFlowPage);

    const SfpParamRow* web = table.Find(COM_SFP_IP_CONTR_IP_ADD1);
    EXPECT_EQ(web->readRegister, 0x8E);
    EXPECT_EQ(web->writeRegister, 0x9A);
    EXPECT_TRUE(web->alwaysAccess && web->inControllerSet);
    EXPECT_EQ(web->addressGroup, 4u);
    EXPECT_EQ(std::string(web->logName), "Web IP Add byte1");

    const SfpParamRow* reset = table.Find(0x0DEC);
    EXPECT_EQ(reset->isAction, 1u);
    EXPECT_EQ(reset->displayKind, 4u);
    EXPECT_EQ(std::string(reset->logName), "Reset IP Flow Counter");
    EXPECT_EQ(table.Find(0x0C22)->secondCmdId, 0x0D61);
}

TEST_F(SfpParamTableContents, ResetRestoresTheDefinitions)
{
    for (SfpParamRow& r : rows) {
        r.value = 7;
        r.pending = 1;
        r.page = 0xFE;
        r.readRegister = 0x10;
    }
    table.Reset();
    const auto defs = SfpParamTable::Definitions();
    ASSERT_EQ(defs.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].value, -1);
        EXPECT_EQ(rows[i].pending, 0);
        EXPECT_EQ(rows[i].page, defs[i].page);
        EXPECT_EQ(rows[i].readRegister, defs[i].readRegister);
    }
}

TEST_F(SfpParamTableContents, OnlyPendingEditsCountAndLoadedFlagsClearTogether)
{
    auto counts = [this] {
        const SfpParamCounts c = manager.CountKnownParameters();
        return std::vector<uint32_t> {c.all, c.controller, c.flow};
    };
    for (SfpParamRow& row : rows)
        row.value = 5;
    EXPECT_EQ(counts(), (std::vector<uint32_t> {0, 0, 0})) << "values shown from the module wait for nothing";
    table.Find(COM_SFP_IP_CONTR_IP_ADD1)->pending = 1;   // controller set
    table.Find(COM_SFP_IP_DST_IP_ADD1)->pending = 1;     // flow set
    table.Find(COM_SFP_IP_FLOW_UUID)->pending = 1;       // neither
    EXPECT_EQ(counts(), (std::vector<uint32_t> {3, 0, 0}));
    manager.controllerConfiguring = 1;
    manager.flowConfiguring = 1;
    EXPECT_EQ(counts(), (std::vector<uint32_t> {3, 1, 1}));
    table.Reset();
    EXPECT_EQ(counts(), (std::vector<uint32_t> {0, 0, 0}));

    SfpPageList& pages = SfpPageTable();
    for (auto& p : pages)
        p.loaded = 1;
    EXPECT_EQ(std::string(pages[3].name), "ContrPg");
    ClearPageLoadedFlags();
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(pages[i].loaded, 0) << pages[i].name;
    EXPECT_EQ(pages[4].loaded, 1) << "the empty entry is left alone";
}
