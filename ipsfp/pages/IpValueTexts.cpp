#include "IpValueTexts.h"
#include "core/store/Colours.h"

#include "IpTextFormat.h"

#include "ipsfp/manager/IpAudioMaps.h"
#include "ipsfp/manager/IpControlTree.h"
#include "ipsfp/manager/IpFlowView.h"
#include "ipsfp/manager/IpStoreAccess.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"

#include <iterator>

namespace {

// Byte controls of the counters, most significant first.
constexpr uint16_t kVideoSequenceErrorBytes[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C19,
                                                 COM_SFP_IP_VID_SEQUENCE_ERRORS_0C1A,
                                                 COM_SFP_IP_VID_SEQUENCE_ERRORS_0C1B,
                                                 COM_SFP_IP_VID_SEQUENCE_ERRORS_0C1C};
constexpr uint16_t kSequenceCounterBytes[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0A, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0B,
                                              COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0C, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0D};
constexpr uint16_t kSsrcBytes[] = {COM_SFP_IP_FLOW_SSRC_ID4, COM_SFP_IP_FLOW_SSRC_ID3, COM_SFP_IP_FLOW_SSRC_ID2,
                                   COM_SFP_IP_FLOW_SSRC_ID1};
constexpr uint16_t kSsrcSecondBytes[] = {COM_SFP_IP_FLOW_SSRC_ID4_VIEW2, COM_SFP_IP_FLOW_SSRC_ID3_VIEW2,
                                         COM_SFP_IP_FLOW_SSRC_ID2_VIEW2, COM_SFP_IP_FLOW_SSRC_ID1_VIEW2};

constexpr int kAudioFlows = 8;
constexpr int kAudioChannels = 16;
constexpr const char* kSdiChannelNames[kAudioChannels] = {
    "G1P1-L", "G1P1-R", "G1P2-L", "G1P2-R", "G2P1-L", "G2P1-R", "G2P2-L", "G2P2-R",
    "G3P1-L", "G3P1-R", "G3P2-L", "G3P2-R", "G4P1-L", "G4P1-R", "G4P2-L", "G4P2-R"};

enum class StdField : uint8_t { Valid, ScanMode, BitRate, SampleFormat, FrameRate, VidFormat, Payload, Register172 };

// field, first control, second control, summary control of each set (0 = the field's own)
struct StdFieldRow {
    StdField field;
    uint16_t first;
    uint16_t second;
    uint16_t summary[2];
};
constexpr StdFieldRow kStdFields[] = {
    {StdField::Valid, COM_SFP_IP_STD_VALID, COM_SFP_IP_STD_VALID_VIEW2, {0, 0}},
    {StdField::ScanMode, COM_SFP_IP_STD_SCAN_MODE, COM_SFP_IP_STD_SCAN_MODE_VIEW2,
     {IpIds::kScanSummary[0], IpIds::kScanSummary[1]}},
    {StdField::BitRate, COM_SFP_IP_STD_BIT_RATE, COM_SFP_IP_STD_BIT_RATE_VIEW2, {0, 0}},
    {StdField::SampleFormat, COM_SFP_IP_STD_SAMPLE_FMT, COM_SFP_IP_STD_SAMPLE_FMT_VIEW2, {0, 0}},
    {StdField::FrameRate, COM_SFP_IP_STD_FRAME_RATE, COM_SFP_IP_STD_FRAME_RATE_VIEW2, {0, 0}},
    {StdField::VidFormat, COM_SFP_IP_STD_VID_FMT, COM_SFP_IP_STD_VID_FMT_VIEW2, {0, 0}},
    {StdField::Payload, COM_SFP_IP_STD_SMPTE_PAYLOAD, COM_SFP_IP_STD_SMPTE_PAYLOAD_VIEW2, {0, 0}},
    {StdField::Register172, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21_VIEW2,
     {IpIds::kRegister172Summary[0], IpIds::kRegister172Summary[1]}},
};
constexpr const char* kBitRates[] = {"HD", "SD", "3G"};
constexpr const char* kSampleFormats[] = {"422 YCbCr",   "444 YCbCr",   "444 RGB",     "420 YCbCr",
                                          "4224 YCbCrA", "4444 YCbCrA", "4444 RGBA",   "Smpte2048",
                                          "4224 YCbCrD", "4444 YCbCrD", "4444 RGBD"};
constexpr const char* kFrameRates[] = {"Undefined", "Reserved", "23.98", "24",    "47.95", "25",
                                       "29.97",     "30",       "48",    "50",    "59.94", "60"};
constexpr const char* kVidFormats[] = {"SMPTE274 1920x1080", "SMPTE296 1280x720", "ST2048-2 2048x1080",
                                       "SMPTE295 1920x1080", "Reserved", "Reserved", "Reserved", "Reserved",
                                       "NTSC 720x486", "PAL 720x576", "Reserved", "Reserved", "Reserved",
                                       "Reserved", "Reserved", "Unknown"};

// first octet from, to; leading 255s of the class's default mask; note
struct SubnetRow {
    int32_t from;
    int32_t to;
    int fullBytes;
    const char* note;
};
constexpr SubnetRow kSubnets[] = {
    {10, 10, 1, "Note:IP Address starting 10 default subnet 255.0.0.0"},
    {128, 191, 2, "Note:IP Address starting 128-191 default subnet 255.255.0.0"},
    {192, 223, 3, "Note:IP Address starting 192-223 default subnet 255.255.255.0"},
};
constexpr uint16_t kWebAddressFirstOctet = COM_SFP_IP_CONTR_IP_ADD4;
constexpr uint16_t kWebMaskOctets[] = {COM_SFP_IP_CONTR_MASK4, COM_SFP_IP_CONTR_MASK3, COM_SFP_IP_CONTR_MASK2,
                                       COM_SFP_IP_CONTR_MASK1};   // dotted order

constexpr uint16_t kToggleOnId = COM_SFP_IP_DHCP;
constexpr uint16_t kToggleOffId = COM_SFP_IP_DHCP_OFF;

using IpStoreAccess::ValueOf;

std::string CountText(const uint16_t (&bytes)[4])
{
    uint32_t value = 0;
    for (uint16_t id : bytes)
        value = (value << 8) | (static_cast<uint32_t>(ValueOf(id)) & 0xFF);
    return IpTextPrintf("%u", value);
}

} // namespace

