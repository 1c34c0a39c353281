// The parameter table's contents, checked by counts and relations: rows per
// page and per width, flags that belong to one page's rows, the two runs,
// pair rows at adjacent registers, the display kinds against their widths,
// the action rows against the action controls; a few rows field by field;
// lookups; and a reset that undoes every run-time change.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/IpSfpManager.h"
#include "ipsfp/SfpParamTable.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using IdSet = std::set<unsigned>;

bool NoFlags(const SfpParamRow& r)
{
    return r.followsFlowPage == 0 && r.alwaysAccess == 0 && r.isAction == 0 && r.addressGroup == 0 &&
           r.inControllerSet == 0 && r.inFlowSet == 0;
}

class SfpParamTableContents : public IpSfpTest {
protected:
    SfpParamTable& table = SfpParamTable::Instance();
    std::span<SfpParamRow> rows = table.Rows();

    template <class Pred>
    IdSet Ids(Pred pred) const
    {
        IdSet ids;
        for (const SfpParamRow& r : rows)
            if (pred(r))
                ids.insert(r.cmdId);
        return ids;
    }
    template <class Key>
    std::map<unsigned, int> CountBy(Key key) const
    {
        std::map<unsigned, int> counts;
        for (const SfpParamRow& r : rows)
            ++counts[key(r)];
        return counts;
    }
};

} // namespace

TEST_F(SfpParamTableContents, RowsPerPageAndPerWidth)
{
    ASSERT_EQ(rows.size(), 333u);
    const std::map<unsigned, int> perPage = {
        {0x00, 8},  {0x84, 37}, {0x87, 10}, {0x8B, 3}, {0x90, 71}, {0xC0, 68}, {0xCF, 49},
        {0xF9, 47}, {0xFA, 18}, {0xFB, 1},  {0xFC, 3}, {0xFD, 4},  {0xFE, 7},  {0xFF, 7},
    };
    EXPECT_EQ(CountBy([](const SfpParamRow& r) { return r.page; }), perPage);
    const std::map<unsigned, int> perWidth = {{0, 7}, {1, 280}, {2, 20}, {3, 7}, {4, 17}, {6, 1}, {16, 1}};
    EXPECT_EQ(CountBy([](const SfpParamRow& r) { return r.byteCount; }), perWidth);

    for (const SfpParamRow& r : rows) {
        if (r.byteCount == 0) {
            EXPECT_TRUE(r.page == 0 && r.readRegister == 0) << r.cmdId;
        }
        if (r.page == 0) {
            EXPECT_TRUE(r.byteCount == 0 || r.cmdId == COM_SFP_IP_FILT_DEST_LABEL) << r.cmdId;
        }
        if (r.mask != 0) {
            EXPECT_EQ(r.byteCount, 1) << r.cmdId;
        }
        EXPECT_LE(r.readRegister + r.byteCount, 0x100) << r.cmdId;
        EXPECT_TRUE(r.writeRegister == 0 || r.byteCount == 1) << r.cmdId;
    }
    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.mask != 0; }).size(), 41u);
    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.writeRegister != 0; }).size(), 14u);
}

TEST_F(SfpParamTableContents, IdsAreUniqueAndInRange)
{
    IdSet ids;
    int seconds = 0;
    for (const SfpParamRow& r : rows) {
        EXPECT_TRUE(ids.insert(r.cmdId).second) << r.cmdId;
        EXPECT_GE(r.cmdId, 0x0A00);
        EXPECT_LE(r.cmdId, 0x0DEC);
        if (r.secondCmdId != 0) {
            ++seconds;
            EXPECT_GE(r.secondCmdId, 0x0A00);
            EXPECT_LE(r.secondCmdId, 0x0DEC);
        }
    }
    EXPECT_EQ(seconds, 81);
    for (const SfpParamRow& r : rows) {
        if (r.secondCmdId != 0 && r.secondCmdId != r.cmdId) {
            EXPECT_EQ(ids.count(r.secondCmdId), 0u) << "second control " << r.secondCmdId << " is a row of its own";
        }
    }
    EXPECT_EQ(table.Find(0x0CD3)->secondCmdId, 0x0CD3) << "its own second control";
}

