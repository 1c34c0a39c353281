#include "IpSfpManager.h"

#include "ipsfp/params/SfpParamTable.h"
#include "ipsfp/link/SfpLink.h"
#include "ipsfp/link/SfpUpdateCounters.h"

#include "KrZuApi.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"

namespace {

// composite, high byte control, low byte control, width
static constexpr SfpCompositePair kCompositePairs[] = {
    {COM_SFP_IP_DEST_UDP_PORT, COM_SFP_IP_DEST_UDP_PORT_MSB, COM_SFP_IP_DEST_UDP_PORT_LSB, 16},
    {COM_SFP_IP_SRC_UDP_PORT, COM_SFP_IP_SRC_UDP_PORT_MSB, COM_SFP_IP_SRC_UDP_PORT_LSB, 16},
    {COM_SFP_IP_WEB_VLAN_ID, COM_SFP_IP_WEB_VLAN_MSB, COM_SFP_IP_WEB_VLAN_LSB, 12},
    {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C25, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C26, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C27, 12},
    {COM_SFP_IP_FLOW_MAC_BYTE1_0CA7, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0E, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0F, 16},
    {COM_SFP_IP_FLOW_MAC_BYTE1_0CA8, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C10, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C11, 16},
    {COM_SFP_IP_FLOW_VLAN_ID, COM_SFP_IP_FLOW_VLAN_MSB, COM_SFP_IP_FLOW_VLAN_LSB, 12},
};

constexpr int kUnlockFailedLine = 12802;
constexpr int kCommitFailedLine = 12819;
constexpr int kParameterFailedLine = 12640;

int32_t Selector(unsigned cmdId)
{
    const TpStore* store = TpStore::Instance();
    return store != nullptr ? store->GetValue(cmdId) : 0;
}

// A selector below 0 (a list without a selection) counts as 0.
uint32_t Clamped(int32_t value) { return value < 0 ? 0u : static_cast<uint32_t>(value); }

uint8_t PageOf(uint32_t page) { return static_cast<uint8_t>(page & 0xFF); }

// Sets a byte control when it differs; its row then holds the byte as an
// edit to be written.
void SetPairByte(TpStore& store, uint16_t cmdId, int32_t byte)
{
    if (store.GetValue(cmdId) == byte)
        return;
    store.SetValue(cmdId, byte);
    if (SfpParamRow* row = SfpParamTable::Instance().Find(cmdId)) {
        row->value = byte;
        row->pending = 1;
    }
}

bool SplitOverPair(const SfpCompositePair& pair, int32_t value)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr || store->GetCmd(pair.high) == nullptr || store->GetCmd(pair.low) == nullptr)
        return false;
    int32_t high = (value >> 8) & 0xFF;
    if (pair.bits == 12)
        high = (store->GetValue(pair.high) & 0xF0) | ((value >> 8) & 0x0F);
    SetPairByte(*store, pair.high, high);
    SetPairByte(*store, pair.low, value & 0xFF);
    return true;
}

} // namespace

IpSfpManager::IpSfpManager() : TpCommand(0, 0, 0) {}

std::span<const SfpCompositePair> IpSfpManager::CompositePairs() { return kCompositePairs; }

const SfpCompositePair* IpSfpManager::FindCompositePair(unsigned cmdId)
{
    // A second control stands for its row's value.
    const SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
    const unsigned composite = row != nullptr ? row->cmdId : cmdId;
    for (const SfpCompositePair& pair : kCompositePairs) {
        if (pair.composite == composite)
            return &pair;
    }
    return nullptr;
}

uint8_t IpSfpManager::MapLogicalPage(uint8_t logical)
{
    const int32_t flow = Selector(COM_SFP_IP_FLOW_SEL);
    const bool secondFlow = flow == 1;
    uint32_t page = logical;
    switch (logical) {
    case 0xFE:
    case 0xFF:
        page = (secondFlow ? 0xB0u : 0xA0u) + Clamped(Selector(COM_SFP_IP_AUDIO_FLOW_SEL));
        lastAudioPage = PageOf(page);
        break;
    case 0xFC:
    case 0xFD:
        page = 0xD0u + (secondFlow ? 1u : 0u) + Clamped(Selector(COM_SFP_IP_ANC_FLOW_SEL));
        lastAncPage = PageOf(page);
        break;
    case 0xF9:
        page = 0xF0u + Clamped(Selector(COM_SFP_IP_PTP_SEL));
        lastPtpPage = PageOf(page);
        break;
    case 0xFB:
        page = 0xE0u + Clamped(Selector(COM_SFP_IP_BLOCK_E_SEL));
        lastBlockEPage = PageOf(page);
        break;
    case 0x90:
        page = 0x90u + Clamped(flow);
        lastFlowPage = PageOf(page);
        break;
    default:
        break;
    }
    // While the sequencer reads a decapsulated audio map, every page is the
    // audio flow's (a list without a selection counts as flow 0, as above).
    const int8_t step = UpdateCounters().decapMapStep;
    if (step >= 6 && step <= 11)
        page = 0xA0u + Clamped(Selector(COM_SFP_IP_AUDIO_FLOW_SEL));
    return PageOf(page);
}

