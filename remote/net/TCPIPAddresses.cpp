#include "TCPIPAddresses.h"

#include "KrZuApi.h"
#include "board/NetBoard.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/dialogs/TpDialogList.h"

#include <cstdio>
#include <cstring>

namespace {
const char* const kAcquiring = "Acquiring...";
const char* const kNoConnect = "No Connect!";
const char* const kCableReconnected = "CableReconnected";
} // namespace

TCPIPAddresses::TCPIPAddresses(TpCommand* parent, const uint16_t* ids, TpIniFile& settings)
    : TpParent(parent, ids[kIdDhcp], kKeepsValue), settings_(settings)
{
    std::memcpy(ids_, ids, sizeof ids_);
    setup_ = std::make_unique<TpChildCmd>(this, ids_[kIdSetup], kKeepsValue);
    apply_ = std::make_unique<TpChildCmd>(this, ids_[kIdApply], kKeepsValue);
    ip_ = std::make_unique<TpIpAddress>(this, ids_[kIdIp]);
    mask_ = std::make_unique<TpIpAddress>(this, ids_[kIdMask]);
    gateway_ = std::make_unique<TpIpAddress>(this, ids_[kIdGateway]);
    dns_ = std::make_unique<TpIpAddress>(this, ids_[kIdDns]);
    hostName_ = std::make_unique<TpHostName>(this, ids_[kIdHostName]);
    dhcpIp_ = std::make_unique<TpCommand>(this, ids_[kIdDhcpIp], kKeepsText);
    dhcpMask_ = std::make_unique<TpCommand>(this, ids_[kIdDhcpMask], kKeepsText);
    dhcpGateway_ = std::make_unique<TpCommand>(this, ids_[kIdDhcpGateway], kKeepsText);
    dhcpDns_ = std::make_unique<TpCommand>(this, ids_[kIdDhcpDns], kKeepsText);
    inUseIp_ = std::make_unique<TpCommand>(this, COM_NETWORK_STR_IP, kKeepsText);
    inUseMask_ = std::make_unique<TpCommand>(this, COM_NETWORK_STR_MASK, kKeepsText);
    inUseGateway_ = std::make_unique<TpCommand>(this, COM_NETWORK_STR_GATEWAY, kKeepsText);
    inUseDns_ = std::make_unique<TpCommand>(this, COM_NETWORK_STR_DNS, kKeepsText);
    net_ = std::make_unique<TpNetThread>();
    if (TpStore* store = Store())
        store->AddTask(this, "NET", kTaskPeriodMs, false, false);

    hostName_->SetTextAll(settings_.GetString("", "HostName", "CorvaneZu"));
    ip_->SetFromText(settings_.GetString("", "IpAddress", "127.0.0.1"));
    mask_->SetFromText(settings_.GetString("", "SubNetMask", "255.255.255.0"));
    gateway_->SetFromText(settings_.GetString("", "Gateway", "192.168.0.1"));
    dns_->SetFromText(settings_.GetString("", "DNSServer", "192.168.0.1"));
    const int32_t dhcp = settings_.GetString("", "DNS", "1") == "0" ? 0 : 1;
    SetValue(dhcp);
    SetValueAll(dhcp);   // the other views of the switch
    refresh_ = true;
}

TCPIPAddresses::~TCPIPAddresses()
{
    net_.reset();
}

void TCPIPAddresses::SetDisplays(const std::string& ip, const std::string& mask, const std::string& gateway,
                                 const std::string& dns)
{
    dhcpIp_->SetTextAll(ip);
    dhcpMask_->SetTextAll(mask);
    dhcpGateway_->SetTextAll(gateway);
    dhcpDns_->SetTextAll(dns);
}

void TCPIPAddresses::SetInUseTexts(const std::string& text)
{
    inUseIp_->SetTextAll(text);
    inUseMask_->SetTextAll(text);
    inUseGateway_->SetTextAll(text);
    inUseDns_->SetTextAll(text);
}

int32_t TCPIPAddresses::SetValue(int32_t dhcp)
{
    const bool on = dhcp != 0;
    if (net_)
        net_->SetDhcp(on);
    for (TpIpAddress* editor : {ip_.get(), mask_.get(), gateway_.get(), dns_.get()}) {
        editor->EnableOctets(!on);
        editor->ShowOctets(!on);
    }
    TpCommand::SetValue(dhcp);
    if (!on) {
        SetDisplays(ip_->Text(), mask_->Text(), gateway_->Text(), dns_->Text());
        return 0;
    }
    SetDisplays(kAcquiring, kAcquiring, kAcquiring, kAcquiring);
    return dhcp;
}

void TCPIPAddresses::HandStaticAddresses()
{
    if (net_)
        net_->SetAddresses(ip_->GetAddress(), mask_->GetAddress(), gateway_->GetAddress(), dns_->GetAddress());
}

void TCPIPAddresses::TellParent()
{
    if (TpCommand* parent = Parent())
        parent->OnChildChanged(this, kReasonValue);
}

