#include "platform/Socket.h"
#include "support/ZuTest.h"

#include <string>
#include <thread>

#include <sys/socket.h>

namespace {

using SocketTest = ZuTest;

TEST_F(SocketTest, ReceiveTimesOutThenGetsTheBytesThenTheEndOfStream)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
    Socket server = listener.Accept();
    ASSERT_TRUE(server.IsValid());
    char got[10];
    EXPECT_EQ(server.RecvFor(got, sizeof got, 10), -2);
    ASSERT_TRUE(client.SendAll("0123456789", 10));
    ASSERT_TRUE(server.RecvAll(got, 10));
    EXPECT_EQ(std::string(got, 10), "0123456789");

    client.Close();
    EXPECT_EQ(server.Recv(got, 1), 0) << "end of stream after the peer closes";
}

TEST_F(SocketTest, TwoPartSendArrivesWholeAndInOrderOverManyWrites)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
    Socket server = listener.Accept();
    std::string second(8 << 20, '\0');   // more than the socket takes at once
    for (size_t i = 0; i < second.size(); ++i)
        second[i] = static_cast<char>(i * 7 + i / 251);
    std::string got(3 + second.size(), '\0');
    bool received = false;
    std::thread reader([&] { received = server.RecvAll(got.data(), got.size()); });
    EXPECT_TRUE(client.SendAll("abc", 3, second.data(), second.size()));
    reader.join();
    ASSERT_TRUE(received);
    EXPECT_TRUE(got == "abc" + second);
}

TEST_F(SocketTest, SendToAClosedPeerFailsWithoutSignal)
{
    Socket listener = Socket::Listen("127.0.0.1", 0);
    Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
    listener.Accept().Close();
    const std::string big(1 << 20, 'a');
    bool ok = true;
    for (int i = 0; i < 20 && ok; ++i)
        ok = client.SendAll(big.data(), big.size());
    EXPECT_FALSE(ok);   // the process is still alive: no SIGPIPE
}

TEST_F(SocketTest, AResetDuringAnotherThreadsLargeSendIsSeenAtOnce)
{
    // The peer reads a while, then resets its connection while another
    // thread still sends to it: the look right after the reset sees it gone
    // every time, whatever the send was doing with the socket when it came.
    Socket listener = Socket::Listen("127.0.0.1", 0);
    const std::string big(32 << 20, 'x');
    std::string first(1 << 20, '\0');
    constexpr int kRounds = 50;
    int missed = 0;
    for (int round = 0; round < kRounds; ++round) {
        Socket client = Socket::Connect("127.0.0.1", listener.LocalPort());
        Socket server = listener.Accept();
        ASSERT_TRUE(server.IsValid());
        std::thread sender([&] { server.SendAll(big.data(), big.size()); });
        const bool read = client.RecvAll(first.data(), first.size());
        sockaddr unspecified {};
        unspecified.sa_family = AF_UNSPEC;
        const bool reset = ::connect(client.Fd(), &unspecified, sizeof unspecified) == 0;
        missed += !server.PeerGone();
        sender.join();
        ASSERT_TRUE(read && reset);
    }
    EXPECT_EQ(missed, 0) << "of " << kRounds;
}

TEST_F(SocketTest, PortCanBeReboundAtOnceAndBadAddressesGiveInvalidSockets)
{
    Socket first = Socket::Listen("127.0.0.1", 0);
    const uint16_t port = first.LocalPort();
    {
        Socket c = Socket::Connect("127.0.0.1", port);
        first.Accept().Close();
    }
    first.Close();
    EXPECT_FALSE(Socket::Connect("127.0.0.1", port).IsValid()) << "nothing listens";
    EXPECT_TRUE(Socket::Listen("127.0.0.1", port).IsValid());

    EXPECT_FALSE(Socket::Listen("not-an-address", 0).IsValid());
    EXPECT_FALSE(Socket::Connect("999.1.1.1", 2100).IsValid());
}

} // namespace
