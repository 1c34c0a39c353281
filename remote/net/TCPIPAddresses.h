// The network settings page: the DHCP switch (the page's own value: 0
// static, 1 DHCP), the host name, the static address, mask, gateway and DNS
// server editors, the addresses shown and in use, and the Setup and Apply
// buttons of the "SetupNetwork" dialog. The settings live in the settings
// file; the page tells its parent (the remote-control page) when the address
// it stands for may have changed, so that the server binds again.
//
// The "NET" task re-applies the settings after a change, watches the network
// driver's packet counter for a pulled cable and, in DHCP mode, shows the
// host's own address.
#pragma once

#include "TpHostName.h"
#include "TpIpAddress.h"
#include "TpNetThread.h"

#include "core/store/TpParent.h"

#include <cstdint>
#include <memory>
#include <string>

class TpDialog;
class TpIniFile;

class TCPIPAddresses : public TpParent {
public:
    // Entries of the command-id table, in order.
    enum IdEntry {
        kIdSetup,
        kIdApply,
        kIdDhcp,
        kIdDhcpIp,
        kIdDhcpMask,
        kIdDhcpGateway,
        kIdDhcpDns,
        kIdHostName,
        kIdIp,
        kIdMask,
        kIdGateway,
        kIdDns,
        kIdCount
    };
    static constexpr int kTaskPeriodMs = 2000;
    static constexpr int kCableDownReadings = 3;   // equal readings in a row

    // ids holds kIdCount command ids. Reads the settings at once.
    TCPIPAddresses(TpCommand* parent, const uint16_t* ids, TpIniFile& settings);
    ~TCPIPAddresses() override;

    // The DHCP switch: tells the network thread, enables and shows the
    // static editors only in static mode and fills the DHCP displays (the
    // static addresses, or "Acquiring..."). Returns 0 in static mode, else
    // the switch.
    int32_t SetValue(int32_t dhcp) override;
    void OnChildChanged(TpCommand* child, int reason) override;
    // The "NET" task.
    void OnTask() override;

    // The address the server stands for (first octet in the top byte): in
    // DHCP mode the one shown on the DHCP address display (0 unless it reads
    // as an address), else the static address.
    uint32_t GetIpAddress() const;
    static std::string AddressText(const TpIpAddress& editor) { return editor.Text(); }

    // The four address texts in use, from the DHCP displays or the static
    // editors.
    void UpdateAddressTexts();
    void ShowNoConnect();
    void ShowCableReconnected();
    // One reading of the network driver's packet counter.
    void CheckCable();

    const TpIpAddress& StaticIp() const { return *ip_; }
    const TpNetThread* NetThread() const { return net_.get(); }
    bool CableDown() const { return cableDown_; }
    // The "SetupNetwork" dialog while Setup has it open.
    const TpDialog* SetupDialog() const { return dialog_; }

private:
    void SetDisplays(const std::string& ip, const std::string& mask, const std::string& gateway,
                     const std::string& dns);
    void SetInUseTexts(const std::string& text);
    void HandStaticAddresses();
    void TellParent();
    void OpenSetupDialog();
    void CloseSetupDialog();
    void Apply();

    TpIniFile& settings_;
    uint16_t ids_[kIdCount];

    std::unique_ptr<TpChildCmd> setup_;
    std::unique_ptr<TpChildCmd> apply_;
    std::unique_ptr<TpIpAddress> ip_;
    std::unique_ptr<TpIpAddress> mask_;
    std::unique_ptr<TpIpAddress> gateway_;
    std::unique_ptr<TpIpAddress> dns_;
    std::unique_ptr<TpHostName> hostName_;
    std::unique_ptr<TpCommand> dhcpIp_;
    std::unique_ptr<TpCommand> dhcpMask_;
    std::unique_ptr<TpCommand> dhcpGateway_;
    std::unique_ptr<TpCommand> dhcpDns_;
    std::unique_ptr<TpCommand> inUseIp_;
    std::unique_ptr<TpCommand> inUseMask_;
    std::unique_ptr<TpCommand> inUseGateway_;
    std::unique_ptr<TpCommand> inUseDns_;
    std::unique_ptr<TpNetThread> net_;
    TpDialog* dialog_ = nullptr;   // the "SetupNetwork" dialog Setup opened

    bool refresh_ = false;
    bool cableDown_ = false;
    bool lastShownSet_ = false;
    uint32_t lastAddress_ = 0;
    int32_t lastSwitch_ = -1;
    int pollCount_ = 0;
    std::string lastReading_;
};
