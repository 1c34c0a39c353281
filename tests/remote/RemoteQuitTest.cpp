// Quitting with clients connected, idle or in the middle of a request, ends
// at once: every wait of the server's threads is woken.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "core/threads/MessageQueue.h"

#include <array>
#include <atomic>
#include <thread>

namespace {

// Well below the time a connection waits for a reply.
constexpr int kPromptMs = 5000;

class RemoteQuit : public RemoteServerTest {
protected:
    // Shuts the application down from another thread; false when that did
    // not end within kPromptMs.
    bool ShutDownIsPrompt()
    {
        std::atomic<bool> done{false};
        std::thread quit([&] {
            app->ShutDown();
            done = true;
        });
        const bool prompt = WaitFor([&] { return done.load(); }, kPromptMs);
        quit.join();
        return prompt;
    }
};

TEST_F(RemoteQuit, PowerOffWithIdleAndHalfSentRequestsIsPrompt)
{
    ASSERT_TRUE(StartApp());
    TestClient idle, halfway;
    ASSERT_TRUE(idle.Connect(port));
    ASSERT_TRUE(idle.Request(StoreType::kGetValue, COM_REMOTE_PORT).ok);
    ASSERT_TRUE(halfway.Connect(port));
    ASSERT_TRUE(halfway.Request(StoreType::kGetValue, COM_REMOTE_PORT).ok);
    ASSERT_TRUE(halfway.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT).substr(0, 9)));

    EXPECT_TRUE(StopApp(kPromptMs));
    EXPECT_TRUE(idle.SeesClose());
    EXPECT_TRUE(halfway.SeesClose());
}

TEST_F(RemoteQuit, ShutDownWakesAConnectionWaitingForItsReply)
{
    // No loop runs, so the request stays unanswered in the queue.
    ASSERT_TRUE(MakeApp(std::string(), true));
    TestClient waiting, idle;
    ASSERT_TRUE(idle.Connect(port));
    ASSERT_TRUE(waiting.Connect(port));
    ASSERT_TRUE(waiting.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)));
    ASSERT_TRUE(WaitFor([] { return MessageQueue::PendingCount() == 1; }));

    EXPECT_TRUE(ShutDownIsPrompt());
    EXPECT_TRUE(waiting.SeesClose()) << "given up without a reply: no stale bytes before the close";
    EXPECT_TRUE(idle.SeesClose());
}

TEST_F(RemoteQuit, ShutDownWithANewcomerKeptForAGoneClientsSlotIsPrompt)
{
    // No loop runs: every connection waits for its reply, and the slot of
    // the client that reset keeps a newcomer until its thread is done.
    ASSERT_TRUE(MakeApp(std::string(), true));
    std::array<TestClient, 5> clients;
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerForAGoneClient(clients, kept));

    EXPECT_TRUE(ShutDownIsPrompt());
    EXPECT_TRUE(kept.SeesClose());
    for (size_t i = 1; i < clients.size(); ++i)
        EXPECT_TRUE(clients[i].SeesClose()) << "client " << i;
}

} // namespace
