// Several clients at once: five served side by side, each with its own
// replies; a sixth closed at once, unless one of the five went, whose slot
// it then takes; the client list rebuilt by the "REMOTE" task.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "core/threads/MessageQueue.h"
#include "remote/server/TpConnectionThread.h"

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include <sys/socket.h>

namespace {

constexpr int kTicksPerRemoteTask = 50;   // 1,000 ms of 20 ms ticks

// The client list after the next "REMOTE" task.
std::string ClientList(TestClient& c)
{
    RemoteServerTest::PostTicks(kTicksPerRemoteTask);
    WireReply r = c.Request(StoreType::kGetItemsText, COM_REMOTE_CONNECTIONS);
    if (!r.ok || r.header.type != ReplyType::kItemsText)
        return "<no list>";
    return r.payload;
}

// The value read sent by ConnectFiveWaiting, answered once the loop runs.
bool Answered(TestClient& c, uint16_t port)
{
    const WireReply r = c.ReadReply();
    return r.ok && r.header.type == ReplyType::kValue && r.header.value == port;
}

// Connects and has one request answered.
bool Served(TestClient& c, uint16_t port)
{
    const WireReply r = c.Connect(port) ? c.Request(StoreType::kGetValue, COM_REMOTE_PORT) : WireReply();
    return r.ok && r.header.type == 31 && r.header.value == port;
}

// How a connection's first reply went: a whole header came, the server
// closed first, or neither within limitMs.
enum class FirstReply { kHeader, kClosed, kNone };

FirstReply ReadFirstReply(TestClient& c, int limitMs = TestClient::kWaitMs)
{
    char header[kRemoteHeaderSize];
    size_t got = 0;
    while (got < sizeof header) {
        const long n = c.socket.RecvFor(header + got, sizeof header - got, limitMs);
        if (n == -2)
            return FirstReply::kNone;
        if (n <= 0)
            return FirstReply::kClosed;
        got += static_cast<size_t>(n);
    }
    return FirstReply::kHeader;
}

// A request the connection answers itself (type 0, not accepted), with its
// answer awaited for half the reply limit: a header means the client was
// served, not kept waiting for a gone client's connection to end.
FirstReply AskTheConnection(TestClient& c)
{
    const int limitMs = static_cast<int>(TpConnectionThread::kReplyTimeoutMs) / 2;
    return c.Send(EncodeRequest(0, 0)) ? ReadFirstReply(c, limitMs) : FirstReply::kClosed;
}

class RemoteConnections : public RemoteServerTest {
protected:
    // Four clients wait for the application, which does not run; the fifth
    // is answered by its connection alone. Then the first goes, and kept is
    // kept for its slot, whose thread still waits. False when that does not
    // come about.
    bool KeepANewcomerBesideAnIdleClient(std::array<TestClient, 5>& clients, TestClient& kept)
    {
        for (size_t i = 0; i < 4; ++i)
            if (!clients[i].Connect(port) || !clients[i].Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)))
                return false;
        return clients[4].Connect(port) && AskTheConnection(clients[4]) == FirstReply::kHeader &&
               WaitFor([] { return MessageQueue::PendingCount() == 4; }) && KeepANewcomerFor(clients[0], kept);
    }
};

// Descriptors the test process holds: the server's sockets among them.
size_t OpenDescriptors()
{
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++count;
    return count;
}

