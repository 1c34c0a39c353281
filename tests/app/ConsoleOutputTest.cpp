// What the running application prints: the listening line once the server
// is bound, and how little it says in IP decapsulation mode with the quiet
// switch on. Time is the test's clock, 20 ms a tick.
#include "BoardTest.h"

#include "app/TpZuApplication.h"
#include "core/threads/MessageQueue.h"
#include "core/protocol/RemoteProtocol.h"
#include "platform/Socket.h"

#include <cstdlib>
#include <memory>

namespace {

class ConsoleOutputTest : public BoardTest {
protected:
    static void PostLocal(uint16_t type, const std::string& payload = std::string())
    {
        RemoteMsgHeader h;
        h.type = type;
        h.length = static_cast<uint16_t>(payload.size());
        MessageQueue q;
        q.Open("/msgq");
        ASSERT_TRUE(q.Send(h, payload.data(), true));
    }
    void Ticks(TpZuApplication& app, int count)
    {
        for (int i = 0; i < count; ++i) {
            PostLocal(MsgType::kUpdate);
            app.ProcessPending();
            clock.AdvanceMs(20);
        }
    }
    static size_t Count(const std::string& text, const std::string& fragment)
    {
        size_t n = 0;
        for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
            ++n;
        return n;
    }
};

TEST_F(ConsoleOutputTest, TheListeningLineNamesThePortAndFoldersOnceTheServerIsBound)
{
    Socket holder = Socket::Listen("127.0.0.1", 0);
    ASSERT_TRUE(holder.IsValid());
    const uint16_t port = holder.LocalPort();
    const std::string line = "Listening on port " + std::to_string(port) + "; working folder " + WorkDir() +
                             "; data folder " + Home() + "/Documents/Corvane/ZuOrbSimulators/Orb\n";
    WriteText("system.cfg", "IpAddress=127.0.0.1\nDNS=0\nPort=" + std::to_string(port) + "\n");

    // The port is taken at start: no listening line until the server gets it.
    auto app = std::make_unique<TpZuApplication>();
    Ticks(*app, 100);
    EXPECT_EQ(Count(debug->Text(), "Listening on port"), 0u) << debug->Text();
    holder.Close();
    Ticks(*app, 100);   // the server tries again every second
    EXPECT_EQ(Count(debug->Text(), line), 1u) << debug->Text();
    Ticks(*app, 100);
    EXPECT_EQ(Count(debug->Text(), "Listening on port"), 1u);
    app.reset();

    // A free port: the line follows the end of start-up at once.
    debug->Clear();
    app = std::make_unique<TpZuApplication>();
    const std::string text = debug->Text();
    EXPECT_NE(text.find("finished GuiInit\n" + line), std::string::npos) << text;
}

TEST_F(ConsoleOutputTest, IpDecapsulationModeWithTheQuietSwitchSaysAFewLinesAMinute)
{
    const char* quiet = std::getenv("ZU_QUIET");
    const std::string wasQuiet = quiet != nullptr ? quiet : "";
    setenv("ZU_QUIET", "1", 1);
    WriteText("system.cfg", "IpAddress=0.0.0.0\nDNS=0\n");   // no server: no port of the machine taken
    TpZuApplication app;
    PostLocal(MsgType::kConsole, "emsfpipmode 1");
    PostLocal(MsgType::kConsole, "emsfpdecap 1");
    Ticks(app, 10 * 1000 / 20);   // the switch is said once
    testing::internal::CaptureStderr();
    Ticks(app, 60 * 1000 / 20);
    const std::string minute = testing::internal::GetCapturedStderr();
    // An error repeated many times a second: once, then with its count.
    testing::internal::CaptureStderr();
    for (int i = 0; i < 30; ++i) {
        PostLocal(MsgType::kStoreFirst);   // a store request from no client
        Ticks(app, 2);
    }
    const std::string repeated = testing::internal::GetCapturedStderr();
    if (quiet != nullptr)
        setenv("ZU_QUIET", wasQuiet.c_str(), 1);
    else
        unsetenv("ZU_QUIET");

    EXPECT_NE(debug->Text().find("emSFP 2022-6=0 Decap=1 IpMode=1\n"), std::string::npos);
    EXPECT_GT(Count(debug->Text(), "\n\nPRI\n\n"), 60u) << "the module's flows were stepped through";
    size_t lines = 0;
    for (size_t start = 0, end; (end = minute.find('\n', start)) != std::string::npos; start = end + 1)
        lines += minute.find_first_not_of(" \t\r", start) < end ? 1 : 0;
    EXPECT_LE(lines, 3u) << minute;
    EXPECT_EQ(repeated, "ProcessMessage-Error-MagicNo Setup\n"
                        "ProcessMessage-Error-MagicNo Setup (repeated 25 times)\n");
}

} // namespace
