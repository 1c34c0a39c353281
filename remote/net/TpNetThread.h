// Sets the static address when asked ("NetIpSet" thread) and owns the thread
// that stands for the DHCP client. The application thread hands over the
// static addresses and the DHCP switch; the flags they share are atomics.
#pragma once

#include "TpDhcpcdThread.h"

#include "core/threads/TpThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class TpNetThread : public TpThread {
public:
    static constexpr uint32_t kPollMs = 2000;

    // Starts its DHCP client thread and itself.
    TpNetThread();
    ~TpNetThread() override;

    // Tells the DHCP client its mode; with DHCP off and no DHCP client
    // running the static address is set at once. A static change is
    // requested either way. True when the static address was set at once.
    bool SetDhcp(bool on);
    // Sets the static address through the board layer; false when the
    // address, mask or gateway is 0.
    bool SetStaticIp();
    // Stores the four addresses (first octet in the top byte) and requests a
    // static change, which the thread takes up at once.
    void SetAddresses(uint32_t address, uint32_t mask, uint32_t gateway, uint32_t dns);

    // True when the last static set succeeded.
    bool StaticSet() const { return staticSet_.load(); }
    bool StaticChangePending() const { return staticChange_.load(); }
    uint32_t LastGateway() const { return lastGateway_.load(); }
    const TpDhcpcdThread* Dhcpcd() const { return dhcpcd_.get(); }

protected:
    void Run() override;
    void OnStopRequested() override;

private:
    bool Pause(uint32_t ms);

    std::unique_ptr<TpDhcpcdThread> dhcpcd_;
    std::atomic<bool> staticSet_{false};
    std::atomic<bool> staticChange_{false};
    std::atomic<uint32_t> lastGateway_{0xFFFFFFFFu};

    mutable std::mutex addressMutex_;
    uint32_t address_ = 0, mask_ = 0, gateway_ = 0, dns_ = 0;   // guarded by addressMutex_

    std::mutex waitMutex_;
    std::condition_variable wake_;
    bool kick_ = false;   // guarded by waitMutex_: new addresses ended the pause
};
