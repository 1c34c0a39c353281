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
    {
        std::lock_guard<std::mutex> lock(assignMutex_);
        closing_ = true;
    }
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

int TpConnectionMonitor::TakeSlot(Socket& client, uint32_t address)
{
    // A free slot first. When every slot is taken, the clients that went are
    // ended, and a slot given back since is taken before the newcomer is kept
    // for the slot of a client that went: that slot's thread takes it up once
    // it has ended the gone client's connection, so nothing here waits for
    // that thread.
    enum class Look { kFree, kFreedSince, kKeep };
    for (const Look look : {Look::kFree, Look::kFreedSince, Look::kKeep}) {
        if (look == Look::kFreedSince)
            EndGoneClients();
        for (auto& slot : slots_)
            if (look == Look::kKeep ? slot->AssignOrKeep(client, address) : slot->Assign(client, address))
                return slot->SlotIndex();
    }
    return -1;
}

void TpConnectionMonitor::EndGoneClients()
{
    for (auto& slot : slots_)
        if (slot->EndIfClientGone())
            owner_.MarkConnectionsChanged();
}

int TpConnectionMonitor::AssignClient(Socket client, uint32_t address)
{
    std::lock_guard<std::mutex> lock(assignMutex_);
    const int slot = TakeSlot(client, address);
    if (slot >= 0) {
        full_ = false;
        owner_.MarkConnectionsChanged();
        return slot;
    }
    // Every client is still there: refused at once.
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
    MoveKeptNewcomer();
    owner_.MarkConnectionsChanged();
}

// A newcomer kept for the slot of a client that went need not wait for that
// connection to end once another slot is free, nor let a later newcomer take
// that slot first.
void TpConnectionMonitor::MoveKeptNewcomer()
{
    std::lock_guard<std::mutex> lock(assignMutex_);
    if (closing_)
        return;
    // Slots are taken only under assignMutex_: one free here stays free.
    const auto free = std::find_if(slots_.begin(), slots_.end(), [](const auto& slot) { return !slot->InUse(); });
    if (free == slots_.end())
        return;
    Socket kept;
    uint32_t address = 0;
    for (auto& slot : slots_)
        if (slot->GiveUpKept(kept, address)) {
            (*free)->Assign(kept, address);
            return;
        }
}

void TpConnectionMonitor::SetRemoteEnabled(bool on)
{
    for (auto& slot : slots_)
        slot->SetRemoteEnabled(on);
}
