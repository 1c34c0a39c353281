#include "Semaphore.h"

#include "SpinWait.h"

#include <chrono>

Semaphore::Semaphore(uint32_t initial, uint32_t maximum)
    : count_(initial), maximum_(maximum == 0 ? 1 : maximum)
{
    if (count_ > maximum_)
        count_ = maximum_;
}

bool Semaphore::Post()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_ >= maximum_)
            return false;
        ++count_;
    }
    cond_.notify_one();
    return true;
}

bool Semaphore::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    cond_.wait(lock, [this] { return shutdown_ || count_ > 0; });
    if (shutdown_)
        return false;
    --count_;
    return true;
}

bool Semaphore::WaitFor(uint32_t timeoutMs, uint32_t spinUs)
{
    SpinUntil([this] { return count_.load(std::memory_order_relaxed) > 0; }, spinUs);
    std::unique_lock<std::mutex> lock(mutex_);
    if (!cond_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [this] { return shutdown_ || count_ > 0; }))
        return false;
    if (shutdown_)
        return false;
    --count_;
    return true;
}

bool Semaphore::TryWait()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutdown_ || count_ == 0)
        return false;
    --count_;
    return true;
}

void Semaphore::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = true;
    }
    cond_.notify_all();
}

void Semaphore::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    count_ = 0;
    shutdown_ = false;
}

bool Semaphore::IsShutDown() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return shutdown_;
}

uint32_t Semaphore::Count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
}
