// The host side of the network as a test wants it: a given own address (or
// none), packet-counter readings fed one by one, and counts of the DHCP
// client stops and information-file removals. Install() puts it in force
// (after the board reset of the test's set-up); it is taken out when it goes.
#pragma once

#include "board/NetBoard.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class FakeNetHost : public NetHost {
public:
    ~FakeNetHost() override
    {
        if (&CurrentNetHost() == this)
            SetNetHost(nullptr);
    }
    void Install() { SetNetHost(this); }

    bool HostAddress(uint32_t& address) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        address = address_;
        return hasAddress_;
    }
    // The next fed reading; none when every reading was taken.
    bool ReadPacketCounter(std::string& counter) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (readings_.empty())
            return false;
        counter = readings_.front();
        readings_.pop_front();
        return true;
    }
    void StopDhcpClient() override { ++stops; }
    void RemoveDhcpInfo() override { ++removals; }

    void SetAddress(uint32_t address)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        address_ = address;
        hasAddress_ = true;
    }
    void SetNoAddress()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hasAddress_ = false;
    }
    void Feed(const std::string& reading)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        readings_.push_back(reading);
    }

    std::atomic<int> stops{0};
    std::atomic<int> removals{0};

private:
    std::mutex mutex_;
    uint32_t address_ = 0x7F000001u;
    bool hasAddress_ = true;
    std::deque<std::string> readings_;
};
