#include "IpValueDisplay.h"

#include "IpTextFormat.h"

#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/manager/IpBusy.h"
#include "ipsfp/manager/IpFlowView.h"
#include "ipsfp/manager/IpPeriodicStep.h"
#include "ipsfp/manager/IpStoreAccess.h"
#include "ipsfp/params/SfpCompositePairs.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/TpStore.h"

#include <iterator>

namespace {

using Kind = SfpDisplayKind;

// Bytes each display kind reads, by kind.
constexpr uint8_t kKindBytes[] = {1, 1, 2, 1, 0, 1, 0, 0, 1, 4, 6, 1, 1, 0, 1, 2, 4, 1, 1, 1, 3, 1, 1, 1, 4};
static_assert(std::size(kKindBytes) == static_cast<size_t>(Kind::Signed32) + 1);

constexpr uint32_t kLastFirmwareSlot = 3;

// A dotted group shown when its last byte is read: trigger row, first byte, byte count, text control,
// text control of the second PTP view (the bytes' second controls).
struct GroupText {
    uint16_t trigger;
    uint16_t first;
    uint8_t bytes;
    uint16_t text;
    uint16_t secondText;
};
constexpr GroupText kGroupTexts[] = {
    {COM_SFP_IP_IGMP_SRC_IP_BYTE4_0C37, COM_SFP_IP_IGMP_SRC_IP_BYTE4_0C34, 4, IpIds::kPtpAddressTextA[0],
     IpIds::kPtpAddressTextA[1]},
    {COM_SFP_IP_IGMP_SRC_IP_BYTE4_0C3B, COM_SFP_IP_IGMP_SRC_IP_BYTE4_0C38, 4, IpIds::kPtpAddressTextB[0],
     IpIds::kPtpAddressTextB[1]},
    {COM_SFP_IP_IGMP_SRC_IP_BYTE4_0B61, COM_SFP_IP_IGMP_SRC_IP_BYTE4, 8, IpIds::kClockIdentityText[0],
     IpIds::kClockIdentityText[1]},
};

constexpr uint16_t kVlanIds[] = {COM_SFP_IP_WEB_VLAN_ID, COM_SFP_IP_FLOW_VLAN_ID};
constexpr const char* kAddressTypes[] = {"Invalid", "Unicast", "Multicast"};
constexpr uint16_t kMirroredRows[] = {COM_SFP_IP_FLOW_MAC_BYTE1_0BA4, COM_SFP_IP_FLOW_MAC_BYTE1_0AF8,
                                      COM_SFP_IP_VID_SEQUENCE_ERRORS_0C29};

using IpStoreAccess::TheStore;

bool OnFlowTab(int32_t tab) { return (tab >= 1 && tab <= 3) || tab == 6; }

// A row on a page the flow selector chooses (the flow block, the ANC and audio
// flow pages); the rows of the other pages (the map pages among them) belong
// to no flow and show in their own controls whatever flow is shown.
bool FollowsFlowSelector(const SfpParamRow& row)
{
    return row.page == SfpPageNumber(SfpLogicalPage::FlowPg) || row.page >= SfpPageNumber(SfpLogicalPage::DecAncPg);
}

// The flow model's control that mirrors the flow on screen gets the value too.
void SetMirror(const IpFlowView& flows, unsigned cmdId, int32_t value)
{
    const bool port = cmdId == COM_SFP_IP_DEST_UDP_PORT || cmdId == COM_SFP_IP_SRC_UDP_PORT;
    if (const uint16_t mirror = port ? flows.FlowPortControl(cmdId) : flows.FlowValueControl(); mirror != 0)
        TheStore()->SetValue(mirror, value);
}

// The store values of count controls from first (or their second controls)
// joined with the separator.
std::string GroupTextOf(const GroupText& group, bool secondView)
{
    const TpStore* store = TheStore();
    std::string text;
    for (unsigned i = 0; i < group.bytes; ++i) {
        unsigned id = group.first + i;
        if (secondView) {
            const SfpParamRow* row = SfpParamTable::Instance().Find(id);
            id = row != nullptr ? row->secondCmdId : 0;
        }
        const long value = store->GetValue(id);
        if (i > 0)
            text += '.';
        text += group.bytes == 8 ? IpTextPrintf("%02lX", value & 0xFF) : IpTextPrintf("%ld", value);
    }
    return text;
}

} // namespace

uint16_t IpValueDisplay::FirmwareVersion(size_t element) const
{
    return element >= 1 && element <= firmwareVersions_.size() ? firmwareVersions_[element - 1] : 0;
}

