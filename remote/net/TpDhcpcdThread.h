// Stands for the DHCP client ("Dhcpcd" thread): in DHCP mode it runs for a
// while, then waits up to 30 seconds, starting again at once when DHCP mode
// is switched on during the wait. It never touches the host's network.
#pragma once

#include "core/threads/TpThread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

class TpDhcpcdThread : public TpThread {
public:
    static constexpr uint32_t kRunMs = 5000;
    static constexpr uint32_t kWaitMs = 30000;

    // Starts the thread.
    TpDhcpcdThread();
    ~TpDhcpcdThread() override;

    void SetDhcpMode(bool on);
    bool DhcpMode() const { return dhcpMode_.load(); }
    bool IsClientRunning() const { return running_.load(); }

protected:
    void Run() override;
    void OnStopRequested() override;

private:
    // Waits up to ms; false at a stop request. With wakeOnDhcp, a switch of
    // DHCP mode to on ends the wait early.
    bool Pause(uint32_t ms, bool wakeOnDhcp);

    std::atomic<bool> running_{false};
    std::atomic<bool> dhcpMode_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool switchedOn_ = false;   // guarded by mutex_
};