TEST_F(SfpParamTableContents, FlagsBelongToTheirPages)
{
    const IdSet follow = Ids([](const SfpParamRow& r) { return r.followsFlowPage != 0; });
    EXPECT_EQ(follow, Ids([](const SfpParamRow& r) { return r.page == 0x90; }));
    EXPECT_EQ(follow.size(), 71u);

    std::set<unsigned> alwaysPages;
    for (const SfpParamRow& r : rows)
        if (r.alwaysAccess != 0)
            alwaysPages.insert(r.page);
    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.alwaysAccess != 0; }).size(), 81u);
    EXPECT_EQ(alwaysPages, (std::set<unsigned> {0x84, 0xF9, 0xFA}));

    const IdSet controller = Ids([](const SfpParamRow& r) { return r.inControllerSet != 0; });
    EXPECT_EQ(controller.size(), 22u);
    for (unsigned id : controller)
        EXPECT_EQ(table.Find(id)->page, 0x84) << id;
    const IdSet flow = Ids([](const SfpParamRow& r) { return r.inFlowSet != 0; });
    EXPECT_EQ(flow.size(), 23u);
    for (unsigned id : flow)
        EXPECT_EQ(table.Find(id)->page, 0x90) << id;

    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.isAction != 0; }),
              (IdSet {COM_SFP_IP_DHCP, COM_SFP_IP_DHCP_OFF, COM_SFP_IP_RESET_FLOW_COUNTER,
                      COM_SFP_IP_CONTR_RESET_COUNTERS, COM_SFP_IP_FLOW_DEFAULT, 0x0BFE, 0x0CD1, 0x0DEC}));

    auto groups = CountBy([](const SfpParamRow& r) { return r.addressGroup; });
    groups.erase(0);
    EXPECT_EQ(groups, (std::map<unsigned, int> {{1, 4}, {2, 4}, {3, 47}, {4, 4}, {5, 4}, {6, 12}}));
    for (unsigned g : {1u, 2u})
        for (unsigned id : Ids([g](const SfpParamRow& r) { return r.addressGroup == g; }))
            EXPECT_EQ(table.Find(id)->inFlowSet, 1) << id;
    for (unsigned g : {4u, 5u})
        for (unsigned id : Ids([g](const SfpParamRow& r) { return r.addressGroup == g; }))
            EXPECT_EQ(table.Find(id)->inControllerSet, 1) << id;

    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.logName[0] == '\0'; }).size(), 36u);
}