bool IpSfpManager::ChangePage(uint8_t logical)
{
    if (logical == requestedPage) {
        PollSfpStatus();
        return true;
    }
    const uint8_t physical = MapLogicalPage(logical);
    // The per-flow rows sit on the page being selected when it is a flow page,
    // else on the video flow page.
    const uint8_t flowRowsPage = logical == 0xC0 ? 0xC0 : logical >= 0xFC ? logical : 0x90;
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.followsFlowPage != 0)
            row.page = flowRowsPage;
    }
    pageBlocked = 1;
    PollSfpStatus();
    if (RequestPage(physical))
        requestedPage = logical;
    writeMark = 0;
    return false;
}

bool IpSfpManager::UnlockControllerPage(uint8_t page)
{
    const uint8_t command = page == kSfpAudioMapPage ? kSfpUnlockAudioMapPage : kSfpUnlockPage;
    const bool ok = WriteByte(page, kSfpCommandRegister, command);
    if (!ok)
        DebugPrintf("UnlockControllerPage 0x%02X Failed. Line %d\n", page, kUnlockFailedLine);
    PollSfpStatus();
    return ok;
}

bool IpSfpManager::CommitControllerPage(uint8_t page)
{
    const bool ok = WriteByte(page, kSfpCommandRegister, kSfpCommitPage);
    if (!ok)
        DebugPrintf("CommitControllerPage 0x%02X Failed. Line %d\n", page, kCommitFailedLine);
    PollSfpStatus();
    return ok;
}

bool IpSfpManager::SetNewParameterValue(uint8_t page, uint8_t reg, int32_t value, uint32_t byteCount,
                                        uint16_t cmdId)
{
    if (byteCount == 1) {
        if (WriteByte(page, reg, static_cast<uint8_t>(value & 0xFF)))
            return true;
        DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X failed on line %d\n", page, kParameterFailedLine);
        return false;
    }
    if (byteCount == 2) {
        if (const SfpCompositePair* pair = FindCompositePair(cmdId))
            return SplitOverPair(*pair, value);
        if (reg == 0xFF) {
            DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X: no register after 0x%02X\n", page, reg);
            return false;
        }
        const uint8_t bytes[2] = {static_cast<uint8_t>((value >> 8) & 0xFF), static_cast<uint8_t>(value & 0xFF)};
        for (int i = 0; i < 2; ++i) {
            if (!WriteByte(page, static_cast<uint8_t>(reg + i), bytes[i])) {
                DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X failed on line %d\n", page,
                            kParameterFailedLine);
                return false;
            }
        }
        return true;
    }
    DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X: a %u-byte value (0x%04X) cannot be written\n", page,
                byteCount, cmdId);
    return false;
}

bool IpSfpManager::ServiceWriteSettle()
{
    if (busyCountdown == -1)
        return false;
    const int32_t remaining = busyCountdown - (firmwareDefaultCountdown != 0 ? 2 : 1);
    if (remaining > 0)
        PollSfpStatus();
    busyCountdown = -1;
    return false;
}

void IpSfpManager::ArmWriteSettle() { busyCountdown = kWriteSettleTicks; }

SfpParamCounts IpSfpManager::CountKnownParameters() const
{
    SfpParamCounts counts;
    for (const SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.pending == 0)
            continue;
        ++counts.all;
        if (row.inControllerSet != 0)
            ++counts.controller;
        if (row.inFlowSet != 0)
            ++counts.flow;
    }
    if (controllerConfiguring == 0)
        counts.controller = 0;
    if (flowConfiguring == 0)
        counts.flow = 0;
    return counts;
}