TEST_F(RemoteConnections, FiveClientsInterleavingRequestsEachGetTheirOwnReplies)
{
    ASSERT_TRUE(StartApp());
    // Each client owns one octet and reads back only what it wrote.
    constexpr std::array<uint16_t, 5> kOwned = {COM_NETWORK_IP_2, COM_NETWORK_IP_3, COM_NETWORK_MASK_4,
                                                COM_NETWORK_GATEWAY_2, COM_NETWORK_DNS_3};
    constexpr int kRounds = 150;
    std::array<TestClient, 5> clients;
    for (auto& c : clients)
        ASSERT_TRUE(c.Connect(port));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 5; ++i) {
        threads.emplace_back([&, i] {
            TestClient& c = clients[static_cast<size_t>(i)];
            const uint16_t id = kOwned[static_cast<size_t>(i)];
            for (int round = 0; round < kRounds; ++round) {
                const uint32_t value = static_cast<uint32_t>((round * 7 + i) % 256);
                WireReply set = c.Request(StoreType::kSetValue, id, static_cast<uint32_t>(round), value);
                WireReply read = c.Request(StoreType::kGetValue, id, static_cast<uint32_t>(round));
                WireReply text = c.Request(StoreType::kGetText, COM_NETWORK_NAME, static_cast<uint32_t>(round));
                wrong += !set.ok || set.header.type != ReplyType::kOk || set.header.cmdId != id || !read.ok ||
                         read.header.type != ReplyType::kValue || read.header.cmdId != id ||
                         read.header.item != static_cast<uint32_t>(round) || read.header.value != value ||
                         text.payload != "CorvaneZu";
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(RemoteConnections, TheSixthClientIsClosedAndLoggedOncePerRun)
{
    ASSERT_TRUE(StartApp());
    std::array<TestClient, 5> served;
    for (auto& c : served)
        ASSERT_TRUE(Served(c, port));
    for (int i = 0; i < 2; ++i) {
        TestClient extra;
        ASSERT_TRUE(extra.Connect(port));
        EXPECT_TRUE(extra.SeesClose()) << "refused client " << i;
    }
    EXPECT_EQ(CountInLog("RemCtrl: Connections Full"), 2);
    EXPECT_EQ(CountInLog("Not enough TCP/IP connections"), 1);

    // A slot comes free; the next client is served at once, and a new run of
    // refused clients is logged again.
    served[2].Close();
    TestClient late;
    ASSERT_TRUE(Served(late, port));
    TestClient refused;
    ASSERT_TRUE(refused.Connect(port));
    EXPECT_TRUE(refused.SeesClose());
    EXPECT_EQ(CountInLog("Not enough TCP/IP connections"), 2);
    for (auto& c : served) {
        if (c.socket.IsValid()) {
            EXPECT_TRUE(c.Request(StoreType::kGetValue, COM_REMOTE_PORT).ok) << "the others are still served";
        }
    }
}

TEST_F(RemoteConnections, TheClientListShowsEachSlotAfterTheTask)
{
    ASSERT_TRUE(StartApp());
    TestClient first;
    ASSERT_TRUE(first.Connect(port));
    ASSERT_TRUE(first.Request(StoreType::kGetValue, COM_REMOTE_PORT).ok);
    EXPECT_EQ(ClientList(first), "127.0.0.1\t-\t-\t-\t-\t");
    WireReply count = first.Request(StoreType::kGetItemCount, COM_REMOTE_CONNECTIONS);
    EXPECT_EQ(count.header.value, 6u) << "six items, the last one empty";

    TestClient second;
    ASSERT_TRUE(second.Connect(port));
    ASSERT_TRUE(second.Request(StoreType::kGetValue, COM_REMOTE_PORT).ok);
    EXPECT_EQ(ClientList(first), "127.0.0.1\t127.0.0.1\t-\t-\t-\t");

    // Ten bytes of a header, then a reset: the receive fails and is
    // reported, and the next update shows the slot free.
    ASSERT_TRUE(second.Send(std::string(10, '\x12')));
    ASSERT_TRUE(second.Reset());
    EXPECT_TRUE(WaitFor([&] { return debug->Contains("recv(): Connection reset by peer\nRemCtrl: recv()\n"); }));
    EXPECT_EQ(ClientList(first), "127.0.0.1\t-\t-\t-\t-\t");
}

TEST_F(RemoteConnections, AClientThatGoesWhileItsScreensAreSentFreesItsSlotAtOnce)
{
    ASSERT_TRUE(StartApp());
    std::array<TestClient, 5> served;
    for (auto& c : served)
        ASSERT_TRUE(Served(c, port));
    // A screen asked for, its header read, and the sending side closed: the
    // update shows the slot free, and the next client takes it.
    std::string header;
    ASSERT_TRUE(served[1].Send(EncodeRequest(70, 0)) && served[1].Read(20, header));
    ASSERT_EQ(::shutdown(served[1].socket.Fd(), SHUT_WR), 0);
    EXPECT_TRUE(WaitFor([&] { return ClientList(served[4]) == "127.0.0.1\t-\t127.0.0.1\t127.0.0.1\t127.0.0.1\t"; }));
    TestClient sixth;
    EXPECT_TRUE(Served(sixth, port));

    // More screens than the sockets hold, only the first header read, then a
    // reset while the server is still sending: the next client is served
    // straight away.
    std::string screens;
    for (int i = 0; i < 12; ++i)
        screens += EncodeRequest(70, 0);
    ASSERT_TRUE(served[0].Send(screens) && served[0].Read(20, header));
    ASSERT_TRUE(served[0].Reset());
    TestClient seventh;
    EXPECT_TRUE(Served(seventh, port));
    EXPECT_EQ(ClientList(seventh), "127.0.0.1\t127.0.0.1\t127.0.0.1\t127.0.0.1\t127.0.0.1\t");
}

TEST_F(RemoteConnections, ABurstOfNewcomersToAFullServerIsRefusedWithoutWaitingForAnything)
{
    // Nothing else in the server moves while the burst is refused: the
    // application does not run, every connection thread waits for its reply,
    // and the clock stands still.
    ASSERT_TRUE(MakeApp());
    std::array<TestClient, 5> served;
    ASSERT_TRUE(ConnectFiveWaiting(served));
    const uint64_t before = clock.MonotonicMs();
    // A wait the clock seam does not see shows on the wall clock, loosely:
    // 100 ms a refusal would take 5 s.
    const auto started = std::chrono::steady_clock::now();
    constexpr int kBurst = 50;
    std::array<TestClient, kBurst> burst;
    for (auto& c : burst)
        ASSERT_TRUE(c.Connect(port));
    for (size_t i = 0; i < burst.size(); ++i)
        EXPECT_TRUE(burst[i].SeesClose()) << "newcomer " << i;
    TestClient after;
    ASSERT_TRUE(after.Connect(port));
    EXPECT_TRUE(after.SeesClose());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(clock.MonotonicMs(), before) << "no wait on the clock";
    EXPECT_EQ(CountInLog("RemCtrl: Connections Full"), kBurst + 1);
    EXPECT_EQ(CountInLog("Not enough TCP/IP connections"), 1);

    // The five are answered once the application runs, and stay served.
    RunLoop();
    for (size_t i = 0; i < served.size(); ++i) {
        EXPECT_TRUE(Answered(served[i], port)) << "client " << i;
        EXPECT_TRUE(served[i].Request(StoreType::kGetValue, COM_REMOTE_PORT).ok) << "client " << i;
    }
}

TEST_F(RemoteConnections, AGoneClientsSlotIsKeptForTheNextNewcomerWhileItsThreadStillWaits)
{
    ASSERT_TRUE(MakeApp());
    // The first client resets while its thread waits for the application;
    // the slot is spoken for by the next newcomer, from another address.
    std::array<TestClient, 5> served;
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerForAGoneClient(served, kept, "127.0.0.2"));
    ASSERT_TRUE(kept.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)));

    // Once the application answers, the kept newcomer is served in that
    // slot, and so are the other four.
    RunLoop();
    EXPECT_TRUE(Answered(kept, port));
    for (size_t i = 1; i < served.size(); ++i)
        EXPECT_TRUE(Answered(served[i], port)) << "client " << i;
    EXPECT_EQ(ClientList(kept), "127.0.0.2\t127.0.0.1\t127.0.0.1\t127.0.0.1\t127.0.0.1\t");
    TestClient sixth;
    ASSERT_TRUE(sixth.Connect(port));
    EXPECT_TRUE(sixth.SeesClose());
}

TEST_F(RemoteConnections, ANewcomerKeptForAGoneClientsSlotThatGoesTooGivesWayToTheNext)
{
    ASSERT_TRUE(MakeApp());
    std::array<TestClient, 5> served;
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerForAGoneClient(served, kept));

    // The kept newcomer goes before the slot's thread has taken it up: the
    // next newcomer is kept in its place, not refused.
    kept.Close();
    TestClient next;
    ASSERT_TRUE(next.Connect(port));
    ASSERT_TRUE(next.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)));
    // The server has decided about it once a later newcomer is refused; only
    // then does the application answer, and the slot's thread end the gone
    // client's connection.
    TestClient later;
    ASSERT_TRUE(later.Connect(port));
    EXPECT_TRUE(later.SeesClose());
    RunLoop();
    EXPECT_TRUE(Answered(next, port));
    EXPECT_EQ(CountInLog("RemCtrl: Connections Full"), 2);
    for (size_t i = 1; i < served.size(); ++i)
        EXPECT_TRUE(Answered(served[i], port)) << "client " << i;
}

