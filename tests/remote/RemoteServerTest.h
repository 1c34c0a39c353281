// Fixture of the remote-control server tests: a whole application listening
// on 127.0.0.1 and a port the kernel picked, its loop running on a thread of
// its own as the application thread, and clients that speak the protocol
// over real sockets. Once the loop runs, the test thread leaves the store
// alone and learns everything through requests.
#pragma once

#include "BoardTest.h"

#include "core/RemoteMsgHeader.h"
#include "core/TpZuApplication.h"
#include "platform/Socket.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

struct WireReply {
    bool ok = false;   // a whole header and payload arrived
    RemoteMsgHeader header;
    std::string payload;
};

// One request's wire bytes.
std::string EncodeRequest(uint16_t type, uint16_t cmdId, uint32_t item = 0, uint32_t value = 0,
                          const std::string& payload = std::string(), uint32_t magic = kRemoteMagic);
// 20 bytes as the protocol writes them.
std::string HeaderBytes(uint32_t magic, uint16_t type, uint16_t cmdId, uint16_t length, uint32_t item,
                        uint32_t value);

class TestClient {
public:
    static constexpr int kWaitMs = 20000;   // bound of every read

    bool Connect(uint16_t port);
    bool Send(const std::string& bytes);
    // Exactly size bytes; false at end of stream, on error or after the bound.
    bool Read(size_t size, std::string& out);
    WireReply ReadReply();
    WireReply Request(uint16_t type, uint16_t cmdId, uint32_t item = 0, uint32_t value = 0,
                      const std::string& payload = std::string());
    // True when the server ends the connection (end of stream or reset)
    // before anything arrives.
    bool SeesClose();
    void Close() { socket.Close(); }

    Socket socket;
};

class RemoteServerTest : public BoardTest {
protected:
    void TearDown() override;

    // Builds the application in static mode on 127.0.0.1 and a free port
    // (settings lines in extraSettings come first and win), checks that it listens
    // there, and starts its loop. False when no free port could be bound.
    bool StartApp(const std::string& extraSettings = std::string(), bool expectListening = true);
    // Builds the application only; the loop is started by RunLoop.
    bool MakeApp(const std::string& extraSettings, bool expectListening);
    void RunLoop();
    // Posts the power-off key and waits (bounded) for the loop to end;
    // false when it did not end within limitMs.
    bool StopApp(int limitMs = 20000);
public:
    // Posts count ticks of the periodic tasks.
    static void PostTicks(int count);

protected:
    // A port nothing listens on now.
    static uint16_t FreePort();
    // Bounded wait for a condition, polled every few milliseconds.
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 20000);
    int CountInLog(const std::string& fragment) const;

    uint16_t port = 0;
    std::unique_ptr<TpZuApplication> app;
    std::thread loop;
    std::atomic<bool> loopDone{false};
};
