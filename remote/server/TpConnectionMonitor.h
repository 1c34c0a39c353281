// Waits for remote-control clients ("ConnectionMonitor" thread) and hands
// each to the first free of the five connection slots, or else to the slot
// of a client that went. A client that finds all five clients still there is
// closed at once. The listening socket is made by the
// remote-control page and handed over; the monitor closes a socket it was
// given once nothing waits on it any more.
#pragma once

#include "TpConnectionThread.h"

#include "core/threads/TpThread.h"
#include "platform/Socket.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class TpRemoteCtrl;
class TpWebPages;

class TpConnectionMonitor : public TpThread {
public:
    static constexpr int kSlotCount = 5;

    // Makes the five connection slots, then starts its own thread.
    explicit TpConnectionMonitor(TpRemoteCtrl& owner);
    ~TpConnectionMonitor() override;

    // A new listening socket (an invalid one: none). A socket handed over
    // before is shut down, which wakes a wait for a client on it, and closed.
    void SetListener(Socket listener);
    bool HasListener() const;
    // The port of the listening socket, 0 when there is none.
    uint16_t ListenerPort() const;

    // Gives the client to the first free slot and returns the slot; when
    // none is free, to the slot of a client that went, whose thread serves
    // it once that connection has ended, unless another slot comes free
    // first and takes it over. -1 (the client is closed at once)
    // when every slot serves a client that is still there. Never waits for
    // a slot's thread.
    int AssignClient(Socket client, uint32_t address);
    // Ends the connections of clients that went (reset, or closed with every
    // request read).
    void EndGoneClients();
    // A slot's thread starts serving its client / gave its client back (a
    // newcomer kept for a gone client's slot then takes the free one).
    void ClientTaken(TpConnectionThread& slot);
    void FreeConnection(TpConnectionThread& slot);
    void SetRemoteEnabled(bool on);
    // The web pages the slots relay; nullptr when none were given.
    const TpWebPages* WebPages() const;

    const TpConnectionThread& Slot(int index) const { return *slots_[static_cast<size_t>(index)]; }

protected:
    void Run() override;
    void OnStopRequested() override;

private:
    TpRemoteCtrl& owner_;
    std::array<std::unique_ptr<TpConnectionThread>, kSlotCount> slots_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Socket> listener_;   // guarded by mutex_; the monitor thread holds a copy while it waits on it
    bool closedByPage_ = false;          // guarded by mutex_

    // A slot for a client (see AssignClient); -1 when there is none.
    int TakeSlot(Socket& client, uint32_t address);
    // Gives a newcomer kept for a gone client's slot the first free slot.
    void MoveKeptNewcomer();

    std::mutex assignMutex_;
    bool full_ = false;      // guarded by assignMutex_
    bool closing_ = false;   // guarded by assignMutex_: the slots are being stopped
};