void TCPIPAddresses::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue || child == nullptr || child->GetValue() == 0)
        return;
    if (child == setup_.get()) {
        setup_->SetValueAll(0);
        SetEnabledAll(true);
        hostName_->SetEnabledAll(true);
        OpenSetupDialog();
    } else if (child == apply_.get() && net_) {
        Apply();
    }
}

void TCPIPAddresses::Apply()
{
    SetEnabledAll(false);
    hostName_->SetEnabledAll(false);
    CloseSetupDialog();
    HandStaticAddresses();
    // The host name is saved too, so that an edited name survives a restart.
    settings_.SetString("", "HostName", hostName_->GetText());
    settings_.SetString("", "IpAddress", ip_->Text());
    settings_.SetString("", "SubNetMask", mask_->Text());
    settings_.SetString("", "Gateway", gateway_->Text());
    settings_.SetString("", "DNSServer", dns_->Text());
    settings_.SetString("", "DNS", GetValue() != 0 ? "1" : "0");
    apply_->SetValueAll(0);
    TellParent();
    UpdateAddressTexts();
}

void TCPIPAddresses::OpenSetupDialog()
{
    dialog_ = ShowDialog("SetupNetwork", 1);
}

void TCPIPAddresses::CloseSetupDialog()
{
    if (dialog_ != nullptr && IsWindowOpen(dialog_))
        CloseDialog(dialog_);
    dialog_ = nullptr;
}

uint32_t TCPIPAddresses::GetIpAddress() const
{
    if (GetValue() == 0)
        return ip_->GetAddress();
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(dhcpIp_->GetText().c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4)
        return 0;
    if (a > 255 || b > 255 || c > 255 || d > 255)
        return 0;
    return (a << 24) | (b << 16) | (c << 8) | d;
}

void TCPIPAddresses::UpdateAddressTexts()
{
    if (GetValue() != 0) {
        inUseIp_->SetTextAll(dhcpIp_->GetText());
        inUseMask_->SetTextAll(dhcpMask_->GetText());
        inUseGateway_->SetTextAll(dhcpGateway_->GetText());
        inUseDns_->SetTextAll(dhcpDns_->GetText());
    } else {
        inUseIp_->SetTextAll(ip_->Text());
        inUseMask_->SetTextAll(mask_->Text());
        inUseGateway_->SetTextAll(gateway_->Text());
        inUseDns_->SetTextAll(dns_->Text());
    }
}

void TCPIPAddresses::ShowNoConnect()
{
    SetInUseTexts(kNoConnect);
    dhcpIp_->SetTextAll(kNoConnect);
}

void TCPIPAddresses::ShowCableReconnected()
{
    SetInUseTexts(kCableReconnected);
    dhcpIp_->SetTextAll(kCableReconnected);
}

void TCPIPAddresses::CheckCable()
{
    std::string reading;
    if (!net_read_packet_counter(reading))
        return;
    reading = reading.substr(0, 8);
    if (reading != "00000000") {
        if (reading != lastReading_) {
            pollCount_ = 0;
            if (cableDown_) {
                ShowCableReconnected();
                refresh_ = true;
                cableDown_ = false;
            }
        } else {
            if (pollCount_ < kCableDownReadings)
                ++pollCount_;
            if (pollCount_ >= kCableDownReadings && !cableDown_) {
                cableDown_ = true;
                ShowNoConnect();
                net_stop_dhcp_client();
                net_remove_dhcp_info();
            }
        }
    }
    lastReading_ = reading;
}

void TCPIPAddresses::OnTask()
{
    const int32_t dhcp = GetValue();
    if (refresh_) {
        SetValue(dhcp);
        HandStaticAddresses();
        if (dhcp == 0)
            TellParent();
    }
    CheckCable();
    if (dhcp != 0 && (dhcp != lastSwitch_ || refresh_)) {
        // The look-up is repeated on every task while DHCP is on: the switch
        // is not remembered.
        uint32_t address = 0;
        if (net_host_address(address)) {
            char text[24];
            std::snprintf(text, sizeof text, "%3u.%3u.%3u.%3u", address >> 24, (address >> 16) & 0xFF,
                          (address >> 8) & 0xFF, address & 0xFF);
            SetDisplays(text, "", "", "");
            TellParent();
        }
        refresh_ = false;
        return;
    }
    if (dhcp == 0) {
        const uint32_t address = GetIpAddress();
        if (address != lastAddress_)
            refresh_ = true;
        lastAddress_ = address;
    }
    const bool set = net_ && net_->StaticSet();
    if (set != lastShownSet_ || refresh_) {
        if (!set)
            SetDisplays(kNoConnect, kNoConnect, kNoConnect, kNoConnect);
        else
            SetDisplays(ip_->Text(), mask_->Text(), gateway_->Text(), dns_->Text());
        UpdateAddressTexts();
        lastShownSet_ = set;
    }
    lastSwitch_ = dhcp;
    refresh_ = false;
}
