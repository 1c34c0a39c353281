// Feeds arbitrary header and payload bytes to the application as remote
// requests: the queue's checks, the store-request handler and the reply.
#include "FuzzFolder.h"

#include "core/threads/RemoteReplySlot.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "app/TpZuApplication.h"
#include "platform/FileSystem.h"

#include "KrZuApi.h"

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
        setting = std::make_unique<TpCommand>(COM_AUDIO_TAB_SELECT, kKeepsValueText);
        list = std::make_unique<TpTextListCmd>(nullptr, COM_REMOTE_CONNECTIONS, kKeepsValue);
        for (int i = 0; i < 5; ++i)
            app->Store().AddItem(COM_REMOTE_CONNECTIONS, "item", i);
    }
    std::unique_ptr<TpZuApplication> app;
    std::unique_ptr<TpCommand> setting;
    std::unique_ptr<TpTextListCmd> list;
    RemoteReplySlot slot;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    if (size < kRemoteHeaderSize)
        return 0;
    uint8_t message[kAppMessageMax + 64];
    size_t length = size < sizeof message ? size : sizeof message;
    std::memcpy(message, data, length);
    RemoteMsgHeader h;
    h.Decode(message, length);
    // Keep the loop running and the lists small: no power-off key, no growth
    // without bound.
    if (h.type == MsgType::kKey || h.type == StoreType::kAddItemValue)
        return 0;
    h.magic = (h.magic & 1) ? Origin::kRemote : h.magic;
    h.spare = world.slot.BeginRequest();
    h.Encode(message);
    MessageQueue queue;
    queue.Open("/msgq");
    if (queue.Send(message, length))
        world.app->ProcessPending();
    world.slot.WaitReply(0);
    return 0;
}
