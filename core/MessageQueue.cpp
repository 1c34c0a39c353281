#include "MessageQueue.h"

#include "platform/TsanAnnotations.h"

#include <QDeadlineTimer>
#include <QMutex>
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

// Holds the queue's mutex for a scope, and lets the race checker see it.
class QueueLock {
public:
    explicit QueueLock(AppQueue& q) : q_(q)
    {
        q_.mutex.lock();
        ZU_TSAN_ACQUIRE(&q_.mutex);
    }
    ~QueueLock()
    {
        ZU_TSAN_RELEASE(&q_.mutex);
        q_.mutex.unlock();
    }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    // Waits on the queue's condition; false when the deadline passed.
    bool Wait(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever))
    {
        ZU_TSAN_RELEASE(&q_.mutex);
        bool woken = q_.notEmpty.wait(&q_.mutex, deadline);
        ZU_TSAN_ACQUIRE(&q_.mutex);
        return woken;
    }

private:
    AppQueue& q_;
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
    if (out.header.type == MsgType::kUpdate && q.pendingUpdates > 0)
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
    QueueLock lock(q);
    const bool isUpdate = m.header.type == MsgType::kUpdate;
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
    QueueLock lock(q);
    while (q.messages.empty())
        lock.Wait();
    return TakeLocked(q, out);
}

bool MessageQueue::ReceiveFor(AppMessage& out, uint32_t timeoutMs)
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    QDeadlineTimer deadline(static_cast<qint64>(timeoutMs));
    while (q.messages.empty()) {
        if (!lock.Wait(deadline))
            break;
    }
    return TakeLocked(q, out);
}

size_t MessageQueue::PendingCount()
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    return q.messages.size();
}

void MessageQueue::Reset()
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    q.messages.clear();
    q.pendingUpdates = 0;
}
