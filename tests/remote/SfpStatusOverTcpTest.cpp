// A client reads the SFP status rows and the EDID lists of the running
// application, and switches the simulated module's mode with a console line.
#include "remote/RemoteServerTest.h"

#include "FakeSfpCage.h"
#include "FakeTwoWireBus.h"
#include "SfpImages.h"

#include "KrZuApi.h"

namespace {

using SfpStatusOverTcp = RemoteServerTest;

TEST_F(SfpStatusOverTcp, ClientReadsStatusRowsEdidListsAndSwitchesTheModuleMode)
{
    FakeTwoWireBus bus;
    FakeSfpCage cage;
    bus.SetA0(MakeA0hImage(ModuleIdentity(0x91, 0x04, 0x83, "EB34TD1T-SN")));
    bus.SetEdid(MakeEdidBlock(EdidFields{}));
    SetTwoWireBus(&bus);
    SetSfpCage(&cage);
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    auto item = [&c](uint16_t cmdId, uint32_t n) { return c.Request(StoreType::kGetItemText, cmdId, n).payload; };

    PostTicks(60);
    EXPECT_TRUE(WaitFor([&] { return item(COM_ANLYS_SFP_STATUS, 1) == "HDMI Tx"; }));
    EXPECT_EQ(item(COM_ANLYS_SFP_STATUS, 26), "ID");
    EXPECT_EQ(item(COM_ANLYS_SFP_STATUS, 27), "91h");
    EXPECT_EQ(item(2350, 4) + "=" + item(2350, 5), "VendorName=ABC");
    EXPECT_EQ(item(2351, 0), "Estb. Modes");

    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kConsole, 0, 0, 0, "emsfpipmode 1")));
    EXPECT_EQ(c.ReadReply().header.type, ReplyType::kOk);
    PostTicks(60);
    EXPECT_TRUE(WaitFor([&] { return item(COM_ANLYS_SFP_STATUS, 1) == "IP Tx"; }));
    ASSERT_TRUE(StopApp());
    SetTwoWireBus(nullptr);
    SetSfpCage(nullptr);
}

} // namespace