const char* IpValueTexts::LockStateText(uint32_t state)
{
    if (state == 2 || state == 3)
        return "Locked";
    return state == 1 ? "Initialised" : "Not Locked";
}

void IpValueTexts::ShowVideoSequenceErrors()
{
    if (TpStore* store = TpStore::Instance())
        store->SetText(IpIds::kVideoSequenceErrorText, CountText(kVideoSequenceErrorBytes));
}

void IpValueTexts::ShowSequenceCounter()
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    const std::string text = CountText(kSequenceCounterBytes);
    for (uint16_t id : IpIds::kSequenceCounterTexts)
        store->SetText(id, text);
}

void IpValueTexts::ShowSsrc()
{
    IpFlowView& flows = parts_.flows;
    flows.RefreshFlowLabel(CountText(flows.SecondFlowShown() ? kSsrcSecondBytes : kSsrcBytes));
}

void IpValueTexts::ShowAudioChannel(int flow, int channel, int sdiChannel)
{
    if (flow < 0 || flow >= kAudioFlows || channel < 0 || channel >= kAudioChannels)
        return;
    const auto f = static_cast<size_t>(flow);
    const auto c = static_cast<size_t>(channel);
    const IpAudioMaps& maps = parts_.maps;
    ShowAudioCell(flow, channel, sdiChannel, c < maps.ChannelCount(f),
                  maps.EncoderFlowEnabled(f) && maps.ChannelActive(f, c));
}

void IpValueTexts::ShowAudioCell(int flow, int channel, int sdiChannel, bool embedded, bool active)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr || flow < 0 || flow >= kAudioFlows || channel < 0 || channel >= kAudioChannels)
        return;
    const char* text = "-";
    if (embedded)
        text = sdiChannel >= 0 && sdiChannel < kAudioChannels ? kSdiChannelNames[sdiChannel] : "";
    const int item = flow + 9 * channel + 10;
    store->SetItemText(IpIds::kFlowList, item, text);
    store->SetItemColours(IpIds::kFlowList, item, active ? Colour::kWhite : Colour::kGrey, Colour::kListBlue);
}

void IpValueTexts::ShowIanaWarning(bool on)
{
    if (TpStore* store = TpStore::Instance()) {
        store->SetText(IpIds::kIanaWarning, on ? "IANA range 224.0.0.0-224.0.1.255 restriction!" : "");
        store->SetVisible(IpIds::kIanaWarning, on);
    }
}

