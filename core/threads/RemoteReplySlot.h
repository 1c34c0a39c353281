// Where the application thread answers a remote request. Each connection
// owns one slot. Before it posts a request it takes a fresh token from its
// slot and sends it inside the request; the application replies to that
// token. A reply reaches only the request it answers: a token is good for one
// reply, and a request the connection gave up on (time-out, shutdown) can no
// longer be answered, so a late reply is dropped instead of being taken for
// the answer to the next request.
#pragma once

#include "platform/Semaphore.h"

#include <cstddef>
#include <cstdint>
#include <mutex>

constexpr size_t kReplyBufferSize = 1520;

class RemoteReplySlot {
public:
    RemoteReplySlot();
    ~RemoteReplySlot();
    RemoteReplySlot(const RemoteReplySlot&) = delete;
    RemoteReplySlot& operator=(const RemoteReplySlot&) = delete;

    // Connection side. A new token (never 0) for the request about to be
    // posted; the previous one, if any, is dropped.
    uint16_t BeginRequest();
    // Waits for the reply to the current request; false on time-out or
    // shutdown, in which case the request can no longer be answered.
    bool WaitReply(uint32_t timeoutMs);
    // Wakes a waiting connection for shutdown; waits fail from now on.
    void Shutdown();
    // The reply bytes once WaitReply returned true.
    const uint8_t* Data() const { return buffer_; }
    size_t Length() const { return length_; }

    // Application side. Copies the reply (at most kReplyBufferSize bytes) to
    // the slot holding token and wakes it. False when no slot holds the token
    // (answered already, given up, or the connection is gone); "SemaphorePost
    // FAILED" is printed when the wake-up cannot be given.
    static bool Reply(uint16_t token, const void* data, size_t length);

private:
    void DropTokenLocked();

    Semaphore done_{0, 1};
    uint8_t buffer_[kReplyBufferSize] = {};
    size_t length_ = 0;
    uint16_t token_ = 0;
};
