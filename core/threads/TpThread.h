// A named worker thread. The body is Run(); it polls StopRequested() (or the
// stopRequest byte) and returns when asked to stop. A body that blocks (on a
// semaphore, a socket) overrides OnStopRequested() to wake itself.
//
// Classes whose Run() uses their own members call Stop() in their own
// destructor: by the time this base destructor runs those members are gone.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class TpThread {
public:
    explicit TpThread(const std::string& name);
    virtual ~TpThread();
    TpThread(const TpThread&) = delete;
    TpThread& operator=(const TpThread&) = delete;

    // Starts a thread running Run(). False when it is already running or the
    // thread could not be created.
    bool Start();
    // Sets the stop-request byte and wakes the body (OnStopRequested).
    void RequestStop();
    // Requests stop, waits in 1 ms sleeps for the body to return, and joins.
    void Stop();

    bool StopRequested() const { return stopRequest.load() != 0; }
    bool IsFinished() const { return finished_.load(); }
    bool IsRunning() const { return started_.load() && !finished_.load(); }
    const std::string& Name() const { return name_; }

protected:
    virtual void Run() = 0;
    // Called after the stop request is set, on the stopping thread.
    virtual void OnStopRequested() {}

    std::atomic<uint8_t> stopRequest{0};

private:
    void Body();

    std::string name_;
    std::thread thread_;
    std::atomic<bool> started_{false};
    std::atomic<bool> finished_{false};
};
