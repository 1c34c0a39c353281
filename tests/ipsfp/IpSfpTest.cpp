#include "IpSfpTest.h"

#include "board/SfpBoard.h"
#include "ipsfp/SfpPageTable.h"
#include "ipsfp/SfpParamTable.h"
#include "ipsfp/SfpProtocolState.h"
#include "ipsfp/SfpUpdateCounters.h"

#include <gtest/gtest.h>

#include <mutex>

IpSfpTest::IpSfpTest()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ZuTest::AddResetHook([] {
            ClearSfpProtocolState();
            SfpParamTable::Instance().Reset();
            ResetSfpPageTable();
            ResetSfpUpdateCounters();
        });
    });
}

void IpSfpTest::SetUp()
{
    BoardTest::SetUp();
    SetSfpRetryWait([this](uint32_t ms) { retryWaits.push_back(ms); });
}

void IpSfpTest::UseModule() { SetEmSfpBus(&module); }

void IpSfpTest::SelectLoaded(uint8_t page)
{
    ASSERT_TRUE(RequestPage(page));
    PollSfpStatus();
    module.ClearTrace();
}