TEST_F(RemoteConnections, ANewcomerTakesAFreeSlotBeforeTheSlotOfAGoneClient)
{
    ASSERT_TRUE(MakeApp());
    std::array<TestClient, 5> clients;
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerBesideAnIdleClient(clients, kept));
    // The kept newcomer goes too; the fifth leaves, and its slot is free once
    // it sees its connection end.
    kept.Close();
    ASSERT_EQ(::shutdown(clients[4].socket.Fd(), SHUT_WR), 0);
    ASSERT_TRUE(clients[4].SeesClose());
    // The next newcomer is served in the free slot at once.
    TestClient next;
    ASSERT_TRUE(next.Connect(port));
    EXPECT_EQ(AskTheConnection(next), FirstReply::kHeader);
}

TEST_F(RemoteConnections, ANewcomerKeptForAGoneClientsSlotTakesASlotThatComesFreeMeanwhile)
{
    ASSERT_TRUE(MakeApp());
    std::array<TestClient, 5> clients;
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerBesideAnIdleClient(clients, kept));
    // The fifth leaves, and its slot comes free.
    ASSERT_EQ(::shutdown(clients[4].socket.Fd(), SHUT_WR), 0);
    ASSERT_TRUE(clients[4].SeesClose());
    // The kept newcomer is served there, not after the gone client's wait.
    EXPECT_EQ(AskTheConnection(kept), FirstReply::kHeader);
}

