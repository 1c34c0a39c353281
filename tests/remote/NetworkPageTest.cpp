// The network settings page on its own: settings read and written, the
// static and DHCP modes, Setup and Apply, the "NET" task and the cable check.
#include "BoardTest.h"
#include "FakeNetHost.h"
#include "core/CommandProbes.h"

#include "KrZuApi.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"
#include "remote/net/TCPIPAddresses.h"
#include "ui/dialogs/TpDialogList.h"

#include <memory>

namespace {

constexpr uint16_t kIds[TCPIPAddresses::kIdCount] = {
    COM_NETWORK_SETUP, COM_NETWORK_APPLY, COM_NETWORK_DHCP, COM_NETWORK_DHCP_IP, COM_NETWORK_DHCP_MASK,
    COM_NETWORK_DHCP_GATEWAY, COM_NETWORK_DHCP_DNS, COM_NETWORK_NAME, COM_NETWORK_IP_1, COM_NETWORK_MASK_1,
    COM_NETWORK_GATEWAY_1, COM_NETWORK_DNS_1};

class NetworkPageTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        net.Install();
    }
    void TearDown() override
    {
        page.reset(), settings.reset(), dialogs.reset(), store.reset();
        BoardTest::TearDown();
    }

    void Make(const std::string& settingsText = std::string())
    {
        page.reset();
        if (!settingsText.empty())
            WriteText("system.cfg", settingsText);
        settings = std::make_unique<TpIniFile>("./system.cfg");
        page = std::make_unique<TCPIPAddresses>(&parent, kIds, *settings);
    }

    std::string Octets(uint16_t firstId) const
    {
        std::string text;
        for (int i = 0; i < 4; ++i)
            text += (i ? "." : "") + std::to_string(store->GetValue(firstId + i));
        return text;
    }
    std::string Text(uint16_t id) const { return store->GetCmdText(id); }
    bool Enabled(uint16_t id) const { return store->GetCmd(id)->IsEnabled(); }
    bool Visible(uint16_t id) const { return store->GetCmd(id)->IsVisible(); }
    int Notices() const { return parent.CountFor(page.get(), kReasonValue); }
    std::string Setting(const std::string& key) const { return TpIniFile("./system.cfg").GetString("", key, "-"); }

    FakeNetHost net;
    std::unique_ptr<TpStore> store = std::make_unique<TpStore>();
    std::unique_ptr<TpDialogList> dialogs;
    RecordingParent parent;
    std::unique_ptr<TpIniFile> settings;
    std::unique_ptr<TCPIPAddresses> page;
};

TEST_F(NetworkPageTest, TheSettingsGiveTheModeAndTheAddressesReadNumberByNumber)
{
    Make();   // no network keys: DHCP mode with the defaults
    EXPECT_EQ(Text(COM_NETWORK_NAME), "CorvaneZu");
    EXPECT_EQ(Octets(COM_NETWORK_IP_1), "127.0.0.1");
    EXPECT_EQ(Octets(COM_NETWORK_MASK_1), "255.255.255.0");
    EXPECT_EQ(Octets(COM_NETWORK_DNS_1), "192.168.0.1");
    EXPECT_EQ(store->GetValue(COM_NETWORK_DHCP), 1);
    EXPECT_FALSE(Enabled(COM_NETWORK_IP_1) || Visible(COM_NETWORK_IP_1) || Visible(COM_NETWORK_DNS_4));
    EXPECT_EQ(Text(COM_NETWORK_DHCP_GATEWAY), "Acquiring...");
    EXPECT_EQ(page->GetIpAddress(), 0u) << "no address until the host's is known";
    EXPECT_EQ(Notices(), 0);

    Make("HostName=bench7\nIpAddress=10.1.2.3\nSubNetMask=255.0.0.0\nGateway=10.0.0.1\nDNSServer=10.0.0.2\nDNS=0\n");
    EXPECT_EQ(store->GetValue(COM_NETWORK_DHCP), 0);
    EXPECT_EQ(Text(COM_NETWORK_NAME), "bench7");
    EXPECT_TRUE(Enabled(COM_NETWORK_IP_1) && Visible(COM_NETWORK_DNS_4));
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), "10.1.2.3");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_MASK), "255.0.0.0");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_GATEWAY), "10.0.0.1");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_DNS), "10.0.0.2");
    EXPECT_EQ(page->GetIpAddress(), 0x0A010203u);

    Make("IpAddress=192.168.1\nSubNetMask=.5.6.7\nGateway=300.2.x.4\nDNSServer=\nDNS=0\n");
    EXPECT_EQ(Octets(COM_NETWORK_IP_1), "192.168.1.0");
    EXPECT_EQ(Octets(COM_NETWORK_MASK_1), "0.5.6.7");
    EXPECT_EQ(Octets(COM_NETWORK_GATEWAY_1), "255.2.0.4");
    EXPECT_EQ(Octets(COM_NETWORK_DNS_1), "0.0.0.0");
    // A set of an octet out of range does not spill into its neighbour.
    store->SetValue(COM_NETWORK_IP_4, 300);
    store->SetValue(COM_NETWORK_IP_3, -4);
    EXPECT_EQ(Octets(COM_NETWORK_IP_1), "192.168.0.255");
    EXPECT_EQ(page->GetIpAddress(), 0xC0A800FFu);
}

