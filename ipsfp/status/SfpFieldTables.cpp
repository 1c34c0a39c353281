#include "SfpFieldTables.h"

namespace {

constexpr uint8_t A0 = kSfpIdentityDevice;
constexpr uint8_t A2 = kSfpDiagnosticsDevice;

// The rows of the type tables: every reading is two bytes at 0xA2 and shown
// on every tick; the type text and the blanks are shown once.
constexpr SfpFieldDesc Type(const char* text) { return {"SFP Type", kSfpFixed, 0, 0, 0, 1, text, 0, 0}; }
constexpr SfpFieldDesc Blank() { return {"", kSfpFixed, 0, 0, 0, 1, nullptr, 0, 0}; }
constexpr SfpFieldDesc Power(const char* label, uint8_t reg) { return {label, kSfpFloat, A2, reg, 2, 0, "%.4fmW", 10000, 0}; }
constexpr SfpFieldDesc Dbm(const char* label, uint8_t reg) { return {label, kSfpDbm, A2, reg, 2, 0, "%.3fdBm", 0, 0}; }
constexpr SfpFieldDesc Temp(const char* label, uint8_t reg) { return {label, kSfpTemp, A2, reg, 2, 0, "%.2f C", 128, 256}; }
constexpr SfpFieldDesc Supply(const char* label, uint8_t reg) { return {label, kSfpFloat, A2, reg, 2, 0, "%.2f V", 10000, 0}; }
constexpr SfpFieldDesc Status(const char* label, uint8_t reg) { return {label, kSfpHex, A2, reg, 1, 0, "%.2xh", 0, 0}; }

constexpr SfpFieldDesc kUnknown[] = {Type("UNKNOWN")};
constexpr SfpFieldDesc kOptIo[] = {Type("OPT Tx+Rx"), Power("Tx Power", 102), Power("Rx Power", 104), Temp("Temp", 96), Dbm("Tx Power", 102), Dbm("Rx Power", 104)};
constexpr SfpFieldDesc kOptIn[] = {Type("OPT Rx"), Power("Rx Power", 104), Blank(), Temp("Temp", 96), Dbm("Rx Power", 104)};
constexpr SfpFieldDesc kOpt2In[] = {Type("OPT 2xRx"), Power("Rx Power-1", 104), Blank(), Temp("Temp", 96), Dbm("Rx Power-1", 104)};
constexpr SfpFieldDesc kOptOut[] = {Type("OPT Tx"), Power("Tx Power", 102), Blank(), Temp("Temp", 96), Dbm("Tx Power", 102)};
constexpr SfpFieldDesc kOpt2Out[] = {Type("OPT 2xTx"), Power("Tx Power-1", 102), Blank(), Temp("Temp", 96), Dbm("Tx Power-1", 102)};
constexpr SfpFieldDesc kSdiIo[] = {Type("SDI Tx+Rx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kSdi2In[] = {Type("SDI 2xRx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kSdi2Out[] = {Type("SDI 2xTx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kCvbsIo[] = {Type("CVBS Tx+Rx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kCvbs2In[] = {Type("CVBS 2xRx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kCvbs2Out[] = {Type("CVBS 2xTx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kHdmiIn[] = {Type("HDMI Rx"), Blank(), Blank(), Temp("Temp", 96), Status("HDMI Stat-1", 128), Status("HDMI Stat-2", 129), Status("VIC_Code", 130), Status("HDMI InStat", 166), Status("Audio Chans", 203), Status("Spkr loc.", 204), Status("DnMix/Level", 205)};
constexpr SfpFieldDesc kHdmiOut[] = {Type("HDMI Tx"), Blank(), Blank(), Temp("Temp", 96)};
constexpr SfpFieldDesc kIpIn[] = {Type("IP Rx"), Power("Tx Power", 102), Power("Rx Power", 104), Temp("Temp", 96), Dbm("Tx Power", 102), Dbm("Rx Power", 104), Temp("Tmp Hi Alm", 0), Supply("Vcc", 98), Supply("Vcc Hi Alm", 8), Supply("Vcc Lo Alm", 10)};
constexpr SfpFieldDesc kIpOut[] = {Type("IP Tx"), Power("Tx Power", 102), Power("Rx Power", 104), Temp("Temp", 96), Dbm("Tx Power", 102), Dbm("Rx Power", 104), Temp("Tmp Hi Alm", 0), Supply("Vcc", 98), Supply("Vcc Hi Alm", 8), Supply("Vcc Lo Alm", 10)};

// Indexed by SfpType.
constexpr std::span<const SfpFieldDesc> kTypeTables[kSfpTypeCount] = {
    kUnknown, kOptIo, kOptIn, kOpt2In, kOptOut, kOpt2Out, kSdiIo, kSdi2In,
    kSdi2Out, kCvbsIo, kCvbs2In, kCvbs2Out, kHdmiIn, kHdmiOut, kIpIn, kIpOut,
};

// The identity page at 0xA0, shown once after identification.
// label, kind, device, register, count, static, format, p2, p3
constexpr SfpFieldDesc kCommon[] = {
    {"ID", kSfpHex, A0, 0, 1, 1, "%.2xh", 0, 0},
    {"Ext.ID", kSfpHex, A0, 1, 1, 1, "%.2xh", 0, 0},
    {"Connector", kSfpHex, A0, 2, 1, 1, "%.2xh", 0, 0},
    {"StdsCompl", kSfpHex, A0, 3, 1, 1, "%.2xh", 0, 0},
    {"TxRxCod-1", kSfpHex, A0, 4, 4, 1, "%.8xh", 0, 0},
    {"TxRxCod-2", kSfpHex, A0, 8, 4, 1, "%.8xh", 0, 0},
    {"Encoding", kSfpHex, A0, 11, 1, 1, "%.2xh", 0, 0},
    {"NomBitRate", kSfpDec, A0, 12, 1, 1, "%dMbs", 100, 0},
    {"Len 9um", kSfpDec, A0, 14, 2, 1, "%dm", 100, 10},
    {"Len 50um", kSfpDec, A0, 16, 1, 1, "%dm", 10, 0},
    {"Len 62.5um", kSfpDec, A0, 17, 1, 1, "%dm", 10, 0},
    {"Len Copper", kSfpDec, A0, 18, 1, 1, "%dm", 1, 0},
    {"Vendor", kSfpAscii, A0, 20, 16, 1, nullptr, 0, 0},
    {"Vendor OUI", kSfpHex, A0, 37, 3, 1, "%.2xh", 0, 0},
    {"Part Code", kSfpAscii, A0, 40, 16, 1, nullptr, 0, 0},
    {"Vendor Rev", kSfpAscii, A0, 56, 4, 1, nullptr, 0, 0},
    {"Wavelength", kSfpDec, A0, 60, 2, 1, "%d", 1, 256},
    {"CC Base", kSfpChecksum, A0, 63, 1, 1, "%.2xh", 0, 62},
    {"Options", kSfpHex, A0, 64, 2, 1, "%.2xh", 0, 0},
    {"UprBitRate", kSfpDec, A0, 66, 1, 1, "%d%%", 1, 0},
    {"LwrBitRate", kSfpDec, A0, 67, 1, 1, "%d%%", 1, 0},
    {"SerialNo", kSfpAscii, A0, 68, 16, 1, nullptr, 0, 0},
    {"MfgDateCod", kSfpAscii, A0, 84, 6, 1, nullptr, 0, 0},
    {"CC Ext", kSfpChecksum, A0, 95, 1, 1, "%.2xh", 64, 94},
    {"", kSfpFixed, 0, 0, 0, 1, nullptr, 0, 0},
    {"", kSfpFixed, 0, 0, 0, 1, nullptr, 0, 0},
    {"", kSfpFixed, 0, 0, 0, 1, nullptr, 0, 0},
    {"Res-13", kSfpHex, A0, 13, 1, 1, "%.2xh", 0, 0},
    {"Res-19", kSfpHex, A0, 19, 1, 1, "%.2xh", 0, 0},
    {"Res-36", kSfpHex, A0, 36, 1, 1, "%.2xh", 0, 0},
    {"Res-62", kSfpHex, A0, 62, 1, 1, "%.2xh", 0, 0},
    {"Res-92-94", kSfpHex, A0, 92, 4, 1, "%.2xh", 0, 0},
};

} // namespace

std::span<const SfpFieldDesc> SfpTypeFieldTable(SfpType type)
{
    const auto code = static_cast<uint32_t>(type);
    return kTypeTables[code < kSfpTypeCount ? code : 0];
}

std::span<const SfpFieldDesc> SfpCommonFieldTable() { return kCommon; }
