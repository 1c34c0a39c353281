// The remote-control server over loopback, measured in one run:
//   - the round trip of a value read (a 20-byte request, a 20-byte reply);
//   - the same 20-byte exchange with a minimal echo server, as the baseline
//     the value read is held against;
//   - requests per second with five clients at once;
//   - the fetch of one LCD image (header and 391,734-byte BMP).
// The simulator runs in a temporary folder (working folder and HOME) on
// 127.0.0.1 and a port the kernel picked.
#include "core/MessageQueue.h"
#include "core/RemoteMsgHeader.h"
#include "app/TpZuApplication.h"
#include "platform/FileSystem.h"
#include "platform/Socket.h"
#include "remote/server/TpRemoteCtrl.h"
#include "sim/KeyMailbox.h"
#include "sim/TpTFTBitmap.h"

#include "KrZuApi.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kClients = 5;

std::array<uint8_t, kRemoteHeaderSize> Request(uint16_t type, uint16_t cmdId)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = type;
    h.cmdId = cmdId;
    std::array<uint8_t, kRemoteHeaderSize> bytes {};
    h.Encode(bytes.data());
    return bytes;
}

// Echoes every 20 bytes it reads, one thread per client.
class EchoServer {
public:
    EchoServer() : listener_(Socket::Listen("127.0.0.1", 0, 16))
    {
        acceptor_ = std::thread([this] {
            for (;;) {
                Socket client = listener_.Accept();
                if (!client.IsValid())
                    return;
                auto shared = std::make_shared<Socket>(std::move(client));
                clients_.push_back(shared);
                workers_.emplace_back([shared] {
                    uint8_t buffer[kRemoteHeaderSize];
                    while (shared->RecvAll(buffer, sizeof buffer) && shared->SendAll(buffer, sizeof buffer)) {
                    }
                });
            }
        });
    }
    ~EchoServer()
    {
        listener_.Shutdown();
        acceptor_.join();
        for (auto& c : clients_)
            c->Shutdown();
        for (auto& w : workers_)
            w.join();
    }
    uint16_t Port() const { return listener_.LocalPort(); }

private:
    Socket listener_;
    std::thread acceptor_;
    std::vector<std::shared_ptr<Socket>> clients_;
    std::vector<std::thread> workers_;
};

// The simulator in a folder of its own, its loop on a thread, and five
// clients connected to it.
class Simulator {
public:
    Simulator()
    {
        char pattern[] = "/tmp/zubench-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        root_ = pattern;
        setenv("HOME", root_.c_str(), 1);
        setenv("ZU_QUIET", "1", 1);
        if (chdir(root_.c_str()) != 0)
            std::abort();
        const uint16_t port = Socket::Listen("127.0.0.1", 0).LocalPort();
        WriteFileAtomic("system.cfg", "IpAddress=127.0.0.1\nDNS=0\nPort=" + std::to_string(port) + "\n");
        app_ = std::make_unique<TpZuApplication>();
        if (TpRemoteCtrl::Instance()->ListeningPort() != port)
            std::abort();
        loop_ = std::thread([this] { app_->ProcessMessages(); });
        for (auto& c : clients) {
            c = Socket::Connect("127.0.0.1", port);
            if (!c.IsValid())
                std::abort();
        }
    }
    ~Simulator()
    {
        for (auto& c : clients)
            c.Close();
        RemoteMsgHeader h;
        h.magic = Origin::kLocal;
        h.type = MsgType::kKey;
        h.value = kKeyPressFlag | kKeyPowerOff;
        MessageQueue queue;
        queue.Open("/msgq");
        queue.Send(h, nullptr, true);
        loop_.join();
        app_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    std::array<Socket, kClients> clients;

private:
    std::string root_;
    std::unique_ptr<TpZuApplication> app_;
    std::thread loop_;
};

Simulator* g_sim = nullptr;
EchoServer* g_echo = nullptr;

bool Exchange(Socket& s, const std::array<uint8_t, kRemoteHeaderSize>& request, uint8_t* reply)
{
    return s.SendAll(request.data(), request.size()) && s.RecvAll(reply, kRemoteHeaderSize);
}

void BM_ValueReadRoundTrip(benchmark::State& state)
{
    Socket& s = g_sim->clients[0];
    const auto request = Request(StoreType::kGetValue, COM_REMOTE_PORT);
    uint8_t reply[kRemoteHeaderSize];
    for (auto _ : state)
        if (!Exchange(s, request, reply))
            state.SkipWithError("connection lost");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueReadRoundTrip)->UseRealTime();

void BM_EchoRoundTrip(benchmark::State& state)
{
    Socket s = Socket::Connect("127.0.0.1", g_echo->Port());
    const auto request = Request(StoreType::kGetValue, COM_REMOTE_PORT);
    uint8_t reply[kRemoteHeaderSize];
    for (auto _ : state)
        if (!Exchange(s, request, reply))
            state.SkipWithError("connection lost");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EchoRoundTrip)->UseRealTime();

void BM_FiveClientsValueReads(benchmark::State& state)
{
    Socket& s = g_sim->clients[static_cast<size_t>(state.thread_index())];
    const auto request = Request(StoreType::kGetValue, COM_REMOTE_PORT);
    uint8_t reply[kRemoteHeaderSize];
    for (auto _ : state)
        if (!Exchange(s, request, reply))
            state.SkipWithError("connection lost");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FiveClientsValueReads)->Threads(kClients)->UseRealTime();

void BM_LcdImageFetch(benchmark::State& state)
{
    Socket& s = g_sim->clients[0];
    const auto request = Request(MsgType::kScreenFirst, 0);
    std::vector<uint8_t> image(kRemoteHeaderSize + TpTFTBitmap::GetBmpSize());
    for (auto _ : state)
        if (!s.SendAll(request.data(), request.size()) || !s.RecvAll(image.data(), image.size()))
            state.SkipWithError("connection lost");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_LcdImageFetch)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    EchoServer echo;
    Simulator sim;
    g_echo = &echo;
    g_sim = &sim;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_sim = nullptr;
    g_echo = nullptr;
    return 0;
}
