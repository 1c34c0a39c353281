#include "TpRemoteCtrl.h"

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "platform/DebugOut.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>

namespace {
TpRemoteCtrl* g_remoteCtrl = nullptr;

constexpr int32_t kPortMax = 65535;

// The decimal number of the text; 0 when it is none or out of range.
int32_t ParsePort(const std::string& text)
{
    char* end = nullptr;
    const long port = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || port < 1 || port > kPortMax)
        return 0;
    return static_cast<int32_t>(port);
}
} // namespace

// The network page's (Setup, Apply, DHCP switch, the DHCP address, mask,
// gateway and DNS displays, host name, the first octets of the static
// address, mask, gateway and DNS editors), then the enable switch, the port,
// the note shown while enabled and the client list.
const uint16_t TpRemoteCtrl::kCommandIds[kIdCount] = {
    COM_NETWORK_SETUP, COM_NETWORK_APPLY, COM_NETWORK_DHCP,
    COM_NETWORK_DHCP_IP, COM_NETWORK_DHCP_MASK, COM_NETWORK_DHCP_GATEWAY, COM_NETWORK_DHCP_DNS,
    COM_NETWORK_NAME,
    COM_NETWORK_IP_1, COM_NETWORK_MASK_1, COM_NETWORK_GATEWAY_1, COM_NETWORK_DNS_1,
    COM_REMOTE_ENABLE, COM_REMOTE_PORT, COM_REMOTE_ENABLED_NOTE, COM_REMOTE_CONNECTIONS,
};

TpRemoteCtrl* TpRemoteCtrl::Instance()
{
    return g_remoteCtrl;
}

TpRemoteCtrl::TpRemoteCtrl(const uint16_t (&ids)[kIdCount], TpIniFile& settings, const TpWebPages* web)
    : TpParent(nullptr, 0, kKeepsNothing), settings_(settings), web_(web), cmds_(ids)
{
    g_remoteCtrl = this;
    if (TpStore* store = TpStore::Instance())
        store->DefineEntry(cmds_.Id(kIdEnable), kStoreValue, kStoreSystem, 1);

    network_ = std::make_unique<TCPIPAddresses>(this, cmds_.Ids(), settings_);
    monitor_ = std::make_unique<TpConnectionMonitor>(*this);
    cmds_.Make<TpChildCmd>(kIdEnable, this, kKeepsValue);
    cmds_.Make<TpChildCmd>(kIdPort, this, kKeepsValue);
    cmds_.Make<TpChildCmd>(kIdEnabledNote, this, kKeepsValue);
    cmds_.Make<TpTextListCmd>(kIdConnections, this, kKeepsText);
    cmds_.SetEnabled(kIdPort, true);

    const std::string portText = settings_.GetString("", "Port", std::to_string(kDefaultPort));
    const int32_t port = ParsePort(portText);
    if (port == 0)
        DebugPrintf("ERROR: remote-control port \"%s\" out of range\n", portText.c_str());
    else
        cmds_.SetValue(kIdPort, port);
    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "REMOTE", kTaskPeriodMs, false, false);
}

TpRemoteCtrl::~TpRemoteCtrl()
{
    // The monitor closes the listening socket and ends every connection.
    monitor_.reset();
    network_.reset();
    cmds_.Clear();
    if (g_remoteCtrl == this)
        g_remoteCtrl = nullptr;
}

void TpRemoteCtrl::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue || child == nullptr || !monitor_)
        return;
    const int entry = cmds_.IndexOf(child);
    if (child == network_.get() || entry == kIdPort) {
        Rebind(network_->GetIpAddress(), cmds_.Value(kIdPort));
    } else if (entry == kIdEnable) {
        const bool on = cmds_.Value(kIdEnable) != 0;
        monitor_->SetRemoteEnabled(on);
        cmds_.SetVisible(kIdEnabledNote, on);
    }
}

void TpRemoteCtrl::Rebind(uint32_t address, int32_t port)
{
    if (port < 1 || port > kPortMax) {
        DebugPrintf("ERROR: remote-control port %d out of range\n", static_cast<int>(port));
        // The port in force stays, and the setting is left alone.
        if (madePort_ != 0)
            cmds_.SetValue(kIdPort, madePort_);
        return;
    }
    if (address == madeAddress_ && port == madePort_)
        return;
    monitor_->SetListener(Socket());
    const bool portChanged = port != madePort_;
    madeAddress_ = address;
    madePort_ = port;
    listenFailed_ = false;
    if (address != 0)
        Listen();
    if (portChanged)
        settings_.SetUInt("", "Port", static_cast<uint32_t>(port));
}

bool TpRemoteCtrl::Listen()
{
    // Every local address, so the server answers whatever address the
    // network page stands for.
    SocketError error;
    Socket listener = Socket::Listen("", static_cast<uint16_t>(madePort_), SOMAXCONN, &error);
    if (listener.IsValid()) {
        // The application says where it listens, once bound.
        listenFailed_ = false;
        monitor_->SetListener(std::move(listener));
        return true;
    }
    if (listenFailed_)
        return false;
    listenFailed_ = true;
    switch (error.step) {
    case SocketError::kSocket:
        DebugPrintf("socket failed with error: %ld\n", static_cast<long>(error.code));
        break;
    case SocketError::kListen:
        DebugPrintf("listen failed with error: %d\n", error.code);
        break;
    default:
        DebugPrintf("bind failed with error: %d\n", error.code);
        if (error.code == EADDRINUSE)
            DebugPrintf("RemCtrl: port %d is in use by another program; trying again every second\n",
                        static_cast<int>(madePort_));
        break;
    }
    return false;
}

std::string TpRemoteCtrl::ConnectionsText() const
{
    std::string text;
    for (int i = 0; i < TpConnectionMonitor::kSlotCount; ++i) {
        const TpConnectionThread& slot = monitor_->Slot(i);
        if (slot.Serving()) {
            const uint32_t a = slot.ClientAddress();
            char field[24];
            std::snprintf(field, sizeof field, "%d.%d.%d.%d\t", static_cast<int>(a >> 24),
                          static_cast<int>((a >> 16) & 0xFF), static_cast<int>((a >> 8) & 0xFF),
                          static_cast<int>(a & 0xFF));
            text += field;
        } else {
            text += "-\t";
        }
    }
    text += '\t';
    return text;
}

void TpRemoteCtrl::OnTask()
{
    if (madeAddress_ != 0 && !monitor_->HasListener())
        Listen();
    monitor_->EndGoneClients();
    if (!connectionsChanged_.exchange(false))
        return;
    const std::string text = ConnectionsText();
    TpCommand* connections = cmds_.Cmd(kIdConnections);
    connections->ClearItemsAll();
    size_t start = 0;
    for (size_t tab = text.find('\t'); tab != std::string::npos; tab = text.find('\t', start)) {
        const std::string field = text.substr(start, tab - start);
        connections->AddItemAll(field, 0);
        start = tab + 1;
    }
}
