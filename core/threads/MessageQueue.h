// The application queue: the one road from other threads into the
// application thread. Every MessageQueue handle, whatever name it was opened
// with, reaches the same process-wide queue.
#pragma once

#include "core/protocol/RemoteMsgHeader.h"
#include "core/protocol/RemoteProtocol.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kAppMessageMax = 400;   // header + payload
constexpr size_t kAppPayloadMax = 370;   // largest payload length field
constexpr size_t kAppQueueCapacity = 100;

// One message of the queue. The header's first word is the Origin: a local
// message, or a remote request to be answered. The payload is
// always followed by a NUL (so text payloads can be read as C strings).
struct AppMessage {
    RemoteMsgHeader header;
    uint8_t payload[kAppMessageMax - kRemoteHeaderSize + 1] = {};
    uint32_t payloadSize = 0;   // payload bytes delivered (may exceed header.length)
};

class MessageQueue {
public:
    MessageQueue() = default;
    ~MessageQueue() { Close(); }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Opens a handle. The name, flags and sizes are accepted as the
    // instrument passes them; every handle shares the one queue.
    bool Open(const std::string& name, int flags = 1, int maxMessages = 100, int messageSize = 1500);
    void Close();
    bool IsOpen() const { return open_; }

    // Queues length bytes (a 20-byte header and its payload). Refused, with
    // false: a closed handle, fewer than 20 bytes, more than 400 bytes, a
    // payload length field above 370 or above the bytes given, a full queue.
    // A further update message while one waits is dropped (true) unless
    // force is set.
    bool Send(const void* message, size_t length, bool force = false);
    bool Send(const RemoteMsgHeader& header, const void* payload, bool force = false);

    // Takes every waiting message (at most max, oldest first) into out,
    // waiting while the queue is empty; returns how many it took. With
    // watch, it first watches the queue briefly before it sleeps.
    size_t ReceiveAll(AppMessage* out, size_t max, bool watch = true);
    // Takes the oldest message, waiting while the queue is empty; false
    // when none came within timeoutMs.
    bool ReceiveFor(AppMessage& out, uint32_t timeoutMs);

    // Process-wide: messages waiting now.
    static size_t PendingCount();
    // Process-wide: drops every waiting message (tests and restarts).
    static void Reset();

private:
    bool open_ = false;
};
