// The counts behind the progress box count edits waiting to be written, not
// values shown; the named pages' loaded flags are cleared together.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/IpSfpManager.h"
#include "ipsfp/SfpPageTable.h"
#include "ipsfp/SfpParamTable.h"

#include <string>

namespace {

class SfpKnownParameters : public IpSfpTest {
protected:
    IpSfpManager manager;
    SfpParamTable& table = SfpParamTable::Instance();
};

void ExpectCounts(const SfpParamCounts& c, uint32_t all, uint32_t controller, uint32_t flow)
{
    EXPECT_EQ(c.all, all);
    EXPECT_EQ(c.controller, controller);
    EXPECT_EQ(c.flow, flow);
}

} // namespace

TEST_F(SfpKnownParameters, OnlyPendingEditsCount)
{
    ExpectCounts(manager.CountKnownParameters(), 0, 0, 0);

    // Values shown from the module are not waiting for anything.
    for (SfpParamRow& row : table.Rows())
        row.value = 5;
    ExpectCounts(manager.CountKnownParameters(), 0, 0, 0);

    table.Find(COM_SFP_IP_CONTR_IP_ADD1)->pending = 1;   // controller set
    table.Find(COM_SFP_IP_DST_IP_ADD1)->pending = 1;     // flow set
    table.Find(COM_SFP_IP_FLOW_UUID)->pending = 1;       // neither
    ExpectCounts(manager.CountKnownParameters(), 3, 0, 0);
    manager.controllerConfiguring = 1;
    ExpectCounts(manager.CountKnownParameters(), 3, 1, 0);
    manager.flowConfiguring = 1;
    ExpectCounts(manager.CountKnownParameters(), 3, 1, 1);

    table.Reset();
    ExpectCounts(manager.CountKnownParameters(), 0, 0, 0);
}

TEST_F(SfpKnownParameters, NamedPagesAndTheirLoadedFlags)
{
    SfpPageList& pages = SfpPageTable();
    const uint8_t expected[] = {0xFA, 0xC0, 0x8B, 0x84, 0};
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].page, expected[i]);
        pages[i].loaded = 1;
    }
    EXPECT_EQ(std::string(pages[0].name), "ProgramPg");
    EXPECT_EQ(std::string(pages[3].name), "ContrPg");
    ClearPageLoadedFlags();
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(pages[i].loaded, 0);
    EXPECT_EQ(pages[4].loaded, 1) << "the empty entry is left alone";
}
