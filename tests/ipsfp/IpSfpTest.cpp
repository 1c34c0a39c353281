#include "IpSfpTest.h"

#include "board/SfpBoard.h"
#include "ipsfp/SfpPageTable.h"
#include "ipsfp/SfpParamTable.h"
#include "ipsfp/SfpProtocolState.h"
#include "ipsfp/SfpUpdateCounters.h"

#include <mutex>

namespace {

void ResetIpSfpState()
{
    ClearSfpProtocolState();
    SfpParamTable::Instance().Reset();
    ResetSfpPageTable();
    ResetSfpUpdateCounters();
}

} // namespace

IpSfpTest::IpSfpTest()
{
    static std::once_flag once;
    std::call_once(once, [] { ZuTest::AddResetHook(&ResetIpSfpState); });
}

void IpSfpTest::SetUp()
{
    BoardTest::SetUp();
    SetSfpRetryWait([this](uint32_t ms) { retryWaits.push_back(ms); });
}

void IpSfpTest::UseModule() { SetEmSfpBus(&module); }