TEST_F(SfpParamTableContents, RunsOfIgmpSourcesAndOfTheEncoderAudioMap)
{
    EXPECT_EQ(rows[0].cmdId, COM_SFP_IP_TX_FLOW_ENABLE);
    EXPECT_EQ(rows[34].cmdId, COM_SFP_IP_FILT_DEST_LABEL);
    EXPECT_EQ(rows[206].cmdId, 0x0BFE);
    EXPECT_EQ(rows[207].cmdId, 0x0BFF);
    EXPECT_EQ(rows[224].cmdId, 0x0C21);
    EXPECT_EQ(rows[332].cmdId, 0x0DEC);

    IdSet runA;
    for (unsigned i = 0; i < 48; ++i) {
        const SfpParamRow& r = rows[158 + i];
        const unsigned base[] = {0x0BDC, 0x0BEC, 0x0BCC};
        EXPECT_EQ(r.cmdId, base[i % 3] + i / 3) << i;
        EXPECT_EQ(r.page, 0xC0);
        EXPECT_EQ(r.readRegister, 0x82 + i);
        EXPECT_EQ(std::string(r.logName), "IGMP Src IP Byte4");
        runA.insert(r.cmdId);
    }
    EXPECT_EQ(*runA.begin(), 0x0BCCu);
    EXPECT_EQ(*runA.rbegin(), 0x0BFBu);

    EXPECT_EQ(rows[283].cmdId, 0x0DC1);
    EXPECT_EQ(std::string(rows[283].logName), "Enc Aud Map Number of Channels to Embed");
    for (unsigned i = 0; i < 49; ++i) {
        EXPECT_EQ(rows[283 + i].page, 0xCF);
        EXPECT_EQ(rows[283 + i].readRegister, 0x84 + i);
        EXPECT_EQ(rows[283 + i].byteCount, 1);
        EXPECT_TRUE(NoFlags(rows[283 + i])) << i;
    }
    for (unsigned n = 1; n <= 16; ++n) {
        const SfpParamRow* r = &rows[284 + 3 * (n - 1)];
        const std::string channel = "Enc Aud Map Channel " + std::to_string(n);
        EXPECT_EQ(r[0].cmdId, 0x0DC4 + n - 1);
        EXPECT_EQ(std::string(r[0].logName), channel + " Input Device ID");
        EXPECT_EQ(r[1].cmdId, 0x0DB0 + n - 1);
        EXPECT_EQ(std::string(r[1].logName), channel + " SDI Channel to Embed");
        EXPECT_EQ(r[2].cmdId, 0x0C94 + n - 1);
        EXPECT_EQ(std::string(r[2].logName), channel + " Active");
    }
}

TEST_F(SfpParamTableContents, DisplayKindsFitTheirWidths)
{
    const std::map<unsigned, int> perKind = {
        {0, 226}, {1, 13}, {2, 13}, {3, 1},  {4, 15}, {5, 2},  {6, 1},  {7, 1},  {8, 9},
        {9, 8},   {10, 1}, {11, 8}, {12, 1}, {14, 3}, {15, 4}, {16, 4}, {17, 1}, {18, 1},
        {19, 1},  {20, 7}, {21, 1}, {22, 1}, {23, 1}, {24, 4}, {25, 6},
    };
    EXPECT_EQ(CountBy([](const SfpParamRow& r) { return r.displayKind; }), perKind);
    // Bytes each kind shows (kinds 0 and 11 come in several widths).
    const std::map<unsigned, unsigned> width = {
        {1, 1},  {2, 2},  {3, 16}, {4, 1},  {5, 1},  {6, 1},  {7, 0},  {8, 1},  {9, 4},  {10, 6},
        {12, 1}, {14, 2}, {15, 2}, {16, 4}, {17, 1}, {18, 1}, {19, 1}, {20, 3}, {21, 1},
        {22, 1}, {23, 1}, {24, 4}, {25, 0},
    };
    for (const SfpParamRow& r : rows) {
        const auto w = width.find(r.displayKind);
        if (w != width.end()) {
            EXPECT_EQ(r.byteCount, w->second) << r.cmdId;
        }
    }

    // The IP menu's one-shot action controls are exactly the rows shown as actions.
    const IdSet actionControls = {
        COM_SFP_IP_REBOOT_CHECKBOX, COM_SFP_IP_RESET_FLOW_COUNTER, COM_SFP_IP_RESET_COUNTERS,
        COM_SFP_IP_CONTR_RESET_COUNTERS, COM_SFP_IP_FLOW_DEFAULT, COM_SFP_IP_DHCP, COM_SFP_IP_DHCP_OFF,
        0x0CD1, 0x0BFE, 0x0C30, 0x0C31, 0x0C32, 0x0C18, 0x0C4E, 0x0DEC,
    };
    EXPECT_EQ(Ids([](const SfpParamRow& r) { return r.displayKind == 4; }), actionControls);
}

