#include "TpDhcpcdThread.h"

#include "platform/DebugOut.h"

#include <chrono>

TpDhcpcdThread::TpDhcpcdThread() : TpThread("Dhcpcd")
{
    Start();
}

TpDhcpcdThread::~TpDhcpcdThread()
{
    Stop();
}

void TpDhcpcdThread::SetDhcpMode(bool on)
{
    const bool was = dhcpMode_.exchange(on);
    if (on && !was) {
        std::lock_guard<std::mutex> lock(mutex_);
        switchedOn_ = true;
        wake_.notify_all();
    }
}

void TpDhcpcdThread::OnStopRequested()
{
    std::lock_guard<std::mutex> lock(mutex_);
    wake_.notify_all();
}

bool TpDhcpcdThread::Pause(uint32_t ms, bool wakeOnDhcp)
{
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms),
                   [&] { return StopRequested() || (wakeOnDhcp && switchedOn_); });
    return !StopRequested();
}

void TpDhcpcdThread::Run()
{
    running_.store(false);
    while (!StopRequested()) {
        if (dhcpMode_.load()) {
            DebugPrintf("starting dhcpcd\n");
            running_.store(true);
            const bool go = Pause(kRunMs, false);
            running_.store(false);
            if (!go)
                return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            switchedOn_ = false;
        }
        if (!Pause(kWaitMs, true))
            return;
    }
}
