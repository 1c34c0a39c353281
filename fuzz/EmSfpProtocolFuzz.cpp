// Drives the emSFP register protocol against a module whose every answer
// comes from the fuzzer: register and status bytes, failed reads and writes,
// the page selectors and the order of operations. Checks the protocol's
// rules after every step. The store and its controls are built once; every
// input has the manager's pages of its own, as a new manager has them (the
// whole manager, with its menu controls, is not built for each input). Run
// with -close_fd_mask=2 to hide the messages.
#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "ipsfp/link/SfpLink.h"
#include "ipsfp/manager/IpBusy.h"
#include "ipsfp/manager/IpEditBook.h"
#include "ipsfp/manager/IpFlowView.h"
#include "ipsfp/manager/IpModulePages.h"
#include "ipsfp/params/SfpCompositePairs.h"
#include "ipsfp/params/SfpParamTable.h"
#include "sim/BoardDevices.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class FuzzedModule : public EmSfpBus {
public:
    explicit FuzzedModule(FuzzedDataProvider& in) : in_(in) {}
    bool ReadByte(uint8_t, uint8_t& value) override
    {
        lastReadOk = in_.ConsumeIntegral<uint8_t>() >= 8;
        if (!lastReadOk)
            return false;
        value = in_.ConsumeIntegral<uint8_t>();
        lastRead = value;
        return true;
    }
    bool WriteByte(uint8_t reg, uint8_t) override
    {
        ++attempts;
        if (reg == kSfpPageRegister)
            ++selectAttempts;
        return in_.ConsumeIntegral<uint8_t>() >= 16;
    }
    int attempts = 0;
    int selectAttempts = 0;
    bool lastReadOk = false;
    uint8_t lastRead = 0;

private:
    FuzzedDataProvider& in_;
};

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// The store and the controls the protocol reads and sets.
struct World {
    TpStore store;
    std::vector<std::unique_ptr<TpCommand>> commands;
    World()
    {
        for (unsigned id : {COM_SFP_IP_FLOW_SEL, COM_SFP_IP_AUDIO_FLOW_SEL, COM_SFP_IP_ANC_FLOW_SEL,
                            COM_SFP_IP_PTP_SEL, COM_SFP_IP_BLOCK_E_SEL})
            commands.push_back(std::make_unique<TpCommand>(static_cast<int>(id), kKeepsValue));
        for (const SfpCompositePair& pair : SfpCompositePairs()) {
            commands.push_back(std::make_unique<TpCommand>(pair.high, kKeepsValue));
            commands.push_back(std::make_unique<TpCommand>(pair.low, kKeepsValue));
        }
        SetSfpRetryWait([](uint32_t) {});
    }
    // Every input starts from controls at 0.
    void StartInput()
    {
        for (const auto& c : commands)
            c->SetValue(0);
    }
};

