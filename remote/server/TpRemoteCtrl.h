// The remote-control page: the enable switch, the port, the note shown while
// remote control is on, the list of connected clients and the network
// settings page. It makes the listening socket for the network page's
// address and the port (none while the address is 0) and hands it to the
// connection monitor, again whenever either changes. While it has an address
// but no listening socket (the port was taken), the "REMOTE" task tries again
// every run, so the server listens as soon as the port is free.
//
// Only the application thread uses the page; the monitor and connection
// threads tell it of connection changes through an atomic flag, which the
// "REMOTE" task reads.
#pragma once

#include "remote/net/TCPIPAddresses.h"
#include "TpConnectionMonitor.h"

#include "core/store/TpCmdTable.h"
#include "core/store/TpParent.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class TpIniFile;

class TpRemoteCtrl : public TpParent {
public:
    // Entries of the command-id table: 0 to 11 go to the network page, then
    // these.
    enum IdEntry {
        kIdEnable = TCPIPAddresses::kIdCount,
        kIdPort,
        kIdEnabledNote,
        kIdConnections,
        kIdCount
    };
    // The instrument's ids, in IdEntry order.
    static const uint16_t kCommandIds[kIdCount];
    static constexpr int kTaskPeriodMs = 1000;
    static constexpr uint32_t kDefaultPort = 2100;

    // Defines the enable switch's store
    // entry (kept with the system data, on by default), then reads the port
    // from the settings and listens when the network page has an address.
    // The connection threads relay web requests to web (nullptr: refused);
    // it must outlive the page.
    TpRemoteCtrl(const uint16_t (&ids)[kIdCount], TpIniFile& settings, const TpWebPages* web = nullptr);
    ~TpRemoteCtrl() override;

    static TpRemoteCtrl* Instance();

    void OnChildChanged(TpCommand* child, int reason) override;
    // The "REMOTE" task: makes the listening socket when it is still missing,
    // and rebuilds the client list when connections changed.
    void OnTask() override;

    // Monitor and connection threads.
    void MarkConnectionsChanged() { connectionsChanged_.store(true); }

    TCPIPAddresses& Network() { return *network_; }
    const TpWebPages* WebPages() const { return web_; }
    TpConnectionMonitor& Monitor() { return *monitor_; }
    // The port listened on now; 0 when none.
    uint16_t ListeningPort() const { return monitor_ ? monitor_->ListenerPort() : 0; }

    // The client list's text: per slot "%d.%d.%d.%d\t" or "-\t", then "\t".
    std::string ConnectionsText() const;

private:
    void Rebind(uint32_t address, int32_t port);
    // Makes the listening socket for the port in force and hands it over;
    // false when it could not be made (said once until it can).
    bool Listen();

    TpIniFile& settings_;
    const TpWebPages* const web_;
    TpCmdTable cmds_;
    std::atomic<bool> connectionsChanged_{false};
    uint32_t madeAddress_ = 0;   // the address and port the listener was made for
    int32_t madePort_ = 0;
    bool listenFailed_ = false;  // the last try to listen failed

    std::unique_ptr<TCPIPAddresses> network_;
    std::unique_ptr<TpConnectionMonitor> monitor_;
};
