// Fixture of the IP module tests: store, manager, fake module (UseModule), state reset per test, retries not slept.
#pragma once

#include "BoardTest.h"
#include "FakeEmSfp.h"

#include "board/SfpBoard.h"
#include "core/store/TpStore.h"
#include "ipsfp/link/SfpLink.h"
#include "ipsfp/manager/IpSfpManager.h"
#include "ipsfp/params/SfpCompositePairs.h"
#include "ipsfp/params/SfpParamTable.h"

#include <cstdint>
#include <mutex>
#include <vector>

// Adds the reset of the IP module's process-wide state (link and parameter
// table) to ZuTest's reset hooks, once per process.
inline void InstallIpSfpResetHook()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ZuTest::AddResetHook([] {
            SfpLink::Reset();
            SfpParamTable::Instance().Reset();
        });
    });
}

class IpSfpTest : public BoardTest {
protected:
    using Trans = FakeEmSfp::Transaction;

    IpSfpTest() { InstallIpSfpResetHook(); }
    void SetUp() override
    {
        BoardTest::SetUp();
        SetSfpRetryWait([this](uint32_t ms) { retryWaits.push_back(ms); });
    }

    void UseModule() { SetEmSfpBus(&module); }
    // Selects the page on the module, lets its load complete and clears the trace.
    void SelectLoaded(uint8_t page)
    {
        ASSERT_TRUE(SfpLink::RequestPage(page));
        SfpLink::PollSfpStatus();
        module.ClearTrace();
    }
    const std::vector<Trans>& Trace() const { return module.Trace(); }
    static SfpProtocolState& Protocol() { return SfpLink::State().protocol; }
    static Trans Wr(uint8_t page, uint8_t reg, uint8_t value) { return {true, page, reg, value}; }
    static Trans Rd(uint8_t page, uint8_t reg, uint8_t value) { return {false, page, reg, value}; }

    TpStore store;
    FakeEmSfp module;
    IpSfpManager manager;
    std::vector<uint32_t> retryWaits;
};

// The same with the fake module behind the bus.
class IpSfpModuleTest : public IpSfpTest {
protected:
    void SetUp() override
    {
        IpSfpTest::SetUp();
        UseModule();
    }
};