IpValueDisplay::View IpValueDisplay::ViewOf(const SfpParamRow& row) const
{
    const int32_t tab = parts_.flows.MenuTab();
    const bool hasSecond = row.secondCmdId != 0;
    View view;
    if (OnFlowTab(tab))
        view.secondFlow = FollowsFlowSelector(row) && TheStore()->GetValue(COM_SFP_IP_FLOW_SEL) == 1;
    else if (tab == 4)
        view.secondPtp = TheStore()->GetValue(COM_SFP_IP_PTP_SEL) == 1;
    if (row.cmdId == COM_SFP_IP_TX_FLOW_ENABLED)
        view.shown = view.secondFlow && hasSecond;
    else if (view.secondFlow || view.secondPtp)
        view.shown = hasSecond;
    return view;
}

void IpValueDisplay::DisplayParameterValue(SfpParamRow& row, const uint8_t* bytes, size_t count, bool nonzero)
{
    if (TheStore() == nullptr)
        return;
    const View view = ViewOf(row);
    const BusyGuard guard = parts_.busy.Hold();
    if (row.cmdId == COM_SFP_IP_CONTR_IP_ADD1)
        parts_.tick.NoteManagementAddressRead();
    if (row.cmdId == COM_SFP_IP_SRC_IP_ADD1)
        ++sourceReadCounter_;
    // Every per-flow look-up follows the flow the view shows.
    if (FollowsFlowSelector(row))
        parts_.flows.FollowShownFlow(view.secondFlow);
    if (!view.shown || row.displayKind >= std::size(kKindBytes) || bytes == nullptr ||
        count < kKindBytes[row.displayKind])
        return;
    const unsigned target = view.secondFlow || view.secondPtp ? row.secondCmdId : row.cmdId;
    ShowKind(row, target, bytes, count, nonzero);
    if (row.displayKind <= static_cast<uint32_t>(Kind::ByteValue))
        FollowUp(row, bytes[0], view);
}