TEST_F(RemoteConnections, ANewcomerKeptForAClientThatWentWaitingForTheStatusFileIsServedAtOnce)
{
    ASSERT_TRUE(MakeApp());
    std::array<TestClient, 5> clients;
    for (auto& c : clients)
        ASSERT_TRUE(c.Connect(port) && AskTheConnection(c) == FirstReply::kHeader);
    // Four ask for the status file: one holds it and waits for the
    // application, which does not run, and three wait for it.
    const std::string status = EncodeRequest(MsgType::kKey, 0, 0, KeySub::kStatusXml);
    for (size_t i = 1; i < clients.size(); ++i)
        ASSERT_TRUE(clients[i].Send(status));
    ASSERT_TRUE(WaitFor([] { return MessageQueue::PendingCount() == 2; })) << "the key of the one holding it";

    // The fifth asks too and shuts its sending side: it has gone once its
    // request was read. A newcomer then kept for its slot (one before is
    // refused) is served at once.
    ASSERT_TRUE(clients[0].Send(status));
    ASSERT_EQ(::shutdown(clients[0].socket.Fd(), SHUT_WR), 0);
    FirstReply kept = FirstReply::kClosed;
    EXPECT_TRUE(WaitFor([&] {
        TestClient newcomer;
        kept = newcomer.Connect(port) ? AskTheConnection(newcomer) : FirstReply::kClosed;
        return kept != FirstReply::kClosed;
    }));
    EXPECT_EQ(kept, FirstReply::kHeader);
}

