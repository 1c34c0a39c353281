#include "TpNetThread.h"

#include "TpIpAddress.h"

#include "board/NetBoard.h"
#include "platform/DebugOut.h"

#include <chrono>

TpNetThread::TpNetThread() : TpThread("NetIpSet"), dhcpcd_(std::make_unique<TpDhcpcdThread>())
{
    Start();
}

TpNetThread::~TpNetThread()
{
    Stop();
    if (dhcpcd_ && dhcpcd_->IsClientRunning())
        DebugPrintf("shutting down dhcpcd\n");
    dhcpcd_.reset();
}

bool TpNetThread::SetDhcp(bool on)
{
    staticSet_.store(false);
    bool setNow = false;
    if (dhcpcd_)
        dhcpcd_->SetDhcpMode(on);
    if (!on && !(dhcpcd_ && dhcpcd_->IsClientRunning()))
        setNow = SetStaticIp();
    staticChange_.store(true);
    return setNow;
}

bool TpNetThread::SetStaticIp()
{
    uint32_t address, mask, gateway, dns;
    {
        std::lock_guard<std::mutex> lock(addressMutex_);
        address = address_;
        mask = mask_;
        gateway = gateway_;
        dns = dns_;
    }
    if (address == 0 || mask == 0 || gateway == 0)
        return false;
    const int error = net_set_static_ip(FormatAddress(address).c_str(), FormatAddress(mask).c_str(),
                                        FormatAddress(gateway).c_str(), FormatAddress(dns).c_str());
    if (error != 0)
        DebugPrintf("ERROR: setting Static IP %d\n", error);
    lastGateway_.store(gateway);
    staticSet_.store(error == 0);   // last: whoever sees the flag sees the gateway
    return true;
}

void TpNetThread::SetAddresses(uint32_t address, uint32_t mask, uint32_t gateway, uint32_t dns)
{
    {
        std::lock_guard<std::mutex> lock(addressMutex_);
        address_ = address;
        mask_ = mask;
        gateway_ = gateway;
        dns_ = dns;
    }
    staticChange_.store(true);
    std::lock_guard<std::mutex> lock(waitMutex_);
    kick_ = true;
    wake_.notify_all();
}

void TpNetThread::OnStopRequested()
{
    std::lock_guard<std::mutex> lock(waitMutex_);
    wake_.notify_all();
}

bool TpNetThread::Pause(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(waitMutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return StopRequested() || kick_; });
    kick_ = false;
    return !StopRequested();
}

void TpNetThread::Run()
{
    if (!dhcpcd_)
        DebugPrintf("NOTE: No local dhcpc thread!\n");
    while (!StopRequested()) {
        if (dhcpcd_ && !dhcpcd_->DhcpMode() && dhcpcd_->IsClientRunning()) {
            DebugPrintf("killing dhcpcd\n");
            while (dhcpcd_->IsClientRunning())
                if (!Pause(kPollMs))
                    return;
        }
        if (staticChange_.exchange(false)) {
            uint32_t address;
            {
                std::lock_guard<std::mutex> lock(addressMutex_);
                address = address_;
            }
            if (SetStaticIp())
                net_hw_apply(address);
            else
                staticChange_.store(true);
        }
        if (!Pause(kPollMs))
            return;
    }
}
