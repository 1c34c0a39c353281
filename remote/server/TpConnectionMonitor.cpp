#include "TpConnectionMonitor.h"

#include "TpRemoteCtrl.h"

#include "core/log/TpLogger.h"
#include "platform/DebugOut.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {
// Pause after a failed wait for a client, so a broken listener does not
// spin.
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);
// A client that finds every slot taken waits for a slot whose client went
// until its thread gives it back: a thread blocked on the client's socket
// does so as soon as it runs, one waiting for the application's reply once
// the reply or its time limit has come.
constexpr auto kEndingWait = std::chrono::milliseconds(TpConnectionThread::kReplyTimeoutMs + 1000);
// While every client still looks there, the slots are looked at again this
// often, for this long, before the newcomer is refused: a reset reaches the
// server's socket a moment after the client sent it, possibly after the
// newcomer's connection.
constexpr auto kGoneLook = std::chrono::milliseconds(10);
constexpr auto kGoneWait = std::chrono::milliseconds(100);
} // namespace

TpConnectionMonitor::TpConnectionMonitor(TpRemoteCtrl& owner) : TpThread("ConnectionMonitor"), owner_(owner)
{
    for (int i = 0; i < kSlotCount; ++i)
        slots_[static_cast<size_t>(i)] = std::make_unique<TpConnectionThread>(*this, i);
    Start();
}

const TpWebPages* TpConnectionMonitor::WebPages() const
{
    return owner_.WebPages();
}

TpConnectionMonitor::~TpConnectionMonitor()
{
    Stop();
    SetListener(Socket());
    // Stop every slot at once, then wait for each.
    for (auto& slot : slots_)
        slot->RequestStop();
    for (auto& slot : slots_)
        slot.reset();
}

void TpConnectionMonitor::SetListener(Socket listener)
{
    std::shared_ptr<Socket> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old = std::move(listener_);
        if (old) {
            old->Shutdown();
            closedByPage_ = true;
        }
        if (listener.IsValid())
            listener_ = std::make_shared<Socket>(std::move(listener));
        wake_.notify_all();
    }
    // The old socket is closed here, or by the monitor thread when it stops
    // waiting on it.
}

bool TpConnectionMonitor::HasListener() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return listener_ != nullptr;
}

uint16_t TpConnectionMonitor::ListenerPort() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return listener_ ? listener_->LocalPort() : 0;
}

void TpConnectionMonitor::OnStopRequested()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (listener_)
            listener_->Shutdown();
        wake_.notify_all();
    }
    { std::lock_guard<std::mutex> lock(assignMutex_); }
    freed_.notify_all();
}

void TpConnectionMonitor::Run()
{
    while (!StopRequested()) {
        std::shared_ptr<Socket> listener;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return StopRequested() || listener_ != nullptr; });
            if (StopRequested())
                return;
            listener = listener_;
            closedByPage_ = false;
        }
        uint32_t address = 0;
        Socket client = listener->Accept(&address);
        if (!client.IsValid()) {
            const int error = errno;
            if (StopRequested())
                return;
            std::unique_lock<std::mutex> lock(mutex_);
            if (closedByPage_ || listener_ != listener)
                continue;
            DebugPrintf("accept failed with error: %d\nRemCtrl: ERROR in WaitForClient\n", error);
            wake_.wait_for(lock, kAcceptRetry, [&] { return StopRequested() || listener_ != listener; });
            continue;
        }
        AssignClient(std::move(client), address);
    }
}

int TpConnectionMonitor::TakeFreeSlot(Socket& client, uint32_t address)
{
    for (auto& slot : slots_)
        if (slot->Assign(client, address))
            return slot->SlotIndex();
    return -1;
}

bool TpConnectionMonitor::EndGoneClients()
{
    bool ending = false;
    for (auto& slot : slots_) {
        if (slot->EndIfClientGone())
            owner_.MarkConnectionsChanged();
        ending = ending || (slot->InUse() && !slot->Serving());
    }
    return ending;
}

int TpConnectionMonitor::AssignClient(Socket client, uint32_t address)
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(assignMutex_);
    const Clock::time_point arrived = Clock::now();
    int slot = TakeFreeSlot(client, address);
    // Every slot taken: a client that has gone makes room once its thread
    // gives the slot back; while every client is still there the newcomer is
    // refused. The slots are looked at again after the gone clients are
    // ended, since a thread may have given its slot back in between.
    while (slot < 0 && !StopRequested()) {
        const bool ending = EndGoneClients();
        slot = TakeFreeSlot(client, address);
        const Clock::time_point until = arrived + (ending ? kEndingWait : kGoneWait);
        if (slot >= 0 || Clock::now() >= until)
            break;
        freed_.wait_until(lock, std::min(until, Clock::now() + kGoneLook));
    }
    if (slot >= 0) {
        full_ = false;
        owner_.MarkConnectionsChanged();
        return slot;
    }
    DebugPrintf("RemCtrl: Connections Full\n");
    if (!full_)
        LogMessage(0, "Not enough TCP/IP connections");
    full_ = true;
    owner_.MarkConnectionsChanged();
    // Closed at once: a refused client left open would keep its descriptor.
    client.Close();
    return -1;
}

void TpConnectionMonitor::ClientTaken(TpConnectionThread& slot)
{
    (void)slot;
    owner_.MarkConnectionsChanged();
}

void TpConnectionMonitor::FreeConnection(TpConnectionThread& slot)
{
    (void)slot;
    owner_.MarkConnectionsChanged();
    { std::lock_guard<std::mutex> lock(assignMutex_); }
    freed_.notify_all();
}

void TpConnectionMonitor::SetRemoteEnabled(bool on)
{
    for (auto& slot : slots_)
        slot->SetRemoteEnabled(on);
}