TEST_F(SfpParamTableContents, CompositeValuesSitOverTheirByteRows)
{
    ASSERT_EQ(IpSfpManager::CompositePairs().size(), 7u);
    for (const SfpCompositePair& pair : IpSfpManager::CompositePairs()) {
        const SfpParamRow* composite = table.Find(pair.composite);
        const SfpParamRow* high = table.Find(pair.high);
        const SfpParamRow* low = table.Find(pair.low);
        ASSERT_TRUE(composite && high && low) << pair.composite;
        EXPECT_EQ(composite->byteCount, 2) << pair.composite;
        EXPECT_EQ(high->byteCount, 1);
        EXPECT_EQ(low->byteCount, 1);
        EXPECT_EQ(high->page, composite->page) << pair.composite;
        EXPECT_EQ(low->page, composite->page) << pair.composite;
        EXPECT_EQ(high->readRegister, composite->readRegister) << pair.composite;
        EXPECT_EQ(low->readRegister, composite->readRegister + 1) << pair.composite;
        EXPECT_EQ(IpSfpManager::FindCompositePair(pair.composite), &pair);
        if (composite->secondCmdId != 0) {
            EXPECT_EQ(IpSfpManager::FindCompositePair(composite->secondCmdId), &pair);
        }
    }
    // The other two-byte rows have no byte controls.
    EXPECT_EQ(IpSfpManager::FindCompositePair(0x0C48), nullptr);
    EXPECT_EQ(IpSfpManager::FindCompositePair(0x0BFF), nullptr);
    EXPECT_EQ(IpSfpManager::FindCompositePair(COM_SFP_IP_VERSION_ELEMENT0), nullptr);
}

TEST_F(SfpParamTableContents, SecondViewsAndAddressBytes)
{
    // Controls the IP menu copies or checks in pairs are the rows' second controls.
    const std::map<unsigned, unsigned> secondViews = {
        {0x0C22, 0x0D61}, {0x0C21, 0x0D62}, {0x0A39, 0x0CDC}, {0x0A3A, 0x0CDB},
        {0x0A3B, 0x0CDD}, {0x0A3D, 0x0CDE}, {0x0A3C, 0x0D1E},
    };
    for (const auto& [first, second] : secondViews)
        EXPECT_EQ(table.Find(first)->secondCmdId, second) << first;
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_EQ(table.Find(COM_SFP_IP_DST_IP_ADD1 + i)->secondCmdId, 0x0CE5 + i);
    for (unsigned i = 0; i < 6; ++i)
        EXPECT_EQ(table.Find(COM_SFP_FILT_DEST_MAC1 + i)->secondCmdId, 0x0CE9 + i);

    // Byte 1 of an address (its least significant byte) sits at its highest register.
    for (unsigned first : {COM_SFP_IP_CONTR_IP_ADD1, COM_SFP_IP_CONTR_MASK1, COM_SFP_IP_CONTR_GW1,
                           COM_SFP_IP_SRC_IP_ADD1, COM_SFP_IP_DST_IP_ADD1}) {
        for (unsigned b = 1; b < 4; ++b) {
            const SfpParamRow* lower = table.Find(first + b - 1);
            const SfpParamRow* next = table.Find(first + b);
            EXPECT_EQ(next->readRegister + 1, lower->readRegister) << first << " byte " << b;
            if (lower->writeRegister != 0) {
                EXPECT_EQ(next->writeRegister + 1, lower->writeRegister);
            }
            EXPECT_EQ(next->addressGroup, lower->addressGroup);
        }
    }
}

