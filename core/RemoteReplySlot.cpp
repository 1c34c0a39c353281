#include "RemoteReplySlot.h"

#include "platform/DebugOut.h"

#include <cstring>
#include <unordered_map>

namespace {

// Tokens in use and their slots. One lock guards the table and every slot's
// buffer while a reply is written, so a slot cannot go away mid-reply.
struct SlotTable {
    std::mutex mutex;
    std::unordered_map<uint16_t, RemoteReplySlot*> byToken;
    uint16_t next = 0;
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
        Table().byToken.erase(token_);
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
    } while (t.next == 0 || t.byToken.count(t.next) != 0);
    token_ = t.next;
    t.byToken[token_] = this;
    length_ = 0;
    return token_;
}

bool RemoteReplySlot::WaitReply(uint32_t timeoutMs)
{
    if (done_.WaitFor(timeoutMs))
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
    auto it = t.byToken.find(token);
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
