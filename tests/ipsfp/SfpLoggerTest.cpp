// The SFP logger's events as the event log shows them: the switches, supply
// and temperature excursions and returns, packet counters, parameter changes
// with their addresses.
#include "SfpStatusTest.h"

#include "KrZuApi.h"
#include "ipsfp/params/SfpParamTable.h"
#include "ipsfp/log/SFPLogger.h"

#include <memory>

namespace {

using Texts = std::vector<std::string>;

class SfpLogger : public SfpStatusTest {
protected:
    void SetUp() override
    {
        SfpStatusTest::SetUp();
        logger = std::make_unique<SFPLogger>();
        store.SetValue(COM_ANLYS_LOG_ENABLE, 1);
        store.SetValue(COM_ANLYS_LOG_SFP_STATUS_ENABLE, 1);
        store.SetValue(COM_ANLYS_LOG_SFP_PACKET_ENABLE, 1);
        ShowModule(SfpType::IpOut, Module(32300, 25));
    }
    // An IP module's diagnostics: supply in 100 uV, temperature in C; alarms
    // 3.6 V, 3.0 V and 85 C.
    static SfpDiagnostics Module(uint16_t vcc, int temperature)
    {
        return {.temperature = static_cast<int16_t>(temperature * 256), .vcc = vcc, .tempHighAlarm = 85 * 256,
                .vccHighAlarm = 36000, .vccLowAlarm = 30000};
    }
    void Tick(uint16_t vcc, int temperature)
    {
        bus.SetA2(MakeA2hImage(Module(vcc, temperature)));
        for (auto& f : fields) {
            if (!f->IsStatic())
                f->Show();
        }
        logger->CheckTemperature();
        logger->CheckSupply();
    }

