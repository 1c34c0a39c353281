#include "remote/RemoteServerTest.h"

#include "core/threads/MessageQueue.h"
#include "remote/server/TpConnectionThread.h"
#include "remote/server/TpRemoteCtrl.h"
#include "sim/KeyMailbox.h"

#include "KrZuApi.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

void PostLocal(uint16_t type, uint32_t value)
{
    MessageQueue queue;
    queue.Open("/msgq");
    queue.Send(RemoteMsgHeader{Origin::kLocal, type, 0, 0, 0, 0, value}, nullptr, true);
}

} // namespace

std::string HeaderOf(const RemoteMsgHeader& h)
{
    uint8_t bytes[kRemoteHeaderSize];
    h.Encode(bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string HeaderBytes(uint32_t magic, uint16_t type, uint16_t cmdId, uint16_t length, uint32_t item,
                        uint32_t value)
{
    return HeaderOf(RemoteMsgHeader{magic, type, cmdId, length, 0, item, value});
}

std::string EncodeRequest(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value, const std::string& payload,
                          uint32_t magic)
{
    return HeaderBytes(magic, type, cmdId, static_cast<uint16_t>(payload.size()), item, value) + payload;
}

bool TestClient::Connect(uint16_t port, const std::string& from)
{
    sockaddr_in local {};
    local.sin_family = AF_INET;
    sockaddr_in server {};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    if (inet_pton(AF_INET, from.c_str(), &local.sin_addr) != 1 ||
        inet_pton(AF_INET, "127.0.0.1", &server.sin_addr) != 1)
        return false;
    socket = Socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    int one = 1;
    if (!socket.IsValid() || ::bind(socket.Fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(socket.Fd(), reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        socket.Close();
        return false;
    }
    setsockopt(socket.Fd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

bool TestClient::Read(size_t size, std::string& out)
{
    out.clear();
    std::string chunk(65536, '\0');
    while (out.size() < size) {
        const long n = socket.RecvFor(chunk.data(), std::min(chunk.size(), size - out.size()), kWaitMs);
        if (n <= 0)
            return false;
        out.append(chunk.data(), static_cast<size_t>(n));
    }
    return true;
}

WireReply TestClient::ReadReply()
{
    WireReply reply;
    std::string header;
    if (!Read(kRemoteHeaderSize, header))
        return reply;
    reply.header.Decode(reinterpret_cast<const uint8_t*>(header.data()), header.size());
    reply.ok = reply.header.length == 0 || Read(reply.header.length, reply.payload);
    return reply;
}

WireReply TestClient::Request(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value,
                              const std::string& payload)
{
    return Send(EncodeRequest(type, cmdId, item, value, payload)) ? ReadReply() : WireReply();
}

bool TestClient::SeesCloseWithin(int limitMs)
{
    char byte;
    const long n = socket.RecvFor(&byte, 1, limitMs);
    return n == 0 || n == -1;
}

bool TestClient::Reset()
{
    sockaddr unspecified {};
    unspecified.sa_family = AF_UNSPEC;
    return ::connect(socket.Fd(), &unspecified, sizeof unspecified) == 0;
}

void RemoteServerTest::TearDown()
{
    if (loop.joinable())
        StopApp();
    app.reset();
    BoardTest::TearDown();
}

uint16_t RemoteServerTest::FreePort()
{
    return Socket::Listen("127.0.0.1", 0).LocalPort();
}

bool RemoteServerTest::MakeApp(const std::string& extraSettings, bool expectListening)
{
    // The port was let go again and another process may take it meanwhile.
    for (int attempt = 0; attempt < 10; ++attempt) {
        port = FreePort();
        WriteText("system.cfg", extraSettings + "IpAddress=127.0.0.1\nDNS=0\nPort=" + std::to_string(port) + "\n");
        app = std::make_unique<TpZuApplication>();
        if (!expectListening || TpRemoteCtrl::Instance()->ListeningPort() == port)
            return true;
        app.reset();
    }
    return false;
}

void RemoteServerTest::RunLoop()
{
    loopDone = false;
    loop = std::thread([this] {
        app->ProcessMessages();
        loopDone = true;
    });
}

bool RemoteServerTest::StopApp(int limitMs)
{
    PostLocal(MsgType::kKey, kKeyPressFlag | kKeyPowerOff);
    const bool ended = WaitFor([this] { return loopDone.load(); }, limitMs);
    if (loop.joinable())
        loop.join();
    return ended;
}

bool RemoteServerTest::ConnectFiveWaiting(std::array<TestClient, 5>& clients)
{
    for (auto& c : clients)
        if (!c.Connect(port) || !c.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)))
            return false;
    return WaitFor([] { return MessageQueue::PendingCount() == 5; });
}

bool RemoteServerTest::KeepANewcomerForAGoneClient(std::array<TestClient, 5>& clients, TestClient& kept,
                                                   const std::string& from)
{
    return ConnectFiveWaiting(clients) && KeepANewcomerFor(clients[0], kept, from);
}

bool RemoteServerTest::KeepANewcomerFor(TestClient& gone, TestClient& kept, const std::string& from)
{
    const int refusedBefore = CountInLog("RemCtrl: Connections Full");
    if (!gone.Reset() || !kept.Connect(port, from))
        return false;
    TestClient refused;
    return refused.Connect(port) &&
           refused.SeesCloseWithin(static_cast<int>(TpConnectionThread::kReplyTimeoutMs) / 2) &&
           CountInLog("RemCtrl: Connections Full") == refusedBefore + 1;
}

bool RemoteServerTest::StepApplication(int count)
{
    MessageQueue queue;
    queue.Open("/msgq");
    AppMessage message;
    for (int i = 0; i < count; ++i) {
        if (!queue.ReceiveFor(message, TestClient::kWaitMs))
            return false;
        app->Dispatch(message);
    }
    return true;
}

void RemoteServerTest::PostTicks(int count)
{
    for (int i = 0; i < count; ++i)
        PostLocal(MsgType::kUpdate, 0);
}

bool RemoteServerTest::WaitFor(const std::function<bool()>& condition, int limitMs)
{
    for (int waited = 0; waited < limitMs; waited += 5) {
        if (condition())
            return true;
        Sleep(5);
    }
    return condition();
}

int RemoteServerTest::CountInLog(const std::string& fragment) const
{
    const std::string text = debug->Text();
    int count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + fragment.size()))
        ++count;
    return count;
}