void IpValueTexts::ShowStandardField(unsigned cmdId, std::span<const uint8_t> bytes, bool flag)
{
    TpStore* store = TpStore::Instance();
    const StdFieldRow* row = nullptr;
    for (const StdFieldRow& r : kStdFields)
        if (r.first == cmdId || r.second == cmdId)
            row = &r;
    if (store == nullptr || row == nullptr || bytes.empty())
        return;
    const bool second = cmdId == row->second;
    const uint8_t value = bytes[0];
    std::string text = "???";
    switch (row->field) {
    case StdField::Valid:
        text = flag ? "True" : "False";
        store->SetColour(cmdId, flag ? Colour::kWhite : Colour::kRed);
        parts_.controls.ColourStandardFields(flag);
        break;
    case StdField::ScanMode:
        text = store->GetCmdText(second ? COM_SFP_IP_STD_FRAME_RATE_VIEW2 : COM_SFP_IP_STD_FRAME_RATE) +
               (flag ? "p" : "i");
        break;
    case StdField::BitRate: text = TextAt(kBitRates, value, "???"); break;
    case StdField::SampleFormat: text = TextAt(kSampleFormats, value, "Reserved"); break;
    case StdField::FrameRate: text = TextAt(kFrameRates, value, "Reserved"); break;
    case StdField::VidFormat: text = TextAt(kVidFormats, value, "Reserved"); break;
    case StdField::Payload:
        if (bytes.size() >= 4)
            text = IpTextPrintf("%02X:%02X:%02X:%02X", bytes[3], bytes[2], bytes[1], bytes[0]);
        break;
    case StdField::Register172: text = store->GetCmdText(cmdId); break;
    }
    store->SetValue(cmdId, value);
    if (const uint16_t summary = row->summary[second ? 1 : 0]; summary != 0) {
        store->SetText(summary, text);
        store->SetValue(summary, value);
    } else {
        store->SetText(cmdId, text);
    }
}

void IpValueTexts::ShowToggleState()
{
    if (TpStore* store = TpStore::Instance())
        store->SetText(IpIds::kToggleText, ValueOf(IpIds::kToggleValue) != 0 ? "On" : "Off");
}

void IpValueTexts::HandleToggleCommand(unsigned cmdId)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    const bool on = ValueOf(IpIds::kToggleValue) != 0;
    if ((cmdId == kToggleOnId && on) || (cmdId == kToggleOffId && !on) ||
        (cmdId != kToggleOnId && cmdId != kToggleOffId))
        return;
    store->SetValue(IpIds::kToggleValue, on ? 0 : 1);
    ShowToggleState();
}

bool IpValueTexts::ShowSubnetNote()
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return false;
    const int32_t first = ValueOf(kWebAddressFirstOctet);
    for (const SubnetRow& subnet : kSubnets) {
        if (first < subnet.from || first > subnet.to)
            continue;
        bool isDefault = true;
        for (size_t i = 0; i < std::size(kWebMaskOctets); ++i)
            isDefault = isDefault && ValueOf(kWebMaskOctets[i]) == (static_cast<int>(i) < subnet.fullBytes ? 255 : 0);
        if (isDefault)
            break;
        store->SetText(IpIds::kSubnetNote, subnet.note);
        return true;
    }
    store->SetText(IpIds::kSubnetNote, "");
    return false;
}

void IpValueTexts::ShowActiveSource(bool secondSource)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    constexpr uint16_t kCounters[2] = {COM_SFP_IP_FLOW_MAC_BYTE1_0C48, COM_SFP_IP_FLOW_MAC_BYTE1_0C48_VIEW2};
    SourceSample& sample = sources_[secondSource ? 1 : 0];
    const auto count = static_cast<uint16_t>(ValueOf(kCounters[secondSource ? 1 : 0]));
    if (count != sample.count)
        sample.changed = 1;
    sample.count = count;
    sample.seen = 1;
    if (sources_[0].seen == 0 || sources_[1].seen == 0)
        return;
    const bool second = sources_[0].changed == 0 && sources_[1].changed != 0;
    store->SetText(IpIds::kActiveSourceName, second ? "Source 2" : "Source 1");
    const auto& from = second ? IpIds::kSource2Texts : IpIds::kSource1Texts;
    for (size_t i = 0; i < std::size(IpIds::kActiveSourceTexts); ++i)
        store->SetText(IpIds::kActiveSourceTexts[i], store->GetCmdText(from[i]));
    for (SourceSample& s : sources_)
        s.seen = s.changed = 0;
}

// The counts and whether they were sampled; a change seen stays.
void IpValueTexts::ForgetActiveSource()
{
    for (SourceSample& s : sources_) {
        s.count = 0;
        s.seen = 0;
    }
}
