// The network side of the board: applying a static address, the host's own
// address, the network driver's packet counter and the DHCP client. The
// simulated board leaves the host's network alone: setting an address
// reports success, the packet counter cannot be read and the DHCP client is
// never touched. A test installs its own NetHost to feed readings.
#pragma once

#include <cstdint>
#include <string>

// Returns 0 (success).
int net_set_static_ip(const char* address, const char* mask, const char* gateway, const char* dns);
// Returns 0.
int net_hw_apply(uint32_t word);

// The host side of the network, replaceable by tests.
class NetHost {
public:
    virtual ~NetHost() = default;
    // The host's own IPv4 address, first octet in the top byte; false when
    // none can be told. Never blocks.
    virtual bool HostAddress(uint32_t& address) = 0;
    // The network driver's first packet counter as hexadecimal text; false
    // when it cannot be read.
    virtual bool ReadPacketCounter(std::string& counter) = 0;
    // Stops the DHCP client.
    virtual void StopDhcpClient() = 0;
    // Removes the DHCP client's information file.
    virtual void RemoveDhcpInfo() = 0;
};

// The simulator's own host: the address of the first IPv4 interface that is
// up and not the loopback, else the address of the host name (looked up in
// the background: until that answers, or when it fails, 127.0.0.1); no
// packet counter; the DHCP client is left alone.
class SimNetHost : public NetHost {
public:
    bool HostAddress(uint32_t& address) override;
    bool ReadPacketCounter(std::string& counter) override;
    void StopDhcpClient() override;
    void RemoveDhcpInfo() override;
};

// The host in force: never null (the simulator's own unless one was
// installed). Install with nullptr to put the simulator's own back; the
// caller keeps an installed host alive until it is replaced.
NetHost& CurrentNetHost();
void SetNetHost(NetHost* host);

// The board operations of the network page, through the host in force.
bool net_host_address(uint32_t& address);
bool net_read_packet_counter(std::string& counter);
void net_stop_dhcp_client();
void net_remove_dhcp_info();
