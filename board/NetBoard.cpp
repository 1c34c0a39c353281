#include "NetBoard.h"

#include <arpa/inet.h>
#include <atomic>
#include <ifaddrs.h>
#include <memory>
#include <mutex>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

int net_set_static_ip(const char*, const char*, const char*, const char*)
{
    return 0;
}

int net_hw_apply(uint32_t)
{
    return 0;
}

namespace {

constexpr uint32_t kLoopbackAddress = 0x7F000001u;

// First IPv4 interface that is up and not the loopback.
bool FirstInterfaceAddress(uint32_t& address)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (const ifaddrs* i = list; i != nullptr && !found; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        address = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
        found = true;
    }
    freeifaddrs(list);
    return found;
}

// The address of the host name. A name look-up may wait on the network, so
// it runs once on a thread of its own; callers take its answer once it is
// there and never wait for it. The thread shares the result with its callers
// and ends by itself.
class HostNameLookup {
public:
    bool Address(uint32_t& address)
    {
        std::lock_guard<std::mutex> lock(result_->mutex);
        if (!started_) {
            started_ = true;
            std::thread(&HostNameLookup::Run, result_).detach();
        }
        if (!result_->found)
            return false;
        address = result_->address;
        return true;
    }

private:
    struct Result {
        std::mutex mutex;
        bool found = false;
        uint32_t address = 0;
    };

    static void Run(std::shared_ptr<Result> result)
    {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0)
            return;
        addrinfo hints {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr)
            return;
        const uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
        freeaddrinfo(found);
        std::lock_guard<std::mutex> lock(result->mutex);
        result->found = true;
        result->address = address;
    }

    std::shared_ptr<Result> result_ = std::make_shared<Result>();
    bool started_ = false;   // guarded by result_->mutex
};

SimNetHost& SimHost()
{
    static SimNetHost host;
    return host;
}

std::atomic<NetHost*> g_host {nullptr};

} // namespace

bool SimNetHost::HostAddress(uint32_t& address)
{
    static HostNameLookup lookup;
    if (FirstInterfaceAddress(address))
        return true;
    if (lookup.Address(address))
        return true;
    address = kLoopbackAddress;
    return true;
}

bool SimNetHost::ReadPacketCounter(std::string&)
{
    return false;
}

void SimNetHost::StopDhcpClient() {}

void SimNetHost::RemoveDhcpInfo() {}

NetHost& CurrentNetHost()
{
    NetHost* host = g_host.load();
    return host != nullptr ? *host : SimHost();
}

void SetNetHost(NetHost* host)
{
    g_host.store(host);
}

bool net_host_address(uint32_t& address)
{
    return CurrentNetHost().HostAddress(address);
}

bool net_read_packet_counter(std::string& counter)
{
    return CurrentNetHost().ReadPacketCounter(counter);
}

void net_stop_dhcp_client()
{
    CurrentNetHost().StopDhcpClient();
}

void net_remove_dhcp_info()
{
    CurrentNetHost().RemoveDhcpInfo();
}