    std::unique_ptr<SFPLogger> logger;
};

TEST_F(SfpLogger, GeneralSwitchGatesBothSfpSwitches)
{
    store.SetValue(COM_ANLYS_LOG_ENABLE, 0);
    logger->LogSfpRemoved();
    EXPECT_FALSE(logger->StatusLogging());
    EXPECT_FALSE(logger->PacketLogging());
    store.SetValue(COM_ANLYS_LOG_SFP_PACKET_ENABLE, 0);
    store.SetValue(COM_ANLYS_LOG_ENABLE, 1);
    EXPECT_TRUE(logger->StatusLogging());
    EXPECT_FALSE(logger->PacketLogging());
    EXPECT_TRUE(debug->Contains("\nSFP status=1\n"));
    logger->LogSfpRemoved();
    logger->LogModuleActionDone();
    EXPECT_EQ(Events(), (Texts{"E 289", "i 291"}));
}

TEST_F(SfpLogger, SupplyAndTemperatureExcursionsAndReturns)
{
    Tick(37000, 25);   // over
    Tick(37100, 25);   // still over: once
    Tick(33000, 90);   // back; too hot
    Tick(29000, 80);   // under; cooled
    Tick(29500, 80);   // still under: once
    Tick(33000, 80);   // back
    EXPECT_EQ(Events(), (Texts{"W 293 3.70V Over Threshold=3.60V", "W 296 90.00C Over Threshold=85.00C", "i 294 3.30V",
                               "i 297 80.00C Under Threshold=85.00C", "W 295 2.90V Under Threshold=3.00V",
                               "i 294 3.30V"}));
    Tick(33000, -40);
    EXPECT_FALSE(SFPLogger::IsTemperatureOver()) << "-40 C trips nothing";
    EXPECT_EQ(Events().size(), 6u);
}

// A jump across both alarms logs the alarm entered and the reading on leaving
// the other: from above the high alarm straight below the low one gives 295
// and then 294, and back up gives 293 and then 294.
TEST_F(SfpLogger, SupplyJumpingAcrossBothAlarmsLogsTheAlarmAndTheReturn)
{
    Tick(37000, 25);
    Tick(29000, 25);
    Tick(37000, 25);
    Tick(33000, 25);
    EXPECT_EQ(Events(), (Texts{"W 293 3.70V Over Threshold=3.60V", "W 295 2.90V Under Threshold=3.00V", "i 294 2.90V",
                               "W 293 3.70V Over Threshold=3.60V", "i 294 3.70V", "i 294 3.30V"}));
}

TEST_F(SfpLogger, PacketCountersEverySixtiethCall)
{
    TpCommand tx(COM_SFP_IP_ETHERNET_TX_PACKETS, kKeepsValueText), flow(COM_SFP_IP_TX_OR_RX_PACKETS, kKeepsValueText);
    TpCommand label(COM_SFP_IP_RX_OR_TX_PKT_LABEL, kKeepsText);
    label.SetTextAll("Tx Packets:");
    tx.SetTextAll("1234");
    flow.SetTextAll("7");
    logger->CheckPackets();
    tx.SetTextAll("abc");
    for (int i = 1; i < 60; ++i)
        logger->CheckPackets();
    flow.SetTextAll("8");
    logger->CheckPackets();
    EXPECT_EQ(Events(), (Texts{"i 299 1234 Packets", "i 300 7 Packets", "i 300 8 Packets"}));
}

TEST_F(SfpLogger, ReceivedCountersAndAFlowNotLabelledTx)
{
    store.SetText(COM_SFP_IP_RX_OR_TX_PKT_LABEL, "Rx Packets:");
    store.SetText(COM_SFP_IP_ETHERNET_RX_PACKETS, "55");
    store.SetText(COM_SFP_IP_TX_OR_RX_PACKETS, "9");
    logger->CheckPackets();
    EXPECT_EQ(Events(), (Texts{"i 298 55 Packets", "i 301 9 Packets"}));
}

// Each text of the flow's video standard is logged when it changes, in the
// order payload, bit rate, frame rate, format, scan mode, sample format,
// valid; only with status logging on.
TEST_F(SfpLogger, VideoStandardTextsAreLoggedAsTheyChange)
{
    const std::pair<unsigned, const char*> texts[] = {
        {2622, "89:CA:00:01"}, {2618, "3G"}, {2620, "50"}, {2621, "SMPTE274 1920x1080"},
        {2617, "50p"}, {2619, "422 YCbCr"}, {2616, "True"}};
    for (const auto& [id, text] : texts)
        store.SetText(id, text);
    logger->CheckStandardTexts();
    logger->CheckStandardTexts();
    store.SetText(2620, "59.94");
    logger->CheckStandardTexts();
    EXPECT_EQ(Events(), (Texts{"i 307 89:CA:00:01", "i 302 3G", "i 305 50", "i 306 SMPTE274 1920x1080", "i 303 50p",
                               "i 304 422 YCbCr", "i 308 True", "i 305 59.94"}));
    store.SetValue(COM_ANLYS_LOG_SFP_STATUS_ENABLE, 0);
    store.SetText(2616, "False");
    logger->CheckStandardTexts();
    EXPECT_EQ(Events().size(), 8u);
}

// IGMP counts, status and addresses (octet 4 first) as they change.
TEST_F(SfpLogger, IgmpChangesAreLoggedCountsFirst)
{
    const std::pair<unsigned, int> values[] = {{2629, 3}, {2630, 2}, {2632, 1}, {2633, 0}, {2634, 0}, {2635, 224},
                                               {2665, 7}, {2666, 1}, {2667, 168}, {2668, 192}};
    for (const auto& [id, value] : values)
        store.SetValue(id, value);
    store.SetText(2631, "Joined");
    logger->CheckIgmp();
    logger->CheckIgmp();
    store.SetValue(2630, 3);
    logger->CheckIgmp();
    EXPECT_EQ(Events(), (Texts{"i 310 3", "i 309 2", "i 311 Joined", "i 312 192.168.1.7", "i 313 224.0.0.1",
                               "i 309 3"}));
}

TEST_F(SfpLogger, ModuleEventsCarryTheirTexts)
{
    logger->LogSfpEvent("Error Reading SFP data");
    logger->LogModuleAction("emsfp_2110.bin");
    EXPECT_EQ(Events(), (Texts{"i 288 Error Reading SFP data", "i 290 emsfp_2110.bin"}));
}

TEST_F(SfpLogger, ParameterChangeLogsTheAddressOfItsGroup)
{
    // Each address from its first command (byte 1, least significant): destination 192.168.0.1 at 2583, source
    // 9.9.9.9 at 2579, MAC 01..06 in the low bytes at 2587, management address 192.168.1.10 at 2562, mask
    // 255.255.255.0 at 2566, gateway 192.168.1.1 at 2570.
    std::vector<std::unique_ptr<TpCommand>> values;
    const std::pair<unsigned, std::vector<int>> addresses[] = {
        {2583, {1, 0, 168, 192}}, {2579, {9, 9, 9, 9}},   {2587, {0x101, 0x102, 0x103, 0x104, 0x105, 0x106}},
        {2562, {10, 1, 168, 192}}, {2566, {0, 255, 255, 255}}, {2570, {1, 1, 168, 192}}};
    for (const auto& [first, octets] : addresses)
        for (size_t i = 0; i < octets.size(); ++i) {
            values.push_back(std::make_unique<TpCommand>(static_cast<int>(first + i), kKeepsValue));
            values.back()->SetValue(octets[i]);
        }
    TpCommand ssrc(0, kKeepsText);
    ssrc.SetText("77");
    logger->LogParameterChange(values[0].get(), "Dest IP byte1", 0, kSfpGroupFlowDestIp, 0);
    logger->LogParameterChange(values[8].get(), "MAC", 1, kSfpGroupFlowMac, 0);
    logger->LogParameterChange(&ssrc, "SSRC", 0, kSfpGroupNone, 1);
    logger->LogParameterChange(&ssrc, "", 0, kSfpGroupFlowDestIp, 1);
    for (uint32_t group : {kSfpGroupFlowSrcIp, kSfpGroupMgmtIp, kSfpGroupMgmtGateway, kSfpGroupMgmtMask})
        logger->LogParameterChange(&ssrc, "x", 1, group, 0);
    EXPECT_EQ(Events(), (Texts{"i 292 Dest IP byte1=1", "i 315 192.168.0.1", "i 292 MAC", "i 316 06.05.04.03.02.01",
                               "i 292 SSRC=77", "i 292 x", "i 314 9.9.9.9", "i 292 x", "i 317 192.168.1.10",
                               "i 292 x", "i 318 192.168.1.1", "i 292 x", "i 319 255.255.255.0"}));
}

TEST_F(SfpLogger, DestructorFreesEveryCommandItMade)
{
    logger.reset();
    EXPECT_EQ(store.GetCmd(COM_SYS_INFO_CENTIGRADE), nullptr);
    EXPECT_EQ(store.GetCmd(COM_ANLYS_LOG_SFP_STATUS_ENABLE), nullptr);
    EXPECT_EQ(SFPLogger::Instance(), nullptr);
}

} // namespace
