#include "IpValueDisplay.h"
#include "core/store/Colours.h"

#include "IpTextFormat.h"

#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/manager/IpBusy.h"
#include "ipsfp/manager/IpFlowView.h"
#include "ipsfp/manager/IpPeriodicStep.h"
#include "ipsfp/manager/IpStoreAccess.h"
#include "ipsfp/params/SfpCompositePairs.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"

#include <iterator>

namespace {

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
// PTP texts by value, shown in the texts of the PTP view the row was read for
// (first view, second view), which the active source's texts are taken from.
constexpr const char* kPtpAddressModes[] = {"Mixed", "Unicast", "Multicast"};
constexpr const char* kPtpLockStates[] = {"Fine Lock", "Coarse Lock"};
struct PtpText {
    uint16_t row;
    std::span<const char* const> texts;
    uint16_t target[2];
};
constexpr PtpText kPtpTexts[] = {
    {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C23, kPtpAddressModes, {IpIds::kSource1Texts[1], IpIds::kSource2Texts[1]}},
    {COM_SFP_IP_IGMP_SRC_IP_BYTE4_0B57, kPtpLockStates, {IpIds::kSource1Texts[0], IpIds::kSource2Texts[0]}},
};
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

// A row of the PTP page, which the PTP view chooses; the rows of the other
// pages read on the PTP tab (the module's page table) have one view only.
bool OnPtpPage(const SfpParamRow& row) { return row.page == SfpPageNumber(SfpLogicalPage::PtpPg); }

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
        view.secondPtp = OnPtpPage(row) && TheStore()->GetValue(COM_SFP_IP_PTP_SEL) == 1;
    if (row.cmdId == COM_SFP_IP_TX_FLOW_ENABLED)
        view.shown = view.secondFlow && hasSecond;
    else if (view.secondFlow || view.secondPtp)
        view.shown = hasSecond;
    return view;
}

unsigned IpValueDisplay::DisplayParameterValue(SfpParamRow& row, const uint8_t* bytes, size_t count, bool nonzero)
{
    if (TheStore() == nullptr)
        return 0;
    const View view = ViewOf(row);
    const BusyGuard guard = parts_.busy.Hold();
    if (row.cmdId == COM_SFP_IP_CONTR_IP_ADD1)
        parts_.tick.NoteManagementAddressRead();
    if (FollowsFlowSelector(row)) {
        // The flow copy checks a flow's source address once each of its bytes
        // was read from a flow page.
        for (size_t i = 0; i < std::size(IpIds::kFlowSrcBytes); ++i)
            if (row.cmdId == IpIds::kFlowSrcBytes[i])
                parts_.tick.NoteSourceByteRead(i);
        // Every per-flow look-up follows the flow the view shows.
        parts_.flows.FollowShownFlow(view.secondFlow);
    }
    const std::span<const KindRow> kinds = Kinds();
    if (!view.shown || row.displayKind >= kinds.size() || bytes == nullptr || count < kinds[row.displayKind].bytes)
        return 0;
    const unsigned target = view.secondFlow || view.secondPtp ? row.secondCmdId : row.cmdId;
    const KindRow& kind = kinds[row.displayKind];
    if (kind.show == nullptr)
        return 0;
    (this->*kind.show)(Shown {row, target, bytes, count, nonzero, view});
    return target;
}

