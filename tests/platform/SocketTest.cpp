#include "platform/Socket.h"
#include "support/ZuTest.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace {

using SocketTest = ZuTest;

TEST_F(SocketTest, LoopbackRoundTrip)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    ASSERT_TRUE(listener.IsValid());
    uint16_t port = listener.LocalPort();
    ASSERT_NE(port, 0);

    Socket client = Socket::Connect("127.0.0.1", port);
    ASSERT_TRUE(client.IsValid());
    Socket server = listener.Accept();
    ASSERT_TRUE(server.IsValid());

    const char request[] = "0123456789";
    ASSERT_TRUE(client.SendAll(request, 10));
    char got[10];
    ASSERT_TRUE(server.RecvAll(got, 10));
    EXPECT_EQ(std::memcmp(got, request, 10), 0);

    client.Close();
    char byte;
    EXPECT_EQ(server.Recv(&byte, 1), 0) << "end of stream after the peer closes";
}

TEST_F(SocketTest, ShutdownWakesBlockedAcceptAndRecv)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    ASSERT_TRUE(listener.IsValid());
    std::atomic<bool> acceptReturned{false};
    std::thread acceptor([&] {
        Socket s = listener.Accept();
        acceptReturned = true;
        EXPECT_FALSE(s.IsValid());
    });
    // Wait until the acceptor is most likely blocked; correctness does not
    // depend on it, since shutdown also fails a later accept.
    Sleep(20);
    listener.Shutdown();
    acceptor.join();
    EXPECT_TRUE(acceptReturned);

    Socket listener2 = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener2.LocalPort());
    Socket server = listener2.Accept();
    ASSERT_TRUE(server.IsValid());
    std::atomic<long> result{1};
    std::thread reader([&] {
        char buf[4];
        result = server.Recv(buf, sizeof buf);
    });
    Sleep(20);
    server.Shutdown();
    reader.join();
    EXPECT_LE(result.load(), 0);
}

TEST_F(SocketTest, SendToAClosedPeerFailsWithoutSignal)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
    Socket server = listener.Accept();
    server.Close();
    std::string big(1 << 20, 'a');
    bool ok = true;
    for (int i = 0; i < 20 && ok; ++i)
        ok = client.SendAll(big.data(), big.size());
    EXPECT_FALSE(ok);   // the process is still alive: no SIGPIPE
}

TEST_F(SocketTest, PortCanBeReboundAtOnce)
{
    Socket first = Socket::Listen("127.0.0.1", 0);
    uint16_t port = first.LocalPort();
    {
        Socket c = Socket::Connect("127.0.0.1", port);
        Socket s = first.Accept();
        s.Close();
    }
    first.Close();
    Socket second = Socket::Listen("127.0.0.1", port);
    EXPECT_TRUE(second.IsValid());
}

TEST_F(SocketTest, BadAddressesGiveInvalidSockets)
{
    EXPECT_FALSE(Socket::Listen("not-an-address", 0).IsValid());
    EXPECT_FALSE(Socket::Connect("999.1.1.1", 2100).IsValid());
    Socket unused = Socket::Listen("127.0.0.1", 0);
    uint16_t port = unused.LocalPort();
    unused.Close();
    EXPECT_FALSE(Socket::Connect("127.0.0.1", port).IsValid()) << "nothing listens";
}

TEST_F(SocketTest, RecvForTimesOut)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
    Socket server = listener.Accept();
    char buf[4];
    EXPECT_EQ(server.RecvFor(buf, sizeof buf, 10), -2);
    ASSERT_TRUE(client.SendAll("ab", 2));
    EXPECT_EQ(server.RecvFor(buf, sizeof buf, 5000), 2);
}

} // namespace