// One status poll: an unread or invalid status changes nothing; a valid one
// clears the load flag on bit 0x04 and, once no load is pending, the write
// flag on bit 0x02.
void CheckPoll(const FuzzedModule& module, const SfpProtocolState& before)
{
    const SfpProtocolState& after = SfpLink::State().protocol;
    if (!module.lastReadOk) {
        Check(after.lastStatus == before.lastStatus);
        Check(after.pageLoadPending == before.pageLoadPending && after.writePending == before.writePending);
        return;
    }
    const uint8_t status = module.lastRead;
    Check(after.lastStatus == status);
    if (!SfpLink::IsValidSfpStatus(status)) {
        Check(after.pageLoadPending == before.pageLoadPending && after.writePending == before.writePending);
        return;
    }
    const uint8_t load = before.pageLoadPending != 0 && (status & kSfpStatusPageLoaded) == 0 ? 1 : 0;
    Check(after.pageLoadPending == load);
    if (load != 0)
        Check(after.writePending == before.writePending);
    else
        Check(after.writePending == (before.writePending != 0 && (status & kSfpStatusWriteDone) == 0 ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    FuzzedDataProvider in(data, size);
    FuzzedModule module(in);
    SetEmSfpBus(&module);
    SfpLink::Reset();
    SfpParamTable& table = SfpParamTable::Instance();
    table.Reset();
    world.StartInput();
    IpBusy busy;
    IpEditBook edits;
    IpFlowView flows(busy, edits);
    IpModulePages pages(flows, busy, edits);

    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const SfpProtocolState before = SfpLink::State().protocol;
        const int attempts = module.attempts;
        switch (in.ConsumeIntegralInRange<int>(0, 10)) {
        case 0:
            SfpLink::PollSfpStatus();
            CheckPoll(module, before);
            break;
        case 1: {
            const uint8_t page = in.ConsumeIntegral<uint8_t>();
            const bool blocked = before.pageLoadPending != 0 || before.writePending != 0;
            const bool ok = SfpLink::RequestPage(page);
            if (blocked) {
                Check(!ok && module.attempts == attempts);
                Check(SfpLink::State().protocol.selectedPage == before.selectedPage);
            } else {
                const SfpProtocolState& after = SfpLink::State().protocol;
                Check(after.pageLoadPending == 1 && after.selectedPage == page);
                Check(module.attempts > attempts);
            }
            break;
        }
        case 2: {
            const uint8_t reg = in.ConsumeIntegral<uint8_t>();
            const bool ok = SfpLink::WriteByte(in.ConsumeIntegral<uint8_t>(), reg, in.ConsumeIntegral<uint8_t>());
            Check(SfpLink::State().protocol.writePending == (ok ? 1 : before.writePending));
            break;
        }
        case 3:
            pages.UnlockControllerPage(in.ConsumeIntegral<uint8_t>());
            break;
        case 4:
            pages.CommitControllerPage(in.ConsumeIntegral<uint8_t>());
            break;
        case 5: {
            const uint8_t page = in.ConsumeIntegral<uint8_t>();
            const uint8_t reg = in.ConsumeIntegral<uint8_t>();
            const int32_t value = in.ConsumeIntegral<int32_t>();
            const uint32_t bytes = in.ConsumeIntegralInRange<uint32_t>(0, 17);
            const uint16_t cmdId = in.ConsumeIntegralInRange<uint16_t>(0x09F0, 0x0E10);
            const int selects = module.selectAttempts;
            pages.SetNewParameterValue(page, reg, value, bytes, cmdId);
            // A parameter never selects a page unless its own register is the page register.
            Check(module.selectAttempts == selects || reg == kSfpPageRegister ||
                  (bytes == 2 && reg == kSfpPageRegister - 1));
            if (bytes != 1 && bytes != 2)
                Check(module.attempts == attempts);
            break;
        }
        case 6:
            // The marker armed as the manager arms it: 60 after a parameter
            // write, 2 after a step of the firmware-default sequence.
            if (in.ConsumeBool())
                pages.StartFirmwareDefault();
            pages.ArmWriteSettle(in.ConsumeBool() ? IpModulePages::kWriteSettleTicks : 2);
            Check(!pages.ServiceWriteSettle() && !pages.WriteSettling());
            break;
        case 7:
            for (const auto& c : world.commands)
                if (in.ConsumeBool())
                    c->SetValue(in.ConsumeIntegral<int32_t>());
            pages.MapPagesToAudioFlow(in.ConsumeBool());
            break;
        case 8: {
            const uint8_t logical = in.ConsumeIntegral<uint8_t>();
            const bool same = logical == pages.RequestedPage();
            const bool result = pages.ChangePage(logical);
            Check(result == same);
            for (const SfpParamRow& row : table.Rows())
                if (row.followsFlowPage != 0)
                    Check(row.page == 0x90 || row.page == 0xC0 || row.page >= 0xFC);
            if (!same)
                Check(pages.WriteMark() == 0 && pages.PageBlocked() == 1);
            break;
        }
        case 9: {
            SfpParamRow* row = table.Row(in.ConsumeIntegralInRange<size_t>(0, SfpParamTable::kRowCount));
            if (row == nullptr)
                break;
            std::array<uint8_t, SfpParamTable::kMaxByteCount> bytes {};
            const size_t capacity = in.ConsumeIntegralInRange<size_t>(0, bytes.size());
            size_t count = 0;
            uint32_t value = 0;
            const bool ok = ReadSfpParamBytes(*row, bytes.data(), capacity, count);
            Check(count <= capacity && (!ok || count == row->byteCount));
            if (SfpParamFieldValue(*row, bytes.data(), count, value) && row->mask != 0)
                Check(value <= row->mask);
            break;
        }
        default:
            SfpLink::ResetSfpProtocolState(in.ConsumeIntegralInRange<uint8_t>(0, 1));
            break;
        }
    }
    SetEmSfpBus(nullptr);
    return 0;
}