void IpValueDisplay::ShowKind(SfpParamRow& row, unsigned target, const uint8_t* bytes, size_t count, bool nonzero)
{
    TpStore* store = TheStore();
    const uint8_t v = bytes[0];
    // The bytes as one big-endian number, for the kinds that read several.
    uint32_t number = 0;
    const bool hasNumber = SfpParamFieldValue(row, bytes, count, number);
    switch (static_cast<Kind>(row.displayKind)) {
    case Kind::Value:
    case Kind::ByteValue:
    case Kind::SwitchBit:
        store->SetValue(target, v);
        row.value = v;
        break;
    case Kind::Count16:
        if (!hasNumber)
            break;
        if (row.cmdId == COM_SFP_IP_VID_SEQUENCE_ERRORS) {
            store->SetVisible(target, false);
            store->SetValue(target, static_cast<int32_t>(number));
            store->SetVisible(target, true);
            store->SetColour(target, number == 0 ? kIpWhite : kIpRed);
            for (uint16_t id : IpIds::kSequenceErrorLines)
                store->SetVisible(id, true);
            break;
        }
        store->SetValue(target, static_cast<int32_t>(number));
        if (row.cmdId == COM_SFP_IP_DEST_UDP_PORT || row.cmdId == COM_SFP_IP_SRC_UDP_PORT)
            SetMirror(parts_.flows, row.cmdId, static_cast<int32_t>(number));
        break;
    case Kind::Text: {
        std::string text;
        for (size_t i = 0; i < count && i < SfpParamTable::kMaxByteCount && bytes[i] != 0; ++i)
            text += static_cast<char>(bytes[i]);
        store->SetText(target, text);
        break;
    }
    case Kind::StatusOk:
        store->SetText(target, "OK");
        store->SetColour(target, kIpWhite);
        break;
    case Kind::Flag: store->SetValue(target, nonzero ? 1 : 0); break;
    case Kind::Count32:
    case Kind::Signed32:
    case Kind::Count24:
        if (!hasNumber)
            break;
        if (static_cast<Kind>(row.displayKind) == Kind::Signed32) {
            store->SetText(target, IpTextPrintf("%d", static_cast<int32_t>(number)));
            break;
        }
        store->SetText(target, IpTextPrintf("%u", number));
        if (static_cast<Kind>(row.displayKind) == Kind::Count24)
            store->SetValue(target, static_cast<int32_t>(number));
        break;
    case Kind::MacAddress:
        store->SetText(target, IpTextPrintf("%02X:%02X:%02X:%02X:%02X:%02X", bytes[0], bytes[1], bytes[2], bytes[3],
                                            bytes[4], bytes[5]));
        break;
    case Kind::StandardText:
        if (parts_.flows.MenuTab() == IpIds::kTabVideo)
            texts_.ShowStandardField(target, {bytes, count}, v != 0);
        break;
    case Kind::JoinStatus: store->SetText(target, v != 0 ? "Joined" : "Not Joined"); break;
    case Kind::MirroredValue: {
        // A two-byte value (a VLAN id) is shown whole; a 12-bit pair without
        // the upper bits its first register shares.
        if (!hasNumber)
            break;
        const SfpCompositePair* pair = FindSfpCompositePair(row.cmdId);
        const auto value = static_cast<int32_t>(pair != nullptr && pair->bits == 12 ? number & 0x0FFF : number);
        store->SetValue(target, value);
        if (parts_.flows.IpFeatures())
            SetMirror(parts_.flows, row.cmdId, value);
        break;
    }
    case Kind::Version:
        store->SetText(target, IpTextPrintf("%d.%d", bytes[0], bytes[1]));
        if (row.cmdId >= COM_SFP_IP_VERSION_ELEMENT1 && row.cmdId <= COM_SFP_IP_VERSION_ELEMENT3)
            firmwareVersions_[row.cmdId - COM_SFP_IP_VERSION_ELEMENT1] = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
        break;
    case Kind::Hex32:
        store->SetText(target, IpTextPrintf("%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]));
        break;
    case Kind::SsrcByte:
        row.value = v;
        store->SetValue(target, v);
        texts_.ShowSsrc();
        LogSsrcChange();
        break;
    case Kind::BothViews:
        store->SetValue(target, v);
        if (row.secondCmdId != 0)
            store->SetValue(row.secondCmdId, v);
        break;
    case Kind::OffsetWarning: store->SetText(target, v == 0 ? "NoWarning" : "OffsetErr"); break;
    case Kind::ProgramSlots:
        store->SetValue(target, v);
        texts_.ShowSequenceCounter();
        break;
    case Kind::CountText:
        store->SetValue(target, v);
        texts_.ShowVideoSequenceErrors();
        break;
    default: break;   // read, nothing shown
    }
}

// The SSRC text of the flow shown, logged when it changed.
void IpValueDisplay::LogSsrcChange()
{
    const size_t flow = parts_.flows.SecondFlowShown() ? 1 : 0;
    const unsigned box = IpIds::kSsrcBoxes[flow];
    TpStore* store = TheStore();
    const std::string text = store->GetCmdText(box);
    if (text == loggedSsrc_[flow])
        return;
    loggedSsrc_[flow] = text;
    if (SFPLogger* logger = SFPLogger::Instance())
        logger->LogParameterChange(store->GetCmd(box), "SSRC", 0, kSfpGroupNone, 1);
}

void IpValueDisplay::FollowUp(const SfpParamRow& row, uint32_t value, const View& view)
{
    TpStore* store = TheStore();
    const unsigned id = row.cmdId;
    if (id == COM_SFP_IP_VLAN_ENABLE_BIT) {
        for (size_t i = 0; i < std::size(IpIds::kVlanStateTexts); ++i)
            store->SetText(IpIds::kVlanStateTexts[i], value == 0 ? std::string("Disabled")
                                                     : IpTextPrintf("%ld", static_cast<long>(store->GetValue(kVlanIds[i]))));
        return;
    }
    for (const GroupText& group : kGroupTexts)
        if (id == group.trigger)
            store->SetText(view.secondPtp ? group.secondText : group.text, GroupTextOf(group, view.secondPtp));
    if (id == COM_SFP_IP_IGMP_SRC_IP_BYTE4_0B6F || id == COM_SFP_IP_IGMP_SRC_IP_BYTE4_0B70)
        store->SetText(IpIds::kLockStateTexts[id == COM_SFP_IP_IGMP_SRC_IP_BYTE4_0B6F ? 0 : 1],
                       IpValueTexts::LockStateText(value));
    if (id == COM_SFP_IP_VID_SEQUENCE_ERRORS_0C24)
        store->SetText(IpIds::kAddressTypeText, value < std::size(kAddressTypes) ? kAddressTypes[value] : "???");
    // The slot the module runs, for the firmware choice; 255 for none.
    if (id == COM_SFP_IP_LOADED_ELEMENT)
        parts_.flows.NoteLoadedFirmware(value <= kLastFirmwareSlot ? static_cast<int32_t>(value) : 255);
    if (parts_.flows.IpFeatures())
        for (uint16_t mirrored : kMirroredRows)
            if (id == mirrored)
                SetMirror(parts_.flows, id, static_cast<int32_t>(value));
}
