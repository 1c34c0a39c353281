// The server follows its settings: the port, the network page's address and
// the enable switch, each changed by a client over the server itself.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"
#include "remote/server/TpRemoteCtrl.h"

#include <cerrno>

namespace {

using RemoteSettings = RemoteServerTest;

std::string Setting(const std::string& key)
{
    return TpIniFile("./system.cfg").GetString("", key, "-");
}

bool Listens(uint16_t port)
{
    return Socket::Connect("127.0.0.1", port).IsValid();
}

TEST_F(RemoteSettings, APortChangeRebindsAndWritesThePort)
{
    ASSERT_TRUE(StartApp());
    const uint16_t oldPort = port;
    TestClient c;
    ASSERT_TRUE(c.Connect(oldPort));
    // A free port is let go again before the server binds it, and another
    // process may take it meanwhile: then the next one is tried.
    uint16_t newPort = 0;
    WireReply r;
    for (int attempt = 0; attempt < 10 && newPort == 0; ++attempt) {
        const uint16_t candidate = FreePort();
        if (candidate == oldPort)
            continue;
        r = c.Request(StoreType::kSetValue, COM_REMOTE_PORT, 0, candidate);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.header.type, ReplyType::kOk);
        if (!debug->Contains("port " + std::to_string(candidate) + " is in use"))
            newPort = candidate;
    }
    ASSERT_NE(newPort, 0);
    EXPECT_EQ(Setting("Port"), std::to_string(newPort));
    EXPECT_FALSE(Listens(oldPort));
    TestClient d;
    ASSERT_TRUE(d.Connect(newPort));
    EXPECT_EQ(d.Request(StoreType::kGetValue, COM_REMOTE_PORT).header.value, newPort);
    EXPECT_EQ(c.Request(StoreType::kGetValue, COM_REMOTE_PORT).header.value, newPort)
        << "the old connection is still served";

    // A port outside 1-65535 is refused: the port in force stays, unsaved.
    for (uint32_t bad : {0u, 70000u, 0xFFFFFFFFu}) {
        r = c.Request(StoreType::kSetValue, COM_REMOTE_PORT, 0, bad);
        EXPECT_EQ(r.header.type, ReplyType::kOk);
        EXPECT_EQ(c.Request(StoreType::kGetValue, COM_REMOTE_PORT).header.value, newPort);
    }
    EXPECT_EQ(Setting("Port"), std::to_string(newPort));
    EXPECT_TRUE(Listens(newPort));

    // A port another socket holds: the bind fails and is reported.
    Socket holder = Socket::Listen("127.0.0.1", 0);
    ASSERT_EQ(c.Request(5, COM_REMOTE_PORT, 0, holder.LocalPort()).header.type, 0);
    EXPECT_TRUE(debug->Contains("bind failed with error: " + std::to_string(EADDRINUSE) + "\n"));
    EXPECT_FALSE(Listens(newPort));
}

TEST_F(RemoteSettings, ATakenPortIsNamedAndTriedEverySecondUntilItIsFree)
{
    Socket taken = Socket::Listen("127.0.0.1", 0);
    const uint16_t takenPort = taken.LocalPort();
    ASSERT_NE(takenPort, 0);
    ASSERT_TRUE(MakeApp("Port=" + std::to_string(takenPort) + "\n", false));
    const std::string inUse = "port " + std::to_string(takenPort) + " is in use";
    EXPECT_EQ(TpRemoteCtrl::Instance()->ListeningPort(), 0);
    EXPECT_EQ(CountInLog(inUse), 1);

    // A second of ticks (the "REMOTE" task): still taken, said only once.
    const int ticksPerSecond = TpStore::PeriodTicks(TpRemoteCtrl::kTaskPeriodMs);
    for (int i = 0; i < ticksPerSecond; ++i)
        app->Store().Tick();
    EXPECT_EQ(TpRemoteCtrl::Instance()->ListeningPort(), 0);
    EXPECT_EQ(CountInLog(inUse), 1);

    taken.Close();
    for (int i = 0; i < ticksPerSecond; ++i)
        app->Store().Tick();
    ASSERT_EQ(TpRemoteCtrl::Instance()->ListeningPort(), takenPort);
    RunLoop();
    TestClient c;
    ASSERT_TRUE(c.Connect(takenPort));
    EXPECT_EQ(c.Request(StoreType::kGetValue, COM_REMOTE_PORT).header.value, takenPort);
}

