#include "MessageQueue.h"

#include "platform/SpinWait.h"
#include "platform/TsanAnnotations.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <cstring>

namespace {

constexpr uint32_t kReceiveSpinUs = 200;

// The queue behind every handle: a ring of fixed slots, so that queuing a
// message allocates nothing.
struct AppQueue {
    QMutex mutex;
    QWaitCondition notEmpty;
    std::array<AppMessage, kAppQueueCapacity> ring;
    size_t head = 0;    // the oldest message
    std::atomic<size_t> count{0};   // changed under the mutex; read outside it only to spin
    size_t pendingUpdates = 0;

    bool Empty() const { return count.load(std::memory_order_relaxed) == 0; }
    AppMessage& Back() { return ring[(head + count.load(std::memory_order_relaxed)) % kAppQueueCapacity]; }
    void Clear()
    {
        head = 0;
        count.store(0, std::memory_order_relaxed);
        pendingUpdates = 0;
    }
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
    if (q.Empty())
        return false;
    out = q.ring[q.head];
    q.head = (q.head + 1) % kAppQueueCapacity;
    q.count.fetch_sub(1, std::memory_order_relaxed);
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
    RemoteMsgHeader header;
    const auto* bytes = static_cast<const uint8_t*>(message);
    header.Decode(bytes, length);
    const auto payloadSize = static_cast<uint32_t>(length - kRemoteHeaderSize);
    if (header.length > kAppPayloadMax || header.length > payloadSize)
        return false;

    AppQueue& q = Queue();
    QueueLock lock(q);
    const bool isUpdate = header.type == MsgType::kUpdate;
    if (isUpdate && q.pendingUpdates > 0 && !force)
        return true;   // one update already waits; this one adds nothing
    if (q.count.load(std::memory_order_relaxed) >= kAppQueueCapacity)
        return false;
    AppMessage& m = q.Back();
    m.header = header;
    m.payloadSize = payloadSize;
    std::memcpy(m.payload, bytes + kRemoteHeaderSize, payloadSize);
    m.payload[payloadSize] = 0;
    q.count.fetch_add(1, std::memory_order_relaxed);
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

size_t MessageQueue::ReceiveAll(AppMessage* out, size_t max, bool watch)
{
    AppQueue& q = Queue();
    // The application thread watches for the next request a little before
    // it sleeps: with several clients one comes within microseconds.
    if (watch)
        SpinUntil([&q] { return !q.Empty(); }, kReceiveSpinUs);
    QueueLock lock(q);
    while (q.Empty())
        lock.Wait();
    size_t n = 0;
    while (n < max && TakeLocked(q, out[n]))
        ++n;
    return n;
}

bool MessageQueue::ReceiveFor(AppMessage& out, uint32_t timeoutMs)
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    QDeadlineTimer deadline(static_cast<qint64>(timeoutMs));
    while (q.Empty()) {
        if (!lock.Wait(deadline))
            break;
    }
    return TakeLocked(q, out);
}

size_t MessageQueue::PendingCount()
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    return q.count.load(std::memory_order_relaxed);
}

void MessageQueue::Reset()
{
    AppQueue& q = Queue();
    QueueLock lock(q);
    q.Clear();
}