TEST_F(NetworkPageTest, ApplyInStaticModeSavesTheSettingsAndTellsTheServer)
{
    Make("DNS=0\n");
    store->SetValue(COM_NETWORK_IP_1, 10);
    store->SetValue(COM_NETWORK_IP_2, 0);
    store->SetValue(COM_NETWORK_IP_3, 0);
    store->SetValue(COM_NETWORK_IP_4, 5);
    store->SetText(COM_NETWORK_NAME, "orb-lab");
    EXPECT_EQ(Notices(), 0) << "octet edits alone do not move the server";

    store->SetValue(COM_NETWORK_APPLY, 1);
    EXPECT_EQ(store->GetValue(COM_NETWORK_APPLY), 0);
    EXPECT_EQ(Setting("IpAddress"), "10.0.0.5");
    EXPECT_EQ(Setting("SubNetMask"), "255.255.255.0");
    EXPECT_EQ(Setting("Gateway"), "192.168.0.1");
    EXPECT_EQ(Setting("DNSServer"), "192.168.0.1");
    EXPECT_EQ(Setting("DNS"), "0");
    EXPECT_EQ(Setting("HostName"), "orb-lab") << "an edited host name survives a restart";
    EXPECT_FALSE(Enabled(COM_NETWORK_DHCP));
    EXPECT_FALSE(Enabled(COM_NETWORK_NAME));
    EXPECT_EQ(Text(COM_NETWORK_STR_IP), "10.0.0.5");
    EXPECT_EQ(Text(COM_NETWORK_STR_MASK), "255.255.255.0");
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(page->GetIpAddress(), 0x0A000005u);

    // The next start reads what was saved.
    Make();
    EXPECT_EQ(Text(COM_NETWORK_NAME), "orb-lab");
    EXPECT_EQ(Octets(COM_NETWORK_IP_1), "10.0.0.5");
    EXPECT_EQ(store->GetValue(COM_NETWORK_DHCP), 0);
}

TEST_F(NetworkPageTest, SetupOpensTheDialogAndEnablesTheSwitchAndApplyClosesIt)
{
    dialogs = std::make_unique<TpDialogList>();
    ASSERT_TRUE(dialogs->LoadDefinitions(""));
    Make("DNS=0\n");
    store->SetValue(COM_NETWORK_APPLY, 1);
    ASSERT_FALSE(Enabled(COM_NETWORK_DHCP));
    store->SetValue(COM_NETWORK_SETUP, 1);
    EXPECT_EQ(store->GetValue(COM_NETWORK_SETUP), 0);
    EXPECT_TRUE(Enabled(COM_NETWORK_DHCP));
    EXPECT_TRUE(Enabled(COM_NETWORK_NAME));
    EXPECT_EQ(Notices(), 1) << "only Apply tells the server";
    const TpDialog* setup = dialogs->Find("SetupNetwork");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(TopWindow(), setup);
    EXPECT_EQ(page->SetupDialog(), setup);

    store->SetValue(COM_NETWORK_APPLY, 1);
    EXPECT_FALSE(IsWindowOpen(setup));
    EXPECT_EQ(page->SetupDialog(), nullptr);
    EXPECT_EQ(Notices(), 2);
}