TEST_F(RemoteConnections, AClientLeavingMidEventPageHasNoMoreOfItReadBeforeItsNewcomer)
{
    ASSERT_TRUE(MakeApp());
    app->Logger().Clear();
    for (int i = 0; i < 40; ++i)
        app->Store().AddItem(COM_ANLYS_LOG_VIEW, "i 10:00:00 01-03-2024 Event " + std::to_string(i));
    std::array<TestClient, 5> clients;
    ASSERT_TRUE(ConnectFiveWaiting(clients));
    ASSERT_TRUE(StepApplication(5));
    for (size_t i = 0; i < clients.size(); ++i)
        ASSERT_TRUE(Answered(clients[i], port)) << "client " << i;

    // The first asks for a page of 20 entries; the application answers the
    // count and three entries, and the client goes while the fourth is read.
    ASSERT_TRUE(clients[0].Send(HeaderOf({kRemoteMagic, MsgType::kKey, 0, 0, 0, 0, KeySub::kEventPage})));
    ASSERT_TRUE(StepApplication(4));
    ASSERT_TRUE(WaitFor([] { return MessageQueue::PendingCount() == 1; }));
    TestClient kept;
    ASSERT_TRUE(KeepANewcomerFor(clients[0], kept));
    ASSERT_TRUE(kept.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)));

    // The application answers the read under way, then the newcomer's.
    ASSERT_TRUE(StepApplication(2));
    EXPECT_TRUE(Answered(kept, port));
}

TEST_F(RemoteConnections, AChurnOfClientsGoingMidReplyLeavesEverySlotFreeAndNoSocketOpen)
{
    ASSERT_TRUE(StartApp());
    const size_t descriptors = OpenDescriptors();
    // Six clients at a time for five slots, each round going its own way:
    // closing after its reply, resetting while its screens are sent,
    // resetting while its read waits for the application, or closing before
    // it asks anything. Newcomers meet full slots, gone clients and slots
    // kept for them; every one is answered or closed, none left waiting.
    constexpr int kThreads = 6;
    constexpr int kRounds = 20;
    std::atomic<int> unanswered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                TestClient c;
                if (!c.Connect(port)) {
                    ++unanswered;
                    continue;
                }
                switch ((round + t) % 4) {
                case 0:
                    c.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT));
                    unanswered += ReadFirstReply(c) == FirstReply::kNone;
                    c.Close();
                    break;
                case 1:
                    c.Send(EncodeRequest(70, 0) + EncodeRequest(70, 0));
                    unanswered += ReadFirstReply(c) == FirstReply::kNone;
                    c.Reset();
                    break;
                case 2:
                    c.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT));
                    c.Reset();
                    break;
                default:
                    c.Close();
                    break;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(unanswered.load(), 0);

    // Every slot is free or ends its gone client: five newcomers are served
    // and a sixth is refused.
    std::array<TestClient, 5> five;
    for (size_t i = 0; i < five.size(); ++i)
        EXPECT_TRUE(Served(five[i], port)) << "newcomer " << i;
    TestClient sixth;
    ASSERT_TRUE(sixth.Connect(port));
    EXPECT_TRUE(sixth.SeesClose());
    EXPECT_EQ(ClientList(five[0]), "127.0.0.1\t127.0.0.1\t127.0.0.1\t127.0.0.1\t127.0.0.1\t");

    // Once they go too, the server holds no socket of any of them.
    for (auto& c : five)
        c.Close();
    sixth.Close();
    EXPECT_TRUE(WaitFor([&] { return OpenDescriptors() == descriptors; }))
        << OpenDescriptors() << " descriptors open, " << descriptors << " before the clients came";
}

} // namespace
