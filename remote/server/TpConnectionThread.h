// One client slot of the remote-control server ("ConnectionThread"). While
// the slot has a client, the thread reads one request at a time (header and
// payload in full however TCP splits them), answers what it can itself,
// posts the rest to the application thread and sends the reply. It never
// touches the store or the commands.
//
// The client socket belongs to the slot's thread: only it closes the socket.
// Other threads end a connection by shutting the socket down, which wakes the
// thread; it then gives the slot back.
#pragma once

#include "BadHeaderLog.h"

#include "core/threads/MessageQueue.h"
#include "core/protocol/RemoteMsgHeader.h"
#include "core/protocol/RemoteProtocol.h"
#include "core/threads/RemoteReplySlot.h"
#include "core/threads/TpThread.h"
#include "platform/Semaphore.h"
#include "RemoteRequestReader.h"
#include "platform/Socket.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

class TpConnectionMonitor;

class TpConnectionThread : public TpThread {
public:
    // How long a request waits for the application's reply.
    static constexpr uint32_t kReplyTimeoutMs = 10000;

    // Starts the thread; the slot waits for a client.
    TpConnectionThread(TpConnectionMonitor& monitor, int slot);
    ~TpConnectionThread() override;

    // Monitor: gives the free slot the client (taken from client); false,
    // and client left as it is, when the slot is in use.
    bool Assign(Socket& client, uint32_t address);
    // Monitor: as Assign, and also keeps the client for a slot whose client
    // went and whose connection is still ending: the slot's thread serves it
    // as soon as it has ended that connection. False, client left as it is,
    // when the slot serves a client or already keeps one that is still
    // there.
    bool AssignOrKeep(Socket& client, uint32_t address);
    // Ends the client's connection (any thread); the slot's thread frees the
    // slot.
    void Disconnect();
    // Ends the connection of a client that reset it, or closed its sending
    // side once the server has read every request it sent, whatever the
    // slot's thread is doing for it (any thread); no further byte of it is
    // read. True when it did so now.
    bool EndIfClientGone();
    // Monitor: hands over the newcomer kept for this slot, with its address;
    // false when none is kept or the one kept has gone.
    bool GiveUpKept(Socket& client, uint32_t& address);
    bool InUse() const { return inUse_.load(); }
    // In use for a client that is still there; an ended connection's slot is
    // on its way to free.
    bool Serving() const { return inUse_.load() && !ending_.load(); }
    // The client's IPv4 address, first octet in the top byte.
    uint32_t ClientAddress() const { return address_.load(); }
    int SlotIndex() const { return slot_; }

    void SetRemoteEnabled(bool on) { remoteEnabled_.store(on); }
    bool RemoteEnabled() const { return remoteEnabled_.load(); }

protected:
    void Run() override;
    void OnStopRequested() override;

private:
    // The client socket as the request reader's byte source.
    class ClientSource : public RemoteRequestReader::Source {
    public:
        explicit ClientSource(TpConnectionThread& owner) : owner_(owner) {}
        long Read(uint8_t* buffer, size_t size) override;

    private:
        TpConnectionThread& owner_;
    };

    // Serves the client until it goes or the thread is stopped.
    void Serve();
    void Dispatch(const RemoteMsgHeader& request);
    // Logs a bad header's event as the run's log allows.
    void LogBadHeader(const char* text, long number);
    void Reject(const RemoteMsgHeader& request);
    void PostConsoleLine(const RemoteMsgHeader& request);
    void HandleKeyOrWeb(const RemoteMsgHeader& request);
    void PressKey(const RemoteMsgHeader& request);
    // Posts a key's press and release and waits until the press (or, with
    // untilReleased, the release) has been handled; false when it could not
    // be posted or was not answered.
    bool PostKey(uint16_t code, bool untilReleased = false);
    void SendKeyEnding(const RemoteMsgHeader& request);
    // KeySub::kEventPage: one page of the event log.
    void SendEventLogPage(const RemoteMsgHeader& request);
    // Asks the application for the event list's count (StoreType::kGetItemCount)
    // or an entry's text (kGetItemText); false when no reply of the expected
    // type came.
    bool ReadEventList(uint16_t type, uint32_t item, uint32_t& value, std::string& text);
    // KeySub::kStatusXml: has the status file written and names it.
    void SendStatusXmlPath(const RemoteMsgHeader& request);
    void PostStoreRequest(const RemoteMsgHeader& request);
    void SendScreen(const RemoteMsgHeader& request);
    // Posts header and the payload behind it in the receive buffer.
    bool Post(const RemoteMsgHeader& request, uint32_t origin, uint16_t token);
    static void EncodeReplyHeader(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value, uint8_t* bytes);
    bool SendHeader(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value);
    bool Send(const void* data, size_t size);
    // Assign and AssignOrKeep.
    bool Take(Socket& client, uint32_t address, bool keepForEnding);
    // Closes the client socket and frees the slot, or goes on with the
    // client kept for it (the slot's thread).
    void Release();

    TpConnectionMonitor& monitor_;
    const int slot_;
    MessageQueue msgq_;
    RemoteReplySlot reply_;
    ClientSource source_{*this};
    RemoteRequestReader reader_{source_};
    BadHeaderLog badHeaders_;   // the slot's thread only

    std::mutex socketMutex_;   // closing against shutdowns from other threads
    Socket client_;
    Socket next_;              // guarded by socketMutex_: a newcomer kept while the connection ends
    uint32_t nextAddress_ = 0;   // guarded by socketMutex_
    std::atomic<uint32_t> address_{0};
    std::atomic<bool> inUse_{false};
    std::atomic<bool> ending_{false};   // the client went; its connection is shut down
    std::atomic<bool> remoteEnabled_{true};
    Semaphore assigned_{0, 1};
};
