// Feeds arbitrary byte streams to a connection of the remote-control server:
// each input is one client's whole conversation, handed to a free connection
// slot over a socket pair while the application runs its loop; the replies
// are not read. The server must read every request in full or drop it,
// answer what it reads, and end the connection when the client has sent all.
#include "FuzzFolder.h"

#include "KrZuApi.h"
#include "core/threads/MessageQueue.h"
#include "core/log/TpCommandLine.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "app/TpZuApplication.h"
#include "platform/FileSystem.h"
#include "platform/Socket.h"
#include "remote/server/TpRemoteCtrl.h"
#include "sim/KeyMailbox.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <sched.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kInputMax = 64 * 1024;   // well within a socket pair's buffer

class World {
public:
    World()
    {
        EnterFuzzFolder();
        Start();
    }
    ~World() { Stop(); }

    // A client may power the instrument off (key lock cleared, then key 32):
    // the next input gets a new one.
    void RestartIfQuit()
    {
        if (!app_->QuitRequested())
            return;
        Stop();
        Start();
    }

    void ClearLog() { RunLine(kClearLog); }

private:
    static constexpr char kClearLog[] = "fuzzclearlog";
    static constexpr char kUnlock[] = "fuzzunlock";

    // Queues a console line for the application thread.
    static void RunLine(const char* line)
    {
        MessageQueue queue;
        queue.Open("/msgq");
        RemoteMsgHeader h;
        h.magic = Origin::kLocal;
        h.type = MsgType::kConsole;
        h.length = static_cast<uint16_t>(std::strlen(line));
        queue.Send(h, line, true);
    }

    void Start()
    {
        // Static mode without an address: the server never listens, clients
        // come only from the fuzzer.
        if (!WriteFileAtomic(FuzzFolder() + "/system.cfg", "IpAddress=0.0.0.0\nDNS=0\nPort=2100\n"))
            std::abort();
        MessageQueue::Reset();
        app_ = std::make_unique<TpZuApplication>();
        app_->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
        // Harness commands, run on the application thread: an empty event
        // log for every input (event pages walk the whole log), and the key
        // lock lifted so that the power-off key ends the loop.
        TpZuApplication* app = app_.get();
        app_->Console().Add(kClearLog, sizeof kClearLog - 1, 0, [app](int) { app->Logger().Clear(); });
        app_->Console().Add(kUnlock, sizeof kUnlock - 1, 0,
                            [app](int) { app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 0); });
        loop_ = std::thread([app] { app->ProcessMessages(); });
    }
    void Stop()
    {
        if (loop_.joinable()) {
            RunLine(kUnlock);
            MessageQueue queue;
            queue.Open("/msgq");
            RemoteMsgHeader h;
            h.magic = Origin::kLocal;
            h.type = MsgType::kKey;
            h.value = kKeyPressFlag | kKeyPowerOff;
            queue.Send(h, nullptr, true);
            loop_.join();
        }
        app_.reset();
    }

    std::unique_ptr<TpZuApplication> app_;
    std::thread loop_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    world.RestartIfQuit();
    world.ClearLog();
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    Socket server(fds[0]);
    Socket client(fds[1]);
    // The client's receiving side is closed, so the server's sends fail at
    // once instead of copying screens through the socket. The input ends
    // when the server has read it all and given the slot back.
    ::shutdown(client.Fd(), SHUT_RD);
    TpConnectionMonitor& monitor = TpRemoteCtrl::Instance()->Monitor();
    const int slot = monitor.AssignClient(std::move(server), 0x7F000001u);
    client.SendAll(data, size < kInputMax ? size : kInputMax);
    ::shutdown(client.Fd(), SHUT_WR);
    while (slot >= 0 && monitor.Slot(slot).InUse())
        sched_yield();
    return 0;
}
