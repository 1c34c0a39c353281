// The remote-control server over loopback, measured in one run, each figure
// next to a bare server that does nothing but move the same bytes:
//   - the round trip of a value read (a 20-byte request, a 20-byte reply)
//     against a plain echo of 20 bytes;
//   - value reads per second with five clients at once against five clients
//     of the echo;
//   - the fetch of one LCD image (header and 391,734-byte BMP) against the
//     same bytes sent in one write;
//   - a burst of 200 extra clients while the five slots serve their clients,
//     each connected and then seen closed, against the same burst to a bare
//     server that closes every client it accepts.
// At the end the four ratios to the bare counterparts are printed, so the
// distance to what loopback allows reads the same on any machine.
// The simulator runs in a temporary folder (working folder and HOME) on
// 127.0.0.1 and a port the kernel picked.
#include "core/threads/MessageQueue.h"
#include "core/protocol/RemoteMsgHeader.h"
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
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kClients = 5;
constexpr int kBurst = 200;
// Bound of the wait for one refused client's close.
constexpr int kCloseWaitMs = 30000;

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

// The bare counterpart, one thread per client: echoes every 20 bytes it
// reads, except a screen request, which it answers with a header and an
// image of the LCD image's size in one write.
class EchoServer {
public:
    EchoServer() : listener_(Socket::Listen("127.0.0.1", 0, 16)), screen_(kRemoteHeaderSize + TpTFTBitmap::GetBmpSize(), 0)
    {
        acceptor_ = std::thread([this] {
            for (;;) {
                Socket client = listener_.Accept();
                if (!client.IsValid())
                    return;
                auto shared = std::make_shared<Socket>(std::move(client));
                clients_.push_back(shared);
                workers_.emplace_back([this, shared] {
                    uint8_t buffer[kRemoteHeaderSize];
                    while (shared->RecvAll(buffer, sizeof buffer)) {
                        const bool sent = buffer[4] >= MsgType::kScreenFirst
                                              ? shared->SendAll(screen_.data(), screen_.size())
                                              : shared->SendAll(buffer, sizeof buffer);
                        if (!sent)
                            return;
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
    const std::vector<uint8_t> screen_;
    std::thread acceptor_;
    std::vector<std::shared_ptr<Socket>> clients_;
    std::vector<std::thread> workers_;
};

// The bare counterpart of a full server: closes every client it accepts.
class ClosingServer {
public:
    ClosingServer() : listener_(Socket::Listen("127.0.0.1", 0, SOMAXCONN))
    {
        acceptor_ = std::thread([this] {
            for (;;) {
                Socket client = listener_.Accept();
                if (!client.IsValid())
                    return;
                client.Close();
            }
        });
    }
    ~ClosingServer()
    {
        listener_.Shutdown();
        acceptor_.join();
    }
    uint16_t Port() const { return listener_.LocalPort(); }

private:
    Socket listener_;
    std::thread acceptor_;
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
        uint8_t reply[kRemoteHeaderSize];
        for (auto& c : clients) {
            c = Socket::Connect("127.0.0.1", port);
            // Each has a slot: one request answered.
            const auto request = Request(StoreType::kGetValue, COM_REMOTE_PORT);
            if (!c.IsValid() || !c.SendAll(request.data(), request.size()) || !c.RecvAll(reply, sizeof reply))
                std::abort();
        }
        port_ = port;
    }
    uint16_t Port() const { return port_; }
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
    uint16_t port_ = 0;
    std::unique_ptr<TpZuApplication> app_;
    std::thread loop_;
};

Simulator* g_sim = nullptr;
EchoServer* g_echo = nullptr;
ClosingServer* g_closing = nullptr;

bool Exchange(Socket& s, const std::array<uint8_t, kRemoteHeaderSize>& request, uint8_t* reply)
{
    return s.SendAll(request.data(), request.size()) && s.RecvAll(reply, kRemoteHeaderSize);
}

// Value reads of the port on one connection, one request at a time.
void ReadValues(benchmark::State& state, Socket& s)
{
    const auto request = Request(StoreType::kGetValue, COM_REMOTE_PORT);
    uint8_t reply[kRemoteHeaderSize];
    for (auto _ : state)
        if (!Exchange(s, request, reply))
            state.SkipWithError("connection lost");
    state.SetItemsProcessed(state.iterations());
}

void BM_ValueReadRoundTrip(benchmark::State& state)
{
    Socket& s = g_sim->clients[0];
    ReadValues(state, s);
}
BENCHMARK(BM_ValueReadRoundTrip)->UseRealTime();

void BM_EchoRoundTrip(benchmark::State& state)
{
    Socket s = Socket::Connect("127.0.0.1", g_echo->Port());
    ReadValues(state, s);
}
BENCHMARK(BM_EchoRoundTrip)->UseRealTime();

void BM_FiveClientsValueReads(benchmark::State& state)
{
    Socket& s = g_sim->clients[static_cast<size_t>(state.thread_index())];
    ReadValues(state, s);
}
BENCHMARK(BM_FiveClientsValueReads)->Threads(kClients)->UseRealTime();

// Five clients of the echo, connected once.
std::array<Socket, kClients>& EchoClients()
{
    static std::array<Socket, kClients> clients;
    static const bool connected = [] {
        for (auto& c : clients)
            c = Socket::Connect("127.0.0.1", g_echo->Port());
        return true;
    }();
    (void)connected;
    return clients;
}

void BM_FiveClientsEcho(benchmark::State& state)
{
    static std::array<Socket, kClients>& clients = EchoClients();
    Socket& s = clients[static_cast<size_t>(state.thread_index())];
    ReadValues(state, s);
}
BENCHMARK(BM_FiveClientsEcho)->Threads(kClients)->UseRealTime();

void FetchImages(benchmark::State& state, Socket& s)
{
    const auto request = Request(MsgType::kScreenFirst, 0);
    std::vector<uint8_t> image(kRemoteHeaderSize + TpTFTBitmap::GetBmpSize());
    for (auto _ : state)
        if (!s.SendAll(request.data(), request.size()) || !s.RecvAll(image.data(), image.size()))
            state.SkipWithError("connection lost");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(image.size()));
}

void BM_LcdImageFetch(benchmark::State& state)
{
    FetchImages(state, g_sim->clients[0]);
}
BENCHMARK(BM_LcdImageFetch)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_LcdImageBare(benchmark::State& state)
{
    Socket s = Socket::Connect("127.0.0.1", g_echo->Port());
    FetchImages(state, s);
}
BENCHMARK(BM_LcdImageBare)->UseRealTime()->Unit(benchmark::kMillisecond);

// A burst of clients connected one after the other, then each one's close
// awaited.
void Burst(benchmark::State& state, uint16_t port)
{
    std::vector<Socket> burst(kBurst);
    for (auto _ : state) {
        for (auto& c : burst)
            c = Socket::Connect("127.0.0.1", port);
        for (auto& c : burst) {
            char byte;
            const long n = c.IsValid() ? c.RecvFor(&byte, 1, kCloseWaitMs) : 1;
            if (n != 0 && n != -1)
                state.SkipWithError("a client of the burst was not closed");
            c.Close();
        }
    }
    state.SetItemsProcessed(state.iterations() * kBurst);
}

void BM_RefusalBurst(benchmark::State& state)
{
    Burst(state, g_sim->Port());
}
BENCHMARK(BM_RefusalBurst)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ClosingBurst(benchmark::State& state)
{
    Burst(state, g_closing->Port());
}
BENCHMARK(BM_ClosingBurst)->UseRealTime()->Unit(benchmark::kMillisecond);

// Shows the runs as usual and keeps each run's real time per iteration (ns)
// for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            std::string name = run.run_name.function_name;
            // A multi-threaded run's real time is that of one thread's
            // iterations; per request it is shared by the threads.
            nsPerRequest_[name] = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
        }
    }
    // time(a) / time(b); 0 when either was not run.
    double Ratio(const std::string& a, const std::string& b) const
    {
        auto ia = nsPerRequest_.find(a);
        auto ib = nsPerRequest_.find(b);
        if (ia == nsPerRequest_.end() || ib == nsPerRequest_.end() || ib->second <= 0)
            return 0;
        return ia->second / ib->second;
    }

private:
    std::map<std::string, double> nsPerRequest_;
};

void PrintRatios(const RatioReporter& r)
{
    std::printf("\nRatios to the bare counterparts (same run):\n");
    std::printf("  value read round trip / echo round trip:     %.2fx (target <= 1.3x)\n",
                r.Ratio("BM_ValueReadRoundTrip", "BM_EchoRoundTrip"));
    const double five = r.Ratio("BM_FiveClientsEcho", "BM_FiveClientsValueReads");
    std::printf("  five clients, value reads/s / echo reads/s:  %.2fx (target >= 0.7x)\n", five);
    std::printf("  LCD image fetch / same bytes in one write:   %.2fx (target <= 3x)\n",
                r.Ratio("BM_LcdImageFetch", "BM_LcdImageBare"));
    std::printf("  %d refused by a full server / %d closed bare: %.2fx (target <= 3x)\n", kBurst, kBurst,
                r.Ratio("BM_RefusalBurst", "BM_ClosingBurst"));
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    EchoServer echo;
    ClosingServer closing;
    Simulator sim;
    g_echo = &echo;
    g_closing = &closing;
    g_sim = &sim;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    g_sim = nullptr;
    g_closing = nullptr;
    g_echo = nullptr;
    return 0;
}
