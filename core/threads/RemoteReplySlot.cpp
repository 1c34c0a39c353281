#include "RemoteReplySlot.h"

#include "platform/DebugOut.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kReplySpinUs = 50;

// Tokens in use and their slots. One lock guards the table and every slot's
// buffer while a reply is written, so a slot cannot go away mid-reply. Few
// tokens are in use at once (one per waiting connection): a short list,
// searched in place, allocates nothing per request once it has grown.
struct SlotTable {
    using Entry = std::pair<uint16_t, RemoteReplySlot*>;
    std::mutex mutex;
    std::vector<Entry> byToken;
    uint16_t next = 0;

    std::vector<Entry>::iterator Find(uint16_t token)
    {
        return std::find_if(byToken.begin(), byToken.end(), [token](const Entry& e) { return e.first == token; });
    }
    void Erase(uint16_t token)
    {
        auto it = Find(token);
        if (it == byToken.end())
            return;
        *it = byToken.back();
        byToken.pop_back();
    }
};

SlotTable& Table()
{
    static SlotTable t;
    return t;
}

} // namespace

RemoteReplySlot::RemoteReplySlot() = default;

RemoteReplySlot::~RemoteReplySlot()
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    DropTokenLocked();
}

void RemoteReplySlot::DropTokenLocked()
{
    if (token_ != 0)
        Table().Erase(token_);
    token_ = 0;
}

uint16_t RemoteReplySlot::BeginRequest()
{
    SlotTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    DropTokenLocked();
    while (done_.TryWait()) {
        // A reply that came after its request was given up: discard it.
    }
    do {
        ++t.next;
    } while (t.next == 0 || t.Find(t.next) != t.byToken.end());
    token_ = t.next;
    t.byToken.emplace_back(token_, this);
    length_ = 0;
    return token_;
}

bool RemoteReplySlot::WaitReply(uint32_t timeoutMs)
{
    // A reply mostly comes within microseconds: watched for a little
    // before the connection sleeps. A wait of 0 only looks.
    if (timeoutMs > 0 ? done_.WaitFor(timeoutMs, kReplySpinUs) : done_.TryWait())
        return true;
    std::lock_guard<std::mutex> lock(Table().mutex);
    DropTokenLocked();
    return false;
}

void RemoteReplySlot::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(Table().mutex);
        DropTokenLocked();
    }
    done_.Shutdown();
}

bool RemoteReplySlot::Reply(uint16_t token, const void* data, size_t length)
{
    if (token == 0)
        return false;
    SlotTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.Find(token);
    if (it == t.byToken.end())
        return false;
    RemoteReplySlot* slot = it->second;
    if (length > kReplyBufferSize)
        length = kReplyBufferSize;
    if (length > 0 && data != nullptr)
        std::memcpy(slot->buffer_, data, length);
    slot->length_ = length;
    slot->DropTokenLocked();
    if (!slot->done_.Post()) {
        DebugPrintf("SemaphorePost FAILED\n");
        return false;
    }
    return true;
}