// kind, bytes it reads, how it is shown (none: read, nothing shown); in kind order
std::span<const IpValueDisplay::KindRow> IpValueDisplay::Kinds()
{
    using K = SfpDisplayKind;
    using D = IpValueDisplay;
    static constexpr KindRow kRows[] = {
        {K::Value, 1, &D::ShowValue},                // and the texts that hang on the row
        {K::ByteValue, 1, &D::ShowValue},
        {K::Count16, 2, &D::ShowCount16},            // the sequence-error row; the UDP ports' mirrors
        {K::Text, 1, &D::ShowText},
        {K::NoDisplay, 0, nullptr},
        {K::StatusOk, 1, &D::ShowStatusOk},
        {K::FilterLabel, 0, nullptr},
        {K::PacketLabel, 0, nullptr},
        {K::Flag, 1, &D::ShowFlag},
        {K::Count32, 4, &D::ShowCount32},
        {K::MacAddress, 6, &D::ShowMacAddress},
        {K::StandardText, 1, &D::ShowStandardText},  // on the video tab only
        {K::JoinStatus, 1, &D::ShowJoinStatus},
        {K::Unused13, 0, nullptr},
        {K::MirroredValue, 1, &D::ShowMirroredValue},  // a 12-bit pair without its upper bits
        {K::Version, 2, &D::ShowVersion},            // the firmware versions kept
        {K::Hex32, 4, &D::ShowHex32},
        {K::SsrcByte, 1, &D::ShowSsrcByte},          // the SSRC text rebuilt and logged
        {K::BothViews, 1, &D::ShowBothViews},
        {K::OffsetWarning, 1, &D::ShowOffsetWarning},
        {K::Count24, 3, &D::ShowCount24},
        {K::ProgramSlots, 1, &D::ShowProgramSlots},
        {K::CountText, 1, &D::ShowCountText},
        {K::SwitchBit, 1, &D::ShowRowValue},
        {K::Signed32, 4, &D::ShowSigned32},
    };
    static_assert(std::size(kRows) == static_cast<size_t>(K::Signed32) + 1);
    static_assert([] {
        for (size_t i = 0; i < std::size(kRows); ++i)
            if (static_cast<size_t>(kRows[i].kind) != i)
                return false;
        return true;
    }());
    return kRows;
}

// --- the kinds ------------------------------------------------------------------------

bool IpValueDisplay::Shown::Number(uint32_t& number) const { return SfpParamFieldValue(row, bytes, count, number); }

void IpValueDisplay::ShowRowValue(const Shown& s)
{
    TheStore()->SetValue(s.target, s.First());
    s.row.value = s.First();
}

void IpValueDisplay::ShowValue(const Shown& s)
{
    ShowRowValue(s);
    FollowUp(s.row, s.First(), s.view);
}

void IpValueDisplay::ShowCount16(const Shown& s)
{
    TpStore* store = TheStore();
    uint32_t number = 0;
    if (!s.Number(number))
        return;
    if (s.row.cmdId == COM_SFP_IP_VID_SEQUENCE_ERRORS) {
        store->SetVisible(s.target, false);
        store->SetValue(s.target, static_cast<int32_t>(number));
        store->SetVisible(s.target, true);
        store->SetColour(s.target, number == 0 ? Colour::kWhite : Colour::kRed);
        for (uint16_t id : IpIds::kSequenceErrorLines)
            store->SetVisible(id, true);
        return;
    }
    store->SetValue(s.target, static_cast<int32_t>(number));
    if (s.row.cmdId == COM_SFP_IP_DEST_UDP_PORT || s.row.cmdId == COM_SFP_IP_SRC_UDP_PORT)
        SetMirror(parts_.flows, s.row.cmdId, static_cast<int32_t>(number));
}

void IpValueDisplay::ShowText(const Shown& s)
{
    std::string text;
    for (size_t i = 0; i < s.count && i < SfpParamTable::kMaxByteCount && s.bytes[i] != 0; ++i)
        text += static_cast<char>(s.bytes[i]);
    TheStore()->SetText(s.target, text);
}

void IpValueDisplay::ShowStatusOk(const Shown& s)
{
    TheStore()->SetText(s.target, "OK");
    TheStore()->SetColour(s.target, Colour::kWhite);
}

void IpValueDisplay::ShowFlag(const Shown& s) { TheStore()->SetValue(s.target, s.nonzero ? 1 : 0); }

void IpValueDisplay::ShowCount32(const Shown& s)
{
    if (uint32_t number = 0; s.Number(number))
        TheStore()->SetText(s.target, IpTextPrintf("%u", number));
}

void IpValueDisplay::ShowCount24(const Shown& s)
{
    if (uint32_t number = 0; s.Number(number)) {
        TheStore()->SetText(s.target, IpTextPrintf("%u", number));
        TheStore()->SetValue(s.target, static_cast<int32_t>(number));
    }
}