TEST_F(SfpParamTableContents, RowsFieldByField)
{
    struct Expected {
        unsigned cmdId, second, page, reg, wreg, mask, shift, bytes, kind;
        unsigned follow, always, action, group, controller, flowSet;
        const char* log;
    };
    const Expected expected[] = {
        {0x0A89, 0, 0x90, 0xAD, 0, 0x01, 0, 1, 18, 1, 0, 0, 0, 0, 0, "TX Flow Enabled"},
        {0x0A02, 0, 0x84, 0x8E, 0x9A, 0, 0, 1, 0, 0, 1, 0, 4, 1, 0, "Web IP Add byte1"},
        {0x0A01, 0x0CD9, 0x90, 0x95, 0, 0, 0, 2, 2, 1, 0, 0, 0, 0, 1, "Flow Dest UDP Port"},
        {0x0A2A, 0, 0x00, 0x00, 0, 0, 0, 1, 6, 0, 0, 0, 0, 0, 0, ""},
        {0x0A53, 0, 0xFA, 0x82, 0x83, 0, 256, 1, 0, 0, 1, 0, 0, 0, 0, ""},
        {0x0BA5, 0x0D52, 0xFD, 0xAD, 0, 0x06, 1, 1, 0, 0, 0, 0, 3, 0, 0, "Flow Mac Byte1"},
        {0x0BFF, 0x0D1D, 0x90, 0xAE, 0, 0, 0, 2, 2, 1, 0, 0, 0, 0, 0, "Vid Sequence Errors"},
        {0x0CD3, 0x0CD3, 0x90, 0xAD, 0, 0x01, 0, 1, 8, 1, 0, 0, 0, 0, 0, "TX Flow Enabled"},
        {0x0CA3, 0, 0xCF, 0xB4, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, "Enc Aud Map Channel 16 Active"},
        {0x0DEC, 0, 0x90, 0x81, 0, 0x08, 3, 1, 4, 1, 0, 1, 0, 0, 0, "Reset IP Flow Counter"},
    };
    for (const Expected& e : expected) {
        const SfpParamRow* r = table.Find(e.cmdId);
        ASSERT_NE(r, nullptr) << e.cmdId;
        EXPECT_EQ(r->cmdId, e.cmdId);
        EXPECT_EQ(r->secondCmdId, e.second) << e.cmdId;
        EXPECT_EQ(r->page, e.page) << e.cmdId;
        EXPECT_EQ(r->readRegister, e.reg) << e.cmdId;
        EXPECT_EQ(r->writeRegister, e.wreg) << e.cmdId;
        EXPECT_EQ(r->mask, e.mask) << e.cmdId;
        EXPECT_EQ(r->shift, e.shift) << e.cmdId;
        EXPECT_EQ(r->byteCount, e.bytes) << e.cmdId;
        EXPECT_EQ(r->displayKind, e.kind) << e.cmdId;
        EXPECT_EQ(r->followsFlowPage, e.follow) << e.cmdId;
        EXPECT_EQ(r->alwaysAccess, e.always) << e.cmdId;
        EXPECT_EQ(r->isAction, e.action) << e.cmdId;
        EXPECT_EQ(r->addressGroup, e.group) << e.cmdId;
        EXPECT_EQ(r->inControllerSet, e.controller) << e.cmdId;
        EXPECT_EQ(r->inFlowSet, e.flowSet) << e.cmdId;
        EXPECT_EQ(std::string(r->logName), e.log) << e.cmdId;
        EXPECT_EQ(r->value, -1);
        EXPECT_EQ(r->pending, 0);
    }
}

TEST_F(SfpParamTableContents, LookupFindsTheFirstRowOfAnId)
{
    EXPECT_EQ(table.Find(0x0CE5), table.Find(COM_SFP_IP_DST_IP_ADD1)) << "by its second control";
    EXPECT_EQ(table.Find(0x0CD3)->cmdId, 0x0CD3);
    EXPECT_EQ(table.Find(0x0A22), nullptr) << "an id of the range without a row";
    EXPECT_EQ(table.Find(0x09FF), nullptr);
    EXPECT_EQ(table.Find(0x0E00), nullptr);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.Row(333), nullptr);
    EXPECT_EQ(table.Row(332)->cmdId, 0x0DEC);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(table.IndexOf(rows[i].cmdId), static_cast<int>(i)) << rows[i].cmdId;
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
