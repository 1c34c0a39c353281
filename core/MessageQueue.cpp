#include "MessageQueue.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>

#include <cstring>
#include <deque>

namespace {

// The queue behind every handle.
struct AppQueue {
    QMutex mutex;
    QWaitCondition notEmpty;
    std::deque<AppMessage> messages;
    size_t pendingUpdates = 0;
};

AppQueue& Queue()
{
    static AppQueue q;
    return q;
}

bool TakeLocked(AppQueue& q, AppMessage& out)
{
    if (q.messages.empty())
        return false;
    out = q.messages.front();
    q.messages.pop_front();
    if (out.header.type == kAppMsgUpdate && q.pendingUpdates > 0)
        --q.pendingUpdates;
    return true;
}

} // namespace

bool MessageQueue::Open(const std::string& name, int flags, int maxMessages, int messageSize)
{
    (void)name;
    (void)flags;
    (void)maxMessages;
    (void)messageSize;
    open_ = true;
    return true;
}

void MessageQueue::Close()
{
    open_ = false;
}

bool MessageQueue::Send(const void* message, size_t length, bool force)
{
    if (!open_ || message == nullptr || length < kRemoteHeaderSize || length > kAppMessageMax)
        return false;
    AppMessage m;
    const auto* bytes = static_cast<const uint8_t*>(message);
    m.header.Decode(bytes, length);
    m.payloadSize = static_cast<uint32_t>(length - kRemoteHeaderSize);
    if (m.header.length > kAppPayloadMax || m.header.length > m.payloadSize)
        return false;
    std::memcpy(m.payload, bytes + kRemoteHeaderSize, m.payloadSize);
    m.payload[m.payloadSize] = 0;

    AppQueue& q = Queue();
    QMutexLocker lock(&q.mutex);
    const bool isUpdate = m.header.type == kAppMsgUpdate;
    if (isUpdate && q.pendingUpdates > 0 && !force)
        return true;   // one update already waits; this one adds nothing
    if (q.messages.size() >= kAppQueueCapacity)
        return false;
    q.messages.push_back(m);
    if (isUpdate)
        ++q.pendingUpdates;
    q.notEmpty.wakeOne();
    return true;
}

bool MessageQueue::Send(const RemoteMsgHeader& header, const void* payload, bool force)
{
    uint8_t buffer[kAppMessageMax];
    if (header.length > kAppMessageMax - kRemoteHeaderSize)
        return false;
    if (header.length > 0 && payload == nullptr)
        return false;
    header.Encode(buffer);
    if (header.length > 0)
        std::memcpy(buffer + kRemoteHeaderSize, payload, header.length);
    return Send(buffer, kRemoteHeaderSize + header.length, force);
}

bool MessageQueue::Receive(AppMessage& out)
{
    AppQueue& q = Queue();
    QMutexLocker lock(&q.mutex);
    while (q.messages.empty())
        q.notEmpty.wait(&q.mutex);
    return TakeLocked(q, out);
}

bool MessageQueue::ReceiveFor(AppMessage& out, uint32_t timeoutMs)
{
    AppQueue& q = Queue();
    QMutexLocker lock(&q.mutex);
    QDeadlineTimer deadline(static_cast<qint64>(timeoutMs));
    while (q.messages.empty()) {
        if (!q.notEmpty.wait(&q.mutex, deadline))
            break;
    }
    return TakeLocked(q, out);
}

size_t MessageQueue::PendingCount()
{
    AppQueue& q = Queue();
    QMutexLocker lock(&q.mutex);
    return q.messages.size();
}

void MessageQueue::Reset()
{
    AppQueue& q = Queue();
    QMutexLocker lock(&q.mutex);
    q.messages.clear();
    q.pendingUpdates = 0;
}
