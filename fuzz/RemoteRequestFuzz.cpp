// Feeds arbitrary byte streams to a connection's request reader in memory (no
// threads, no sockets), split into pieces of varying size as TCP may split
// them. Every header with the magic and its whole payload must be answered
// once: requests for the application go through the queue to its handler,
// run here on this thread, and each must release its reply exactly once.
#include "FuzzFolder.h"

#include "KrZuApi.h"
#include "app/TpZuApplication.h"
#include "core/threads/MessageQueue.h"
#include "core/threads/RemoteReplySlot.h"
#include "core/store/TpStore.h"
#include "platform/FileSystem.h"
#include "remote/server/RemoteRequestReader.h"
#include "sim/KeyMailbox.h"
#include "ui/keys/TpKeyScan.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

struct World {
    World()
    {
        EnterFuzzFolder(kDeafSettings);
        app = std::make_unique<TpZuApplication>();
        // No periodic ticks between the requests of an input.
        app->KeyScan().EnableUpdates(false);
        queue.Open("/msgq");
    }
    std::unique_ptr<TpZuApplication> app;
    MessageQueue queue;
    RemoteReplySlot slot;
};

class MemorySource : public RemoteRequestReader::Source {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    long Read(uint8_t* buffer, size_t size) override
    {
        // Pieces of 1 to 23 bytes, changing with the position.
        const size_t n = std::min({size, size_ - at_, 1 + at_ % 23});
        std::memcpy(buffer, data_ + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

// Posts what the connection posts for a request the application answers and
// checks that exactly one reply came.
void AnswerThroughApplication(World& world, RemoteMsgHeader request, const uint8_t* payload, bool key)
{
    const uint16_t token = world.slot.BeginRequest();
    if (key) {
        // A plain press carrying the token, then the release.
        RemoteMsgHeader press;
        press.magic = Origin::kRemote;
        press.type = MsgType::kKey;
        press.spare = token;
        press.value = (request.value | kKeyPressFlag) & 0xFFFFu;
        RemoteMsgHeader release = press;
        release.spare = 0;
        release.value &= ~static_cast<uint32_t>(kKeyPressFlag);
        Check(world.queue.Send(press, nullptr) && world.queue.Send(release, nullptr));
    } else {
        request.magic = Origin::kRemote;
        request.spare = token;
        if (!world.queue.Send(request, payload)) {
            Check(request.length > kAppPayloadMax);   // refused by the connection itself
            return;
        }
    }
    world.app->ProcessPending();
    Check(world.slot.WaitReply(0));
    RemoteMsgHeader reply;
    Check(reply.Decode(world.slot.Data(), world.slot.Length()) && reply.magic == kRemoteMagic);
    Check(!world.slot.WaitReply(0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    // The key lock stays on, so no key of an input powers the instrument off.
    world.app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    MemorySource source(data, size);
    RemoteRequestReader reader(source);
    using Frame = RemoteRequestReader::Frame;
    using Route = RemoteRequestReader::Route;
    for (;;) {
        RemoteMsgHeader request;
        const Frame frame = reader.Next(request);
        if (frame == Frame::kEnd || frame == Frame::kShortPayload)
            break;
        if (frame != Frame::kRequest)
            continue;   // no reply, or the connection's own refusal
        Check(request.magic == kRemoteMagic && request.length <= RemoteRequestReader::kPayloadMax);
        const Route route = RemoteRequestReader::RouteOf(request);
        // Kept out: lists that would grow from input to input, and the key
        // lock's own command.
        const bool skipped = request.cmdId == COM_REMOTE_DISABLE_KEYBOARD ||
                             (route == Route::kStore && request.type == StoreType::kAddItemValue);
        if (route == Route::kStore && !skipped)
            AnswerThroughApplication(world, request, reader.Payload(), false);
        else if (route == Route::kKeyOrWeb && request.value != KeySub::kEventPage &&
                 request.value != KeySub::kStatusXml && request.value != KeySub::kLcdImage && !skipped)
            AnswerThroughApplication(world, request, nullptr, true);
    }
    return 0;
}
