// Fixture of the remote-control server tests: a whole application on
// 127.0.0.1 and a port the kernel picked, its loop on a thread of its own as
// the application thread, and clients speaking the protocol over real
// sockets. Once the loop runs, the test learns everything through requests.
#pragma once

#include "BoardTest.h"

#include "core/protocol/RemoteMsgHeader.h"
#include "core/protocol/RemoteProtocol.h"
#include "app/TpZuApplication.h"
#include "platform/Socket.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

struct WireReply {
    bool ok = false;   // a whole header and payload arrived
    RemoteMsgHeader header;
    std::string payload;
};

// The 20 wire bytes of a header.
std::string HeaderOf(const RemoteMsgHeader& h);
std::string HeaderBytes(uint32_t magic, uint16_t type, uint16_t cmdId, uint16_t length, uint32_t item,
                        uint32_t value);
// One request's wire bytes.
std::string EncodeRequest(uint16_t type, uint16_t cmdId, uint32_t item = 0, uint32_t value = 0,
                          const std::string& payload = std::string(), uint32_t magic = kRemoteMagic);

class TestClient {
public:
    static constexpr int kWaitMs = 20000;   // bound of every read

    // Connects to 127.0.0.1 from the local address from.
    bool Connect(uint16_t port, const std::string& from = "127.0.0.1");
    bool Send(const std::string& bytes) { return socket.SendAll(bytes.data(), bytes.size()); }
    // Exactly size bytes; false at end of stream, on error or after the bound.
    bool Read(size_t size, std::string& out);
    WireReply ReadReply();
    WireReply Request(uint16_t type, uint16_t cmdId, uint32_t item = 0, uint32_t value = 0,
                      const std::string& payload = std::string());
    // True when the server ends the connection before anything arrives
    // (within limitMs).
    bool SeesClose() { return SeesCloseWithin(kWaitMs); }
    bool SeesCloseWithin(int limitMs);
    void Close() { socket.Close(); }
    // Drops the connection with a reset (a disconnect, not a close).
    bool Reset();

    Socket socket;
};

class RemoteServerTest : public BoardTest {
protected:
    void TearDown() override;

    // Builds the application in static mode on 127.0.0.1 and a free port
    // (lines of extraSettings come first and win) and, when expectListening,
    // checks that it listens there. False when no free port could be bound.
    bool MakeApp(const std::string& extraSettings = std::string(), bool expectListening = true);
    void RunLoop();
    bool StartApp() { return MakeApp() && (RunLoop(), true); }
    // Posts the power-off key; false when the loop did not end within limitMs.
    bool StopApp(int limitMs = 20000);
    // Connects five clients to an application whose loop does not run, each
    // with a value read on its way, and waits until every connection thread
    // waits for the application's reply. False when that does not come about.
    bool ConnectFiveWaiting(std::array<TestClient, 5>& clients);
    // As ConnectFiveWaiting, then KeepANewcomerFor the first client.
    bool KeepANewcomerForAGoneClient(std::array<TestClient, 5>& clients, TestClient& kept,
                                     const std::string& from = "127.0.0.1");
    // With five clients connected, gone resets and kept connects from from:
    // the server keeps it for gone's slot, so the next newcomer is refused,
    // well before gone's thread could give up a wait for a reply. False when
    // that does not come about.
    bool KeepANewcomerFor(TestClient& gone, TestClient& kept, const std::string& from = "127.0.0.1");
    // The test thread as the application thread: handles count messages of
    // the queue as they come. False when one does not come.
    bool StepApplication(int count);

public:
    // Posts count ticks of the periodic tasks.
    static void PostTicks(int count);

protected:
    static uint16_t FreePort();
    // Bounded wait for a condition, polled every few milliseconds.
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 20000);
    int CountInLog(const std::string& fragment) const;

    uint16_t port = 0;
    std::unique_ptr<TpZuApplication> app;
    std::thread loop;
    std::atomic<bool> loopDone{false};
};