void IpValueDisplay::ShowSigned32(const Shown& s)
{
    if (uint32_t number = 0; s.Number(number))
        TheStore()->SetText(s.target, IpTextPrintf("%d", static_cast<int32_t>(number)));
}

void IpValueDisplay::ShowMacAddress(const Shown& s)
{
    const uint8_t* b = s.bytes;
    TheStore()->SetText(s.target, IpTextPrintf("%02X:%02X:%02X:%02X:%02X:%02X", b[0], b[1], b[2], b[3], b[4], b[5]));
}

void IpValueDisplay::ShowStandardText(const Shown& s)
{
    if (parts_.flows.MenuTab() == IpIds::kTabVideo)
        texts_.ShowStandardField(s.target, {s.bytes, s.count}, s.First() != 0);
}

void IpValueDisplay::ShowJoinStatus(const Shown& s)
{
    TheStore()->SetText(s.target, s.First() != 0 ? "Joined" : "Not Joined");
}

// A two-byte value (a VLAN id) is shown whole; a 12-bit pair without the
// upper bits its first register shares.
void IpValueDisplay::ShowMirroredValue(const Shown& s)
{
    uint32_t number = 0;
    if (!s.Number(number))
        return;
    const SfpCompositePair* pair = FindSfpCompositePair(s.row.cmdId);
    const auto value = static_cast<int32_t>(pair != nullptr && pair->bits == 12 ? number & 0x0FFF : number);
    TheStore()->SetValue(s.target, value);
    if (parts_.flows.IpFeatures())
        SetMirror(parts_.flows, s.row.cmdId, value);
}

void IpValueDisplay::ShowVersion(const Shown& s)
{
    TheStore()->SetText(s.target, IpTextPrintf("%d.%d", s.bytes[0], s.bytes[1]));
    const unsigned id = s.row.cmdId;
    if (id >= COM_SFP_IP_VERSION_ELEMENT1 && id <= COM_SFP_IP_VERSION_ELEMENT3)
        firmwareVersions_[id - COM_SFP_IP_VERSION_ELEMENT1] = static_cast<uint16_t>(s.bytes[0] << 8 | s.bytes[1]);
}

void IpValueDisplay::ShowHex32(const Shown& s)
{
    const uint8_t* b = s.bytes;
    TheStore()->SetText(s.target, IpTextPrintf("%02X%02X%02X%02X", b[0], b[1], b[2], b[3]));
}

void IpValueDisplay::ShowSsrcByte(const Shown& s)
{
    s.row.value = s.First();
    TheStore()->SetValue(s.target, s.First());
    texts_.ShowSsrc();
    LogSsrcChange();
}

void IpValueDisplay::ShowBothViews(const Shown& s)
{
    TheStore()->SetValue(s.target, s.First());
    if (s.row.secondCmdId != 0)
        TheStore()->SetValue(s.row.secondCmdId, s.First());
}

void IpValueDisplay::ShowOffsetWarning(const Shown& s)
{
    TheStore()->SetText(s.target, s.First() == 0 ? "NoWarning" : "OffsetErr");
}

void IpValueDisplay::ShowProgramSlots(const Shown& s)
{
    TheStore()->SetValue(s.target, s.First());
    texts_.ShowSequenceCounter();
}

void IpValueDisplay::ShowCountText(const Shown& s)
{
    TheStore()->SetValue(s.target, s.First());
    texts_.ShowVideoSequenceErrors();
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
        store->SetText(IpIds::kAddressTypeText, TextAt(kAddressTypes, value, "???"));
    for (const PtpText& ptp : kPtpTexts)
        if (id == ptp.row)
            store->SetText(ptp.target[view.secondPtp ? 1 : 0], TextAt(ptp.texts, value, "???"));
    // The slot the module runs, for the firmware choice; 255 for none.
    if (id == COM_SFP_IP_LOADED_ELEMENT)
        parts_.flows.NoteLoadedFirmware(value <= kLastFirmwareSlot ? static_cast<int32_t>(value) : 255);
    if (parts_.flows.IpFeatures())
        for (uint16_t mirrored : kMirroredRows)
            if (id == mirrored)
                SetMirror(parts_.flows, id, static_cast<int32_t>(value));
}
