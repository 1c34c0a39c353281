#include "SfpModuleTable.h"

#include <algorithm>
#include <cstring>

namespace {

// Short names, indexed by SfpType.
constexpr const char* kTypeNames[kSfpTypeCount] = {
    "",
    "optio",
    "optin",
    "opt2in",
    "optout",
    "opt2out",
    "sdiio",
    "sdi2in",
    "sdi2out",
    "cvbsio",
    "cvbs2in",
    "cvbs2out",
    "hdmiin",
    "hdmiout",
    "ipin",
    "ipout",
};

struct KnownModule {
    uint8_t id;
    uint8_t extId;
    uint8_t connector;
    const char* partNumber;
    SfpType type;
    uint8_t isHiSlew;
    uint8_t isMsa;
};

// Connector 0x07 is LC, 0x81-0x83 vendor codes.
// id, extId, connector, part number, type, high slew, MSA
constexpr KnownModule kKnownModules[] = {
    {0x85, 0x04, 0x07, "GO2929-31CM", SfpType::OptIo, 0, 0},
    {0x82, 0x04, 0x07, "GO2927-CM", SfpType::Opt2In, 0, 0},
    {0x81, 0x04, 0x07, "GO2928-3131CM", SfpType::Opt2Out, 0, 0},
    {0x03, 0x04, 0x07, "GO2929-31DM", SfpType::OptIo, 0, 1},
    {0x82, 0x04, 0x07, "GO2929-31DM", SfpType::OptIo, 0, 1},
    {0x8C, 0x04, 0x81, "EB30CS2R-AN", SfpType::Cvbs2In, 0, 0},
    {0x8D, 0x04, 0x81, "EB30CS2T-AN", SfpType::Cvbs2Out, 0, 0},
    {0x89, 0x04, 0x81, "EB30CSRT-AN", SfpType::CvbsIo, 0, 0},
    {0x85, 0x04, 0x81, "EB30CSRT-LN", SfpType::CvbsIo, 1, 0},
    {0x85, 0x04, 0x81, "EB30CSRT-LNR", SfpType::CvbsIo, 0, 0},
    {0x8C, 0x04, 0x82, "EB30HD2R-AN", SfpType::Cvbs2In, 0, 0},
    {0x82, 0x04, 0x82, "EB30HD2R-LN", SfpType::Sdi2In, 0, 0},
    {0x82, 0x04, 0x82, "EB30HD2R-MN", SfpType::Sdi2In, 0, 0},
    {0x8D, 0x04, 0x82, "EB30HD2T-AN", SfpType::Cvbs2Out, 0, 0},
    {0x81, 0x04, 0x82, "EB30HD2T-LNR", SfpType::Sdi2Out, 0, 0},
    {0x85, 0x04, 0x82, "EB30HDRT-LN", SfpType::SdiIo, 1, 0},
    {0x80, 0x04, 0x82, "EB30HDRT-LM", SfpType::SdiIo, 1, 1},
    {0x93, 0x04, 0x83, "EB34TD1R-SN", SfpType::HdmiIn, 0, 0},
    {0x92, 0x04, 0x83, "EB34TD1R-SM", SfpType::HdmiIn, 0, 1},
    {0x91, 0x04, 0x83, "EB34TD1T-SN", SfpType::HdmiOut, 0, 0},
    {0x90, 0x04, 0x83, "EB34TD1T-SM", SfpType::HdmiOut, 0, 1},
    {0x82, 0x04, 0x07, "EOLS-1330-10-D", SfpType::OptIo, 0, 1},
    {0x82, 0x04, 0x07, "EOLS-1330-35-D", SfpType::OptIo, 0, 1},
    {0x82, 0x04, 0x07, "EOLS-1530-50-D", SfpType::OptIo, 0, 1},
    {0x85, 0x04, 0x07, "EOLS-1530-50-DN", SfpType::OptIo, 0, 1},
    {0x03, 0x04, 0x07, "SFP1310-SM-SR-3G", SfpType::OptIo, 0, 1},
    {0xC1, 0x04, 0x07, "EB22LC2B-SN", SfpType::IpOut, 1, 0},
    {0x00, 0x00, 0x00, "EB22LC2B-SN", SfpType::IpOut, 1, 0},
};

} // namespace

const char* SfpTypeName(SfpType type)
{
    const auto code = static_cast<uint32_t>(type);
    return kTypeNames[code < kSfpTypeCount ? code : 0];
}

void LoadBuiltInSfpTable(std::vector<SfpRecord>& table)
{
    table.clear();
    for (const KnownModule& m : kKnownModules) {
        SfpRecord r{m.id, m.extId, m.connector, {}, m.type, m.isHiSlew, m.isMsa};
        std::memset(r.partNumber, ' ', kSfpPartNumberLength);
        std::memcpy(r.partNumber, m.partNumber, std::min<size_t>(std::strlen(m.partNumber), kSfpPartNumberLength));
        r.partNumber[kSfpPartNumberLength] = '\0';
        table.push_back(r);
    }
}