TEST_F(NetworkPageTest, DhcpModeShowsTheHostAddressOnEveryTask)
{
    net.SetAddress(0xC0A80114u);
    Make();
    page->OnTask();
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), "192.168.  1. 20");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_GATEWAY), "");
    EXPECT_EQ(page->GetIpAddress(), 0xC0A80114u);
    EXPECT_EQ(Notices(), 1);

    net.SetAddress(0x0A000009u);
    page->OnTask();
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), " 10.  0.  0.  9");
    EXPECT_EQ(page->GetIpAddress(), 0x0A000009u);
    EXPECT_EQ(Notices(), 2);

    // A failed look-up changes nothing.
    net.SetNoAddress();
    page->OnTask();
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), " 10.  0.  0.  9");
    EXPECT_EQ(Notices(), 2);

    // A display that does not read as an address stands for none.
    store->SetText(COM_NETWORK_DHCP_IP, "No Connect!");
    EXPECT_EQ(page->GetIpAddress(), 0u);
    store->SetText(COM_NETWORK_DHCP_IP, "10.0.0.300");
    EXPECT_EQ(page->GetIpAddress(), 0u);
}

TEST_F(NetworkPageTest, StaticModeShowsNoConnectUntilTheAddressIsSet)
{
    // Without a gateway the address is never set.
    Make("IpAddress=10.0.0.5\nGateway=0.0.0.0\nDNS=0\n");
    page->OnTask();
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), "No Connect!");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_GATEWAY), "No Connect!");
    Make("IpAddress=10.0.0.5\nDNS=0\n");
    page->OnTask();   // hands the addresses to the network thread
    const TpNetThread* thread = page->NetThread();
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 2000 && !thread->StaticSet(); ++i)
        Sleep(5);
    ASSERT_TRUE(thread->StaticSet()) << "the network thread set the static address";
    EXPECT_EQ(thread->LastGateway(), 0xC0A80001u);
    page->OnTask();
    EXPECT_EQ(Text(COM_NETWORK_DHCP_IP), "10.0.0.5");
    EXPECT_EQ(Text(COM_NETWORK_DHCP_GATEWAY), "192.168.0.1");
    EXPECT_EQ(Text(COM_NETWORK_STR_IP), "10.0.0.5");
    EXPECT_EQ(Text(COM_NETWORK_STR_DNS), "192.168.0.1");
}

TEST_F(NetworkPageTest, AStillPacketCounterMeansThePulledCableAndAMovingOneItsReturn)
{
    Make("DNS=0\n");
    for (int i = 0; i < 6; ++i) {
        net.Feed("00000000");
        page->CheckCable();
        page->CheckCable();   // the counter cannot be read
    }
    EXPECT_FALSE(page->CableDown()) << "zero or missing counts are ignored";
    for (int i = 0; i < 3; ++i) {
        net.Feed("0000a1f0");
        page->CheckCable();
    }
    EXPECT_FALSE(page->CableDown()) << "two readings without traffic are not enough";

    net.Feed("0000a1f0 more");
    page->CheckCable();
    EXPECT_TRUE(page->CableDown());
    for (uint16_t id : {COM_NETWORK_STR_IP, COM_NETWORK_STR_MASK, COM_NETWORK_STR_GATEWAY, COM_NETWORK_STR_DNS,
                        COM_NETWORK_DHCP_IP})
        EXPECT_EQ(Text(id), "No Connect!") << id;
    EXPECT_EQ(net.stops.load(), 1);
    EXPECT_EQ(net.removals.load(), 1);
    net.Feed("0000a1f0");
    page->CheckCable();
    EXPECT_EQ(net.stops.load(), 1) << "once per pulled cable";

    net.Feed("0000a2c4");
    page->CheckCable();
    EXPECT_FALSE(page->CableDown());
    for (uint16_t id : {COM_NETWORK_STR_IP, COM_NETWORK_STR_DNS, COM_NETWORK_DHCP_IP})
        EXPECT_EQ(Text(id), "CableReconnected") << id;
    page->OnTask();   // the reconnection refreshes the page at the next task
    EXPECT_EQ(Text(COM_NETWORK_STR_IP), "127.0.0.1");
}

} // namespace
