// The SFP status list for given register images: texts and colours against
// the SFF-8472 definitions, failed reads and the readings the logger checks.
#include "SfpStatusTest.h"

#include "ipsfp/status/SfpFieldTables.h"

namespace {

using SfpStatusList = SfpStatusTest;

TEST_F(SfpStatusList, IpModuleShowsDiagnosticsInSff8472Units)
{
    // 25 C, 3.23 V, Tx 0.5 mW, Rx none; alarms 70 C, 3.5 V and 3.1 V.
    ShowModule(SfpType::IpOut, {.temperature = 0x1900, .vcc = 0x7E2C, .txPower = 0x1388, .rxPower = 0,
                                .tempHighAlarm = 70 * 256, .vccHighAlarm = 35000, .vccLowAlarm = 31000});
    EXPECT_EQ(Value("SFP Type"), "IP Tx");
    EXPECT_EQ(Value("Temp"), "25.00 C");
    EXPECT_EQ(Value("Vcc"), "3.23 V");
    EXPECT_EQ(Value("Tx Power"), "0.5000mW");
    EXPECT_EQ(Value("Tx Power", 1), "-3.010dBm");
    EXPECT_EQ(Value("Rx Power", 1), "inf dBm");
    EXPECT_EQ(Colour("Vcc"), kSfpValueColour);
    EXPECT_EQ(list.GetColour(list.FindItemText("Vcc")), kSfpLabelColour);
    EXPECT_EQ(list.GetItemText(2 * 13), "ID") << "identity rows start at item 26";
    const SfpReadings& r = SfpStatusReadings();
    EXPECT_FLOAT_EQ(r.supply, 3.23f);
    EXPECT_FLOAT_EQ(r.supplyHighAlarm, 3.5f);
    EXPECT_FLOAT_EQ(r.supplyLowAlarm, 3.1f);
    EXPECT_FLOAT_EQ(r.tempHighAlarm, 70.0f);
}

TEST_F(SfpStatusList, TemperaturesBelowZeroAreTwosComplement)
{
    ShowModule(SfpType::OptIo, {.temperature = static_cast<int16_t>(0xD800), .txPower = 1});
    EXPECT_EQ(Value("Temp"), "-40.00 C");
    EXPECT_FLOAT_EQ(SfpStatusReadings().temperature, -40.0f);
    EXPECT_EQ(Value("Tx Power", 1), "-40.000dBm");
    ShowModule(SfpType::OptIo, {.temperature = 0x7D00, .txPower = 0xFFFF});
    EXPECT_EQ(Value("Temp"), "125.00 C");
    EXPECT_EQ(Value("Tx Power", 1), "8.165dBm");
}

TEST_F(SfpStatusList, IdentityFieldsAndCheckBytes)
{
    SfpIdentity id;
    id.transceiver[4] = 1;   // byte 7
    id.bitRate = 13;
    id.lengthKm = 2;
    id.length100m = 5;
    id.length50um = 30;
    id.lengthCopper = 7;
    id.vendorName = "ACME";
    id.partNumber = "EB22LC2B-SN";
    id.wavelength = 1310;
    ShowModule(SfpType::None, {}, id);
    EXPECT_EQ(Value("SFP Type"), "UNKNOWN");
    EXPECT_EQ(Value("TxRxCod-1"), "00000001h");
    EXPECT_EQ(Value("NomBitRate"), "1300Mbs");
    EXPECT_EQ(Value("Len 9um"), "2500m");
    EXPECT_EQ(Value("Len 50um"), "300m");
    EXPECT_EQ(Value("Len Copper"), "7m");
    EXPECT_EQ(Value("Wavelength"), "1310");
    EXPECT_EQ(Value("Vendor"), "ACME            ");
    EXPECT_EQ(Colour("CC Base"), kSfpValueColour);
    EXPECT_EQ(Colour("CC Ext"), kSfpValueColour);

    // A corrupt identity byte, and a part-number byte that does not read.
    FakeTwoWireBus::Image a0 = MakeA0hImage(id);
    a0[12] = 14;
    bus.SetA0(a0);
    bus.FailReadOf(kSfpIdentityDevice, 41);
    for (auto& f : fields)
        f->Show();
    EXPECT_EQ(Colour("CC Base"), kSfpErrorColour);
    EXPECT_EQ(Colour("CC Ext"), kSfpValueColour);
    EXPECT_EQ(Value("Part Code"), "E?22LC2B-SN     ");
    EXPECT_EQ(Colour("Part Code"), kSfpErrorColour);
}

TEST_F(SfpStatusList, FailedReadShowsZerosInRedAndKeepsTheReading)
{
    ShowModule(SfpType::IpIn, {.vcc = 0x7E2C});
    bus.FailReadOf(kSfpDiagnosticsDevice, 99);
    bus.SetA2(MakeA2hImage({.vcc = 0x80FF}));
    fields[ValueItem("Vcc") / 2]->Show();
    EXPECT_EQ(Value("Vcc"), "3.28 V");
    EXPECT_EQ(Colour("Vcc"), kSfpErrorColour);
    EXPECT_FLOAT_EQ(SfpStatusReadings().supply, 3.23f);
}

TEST_F(SfpStatusList, FixedTextKindsAndStoreTexts)
{
    TpCommand date(kSfpDateTextCmd, kKeepsText);
    const SfpFieldDesc rows[] = {{"Odd", 12, 0, 0, 0, 0, "as is", 0, 0}, {"Made", kSfpCustomDate, 0xA0, 0, 3, 1, nullptr, 0, 0}};
    EXPECT_EQ(BuildFieldList(&list, 40, rows, fields), 44u);
    for (auto& f : fields)
        f->Show();
    EXPECT_EQ(Value("Odd"), "as is");
    EXPECT_EQ(date.GetText(), "0 0 0 ");
}

TEST(SfpModuleTable, PartNumbersArePaddedToSixteen)
{
    std::vector<SfpRecord> table(3);
    LoadBuiltInSfpTable(table);
    EXPECT_STREQ(table[0].partNumber, "GO2929-31CM     ");
    EXPECT_EQ(table[kSfpIpModuleRecord].type, SfpType::IpOut);
    EXPECT_STREQ(SfpTypeName(table[kSfpIpModuleRecord].type), "ipout");
}

} // namespace