TEST_F(RemoteSettings, TheServerListensOnlyWhileItHasAnAddress)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // Static address 0.0.0.0, applied: the listener goes, clients stay.
    c.Request(StoreType::kSetValue, COM_NETWORK_IP_1, 0, 0);
    c.Request(StoreType::kSetValue, COM_NETWORK_IP_4, 0, 0);
    ASSERT_EQ(c.Request(StoreType::kSetValue, COM_NETWORK_APPLY, 0, 1).header.type, ReplyType::kOk);
    EXPECT_EQ(Setting("IpAddress"), "0.0.0.0");
    EXPECT_EQ(Setting("DNS"), "0");
    EXPECT_FALSE(Listens(port));
    EXPECT_EQ(c.Request(StoreType::kGetValue, COM_NETWORK_APPLY).header.value, 0u);

    // An address again: the same port listens again; "Port" is untouched.
    c.Request(StoreType::kSetValue, COM_NETWORK_IP_1, 0, 10);
    c.Request(StoreType::kSetValue, COM_NETWORK_IP_4, 0, 7);
    ASSERT_EQ(c.Request(StoreType::kSetValue, COM_NETWORK_APPLY, 0, 1).header.type, ReplyType::kOk);
    EXPECT_EQ(Setting("IpAddress"), "10.0.0.7");
    EXPECT_TRUE(Listens(port));
    EXPECT_EQ(c.Request(StoreType::kGetText, COM_NETWORK_STR_IP).payload, "10.0.0.7");

    // A start without an address does not listen.
    ASSERT_TRUE(StopApp());
    app.reset();
    ASSERT_TRUE(MakeApp("IpAddress=0.0.0.0\n", false));
    EXPECT_EQ(TpRemoteCtrl::Instance()->ListeningPort(), 0);
    EXPECT_FALSE(Listens(port));
    EXPECT_EQ(Setting("Port"), std::to_string(port));
}

TEST_F(RemoteSettings, RemoteDisabledRefusesStoreRequestsButNotKeys)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    EXPECT_EQ(c.Request(StoreType::kGetValue, COM_REMOTE_ENABLE).header.value, 1u) << "on by default";
    EXPECT_EQ(c.Request(StoreType::kGetVisible, COM_REMOTE_ENABLED_NOTE).header.value, 1u);

    ASSERT_EQ(c.Request(StoreType::kSetValue, COM_REMOTE_ENABLE, 0, 0).header.type, ReplyType::kOk);
    for (uint16_t type : {StoreType::kGetValue, StoreType::kSetValue, StoreType::kGetText, StoreType::kGetVisible}) {
        WireReply r = c.Request(type, COM_REMOTE_PORT, 4);
        EXPECT_EQ(r.header.type, ReplyType::kError) << type;
        EXPECT_EQ(r.header.cmdId, COM_REMOTE_PORT);
        EXPECT_EQ(r.header.value, ResultWord::kDisabled) << type;
    }
    EXPECT_TRUE(debug->Contains("Rejected Remote Control: Disabled"));
    WireReply key = c.Request(MsgType::kKey, 7, 3, 12);
    EXPECT_EQ(key.header.type, ReplyType::kOk);
    EXPECT_EQ(key.header.cmdId, 7);
    EXPECT_EQ(key.header.item, 0u) << "a key reply does not echo the item";

    // The switch is kept with the system data.
    ASSERT_TRUE(StopApp());
    app.reset();
    ASSERT_TRUE(StartApp());
    TestClient d;
    ASSERT_TRUE(d.Connect(port));
    EXPECT_EQ(d.Request(StoreType::kGetValue, COM_REMOTE_PORT).header.value, ResultWord::kDisabled);
}

} // namespace
