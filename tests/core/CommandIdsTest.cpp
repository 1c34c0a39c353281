// The command-id header is read two ways: by the compiler (the macros the
// code uses) and as text (by tools that take every "#define NAME VALUE" line).
// Both views have to agree and describe a usable id space.
#include "KrZuApi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Define {
    std::string name;
    long value = 0;
    int line = 0;
};

std::string HeaderPath() { return std::string(ZU_RESOURCES_DIR) + "/KrZuApi.h"; }

// Every line holding "#define" followed by a name and a decimal value, in
// file order. A define without a value (the include guard) is skipped.
std::vector<Define> ReadDefines() {
    std::vector<Define> defines;
    std::ifstream in(HeaderPath());
    std::string text;
    int lineNo = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        const auto at = text.find("#define");
        if (at == std::string::npos) continue;
        std::istringstream fields(text.substr(at + 7));
        Define d;
        std::string value;
        if (!(fields >> d.name >> value)) continue;
        size_t used = 0;
        try {
            d.value = std::stol(value, &used, 10);
        } catch (...) {
            used = 0;
        }
        // A value that is not a plain decimal number is kept as -1 so that
        // the range check reports it by name.
        if (used != value.size()) d.value = -1;
        d.line = lineNo;
        defines.push_back(d);
    }
    return defines;
}

std::map<std::string, long> ByName(const std::vector<Define>& defines) {
    std::map<std::string, long> byName;
    for (const auto& d : defines) byName.emplace(d.name, d.value);
    return byName;
}

// Ids that other parts of the system rely on by number (key lock, the No
// button rewrite, the event-log list, the tab selectors and so on).
const std::vector<std::pair<std::string, long>>& Anchors() {
    static const std::vector<std::pair<std::string, long>> anchors = {
        {"COM_MAIN_TAB_SELECT", 2},
        {"COM_STATUS_TAB_SELECT", 5},
        {"COM_AUDIO_TAB_SELECT", 8},
        {"COM_GEN1_OUT_ENABLE", 10},
        {"COM_GEN_AUDIO_SOURCE_G1_P1_L", 145},
        {"COM_METER_GP4_P2_R", 335},
        {"COM_NETWORK_DHCP", 340},
        {"COM_REMOTE_DISABLE_KEYBOARD", 364},
        {"COM_REMOTE_CONNECTIONS", 374},
        {"COM_ANLYS_LOG_VIEW", 400},
        {"COM_ANLYS_LOG_ENABLE", 403},
        {"COM_SPKR_MUTE", 542},
        {"COM_ANLYS_INP_SEL", 573},
        {"COM_SCRIPTS_STOP_ON_ERROR", 1003},
        {"COM_CHECK_NO", 1042},
        {"COM_SCRIPTS_PROMPT_TEXT", 1717},
        {"COM_GEN_DOLBY_TYPE", 2001},
        {"COM_SFP_IP_DEST_UDP_PORT", 2561},
        {"COM_SFP_IP_SSRC_EDITBOX", 2695},
        {"COM_SFP_TAB_SELECT", 2720},
    };
    return anchors;
}

}  // namespace

TEST(CommandIds, HeaderIsReadableAndHoldsTheWholeSet) {
    std::ifstream in(HeaderPath());
    ASSERT_TRUE(in.good()) << "cannot open " << HeaderPath();
    const auto defines = ReadDefines();
    EXPECT_GT(defines.size(), 300u);
    for (const auto& d : defines)
        EXPECT_EQ(d.name.rfind("COM_", 0), 0u) << "line " << d.line << ": " << d.name;
}

TEST(CommandIds, NamesAndValuesAreUnique) {
    const auto defines = ReadDefines();
    std::map<std::string, int> firstLineOfName;
    std::map<long, std::string> ownerOfValue;
    for (const auto& d : defines) {
        const auto name = firstLineOfName.emplace(d.name, d.line);
        EXPECT_TRUE(name.second) << d.name << " defined on lines " << name.first->second
                                 << " and " << d.line;
        const auto value = ownerOfValue.emplace(d.value, d.name);
        EXPECT_TRUE(value.second) << d.value << " is used by " << value.first->second
                                  << " and " << d.name;
    }
}

TEST(CommandIds, ValuesFitTheWireFieldAndAreSorted) {
    const auto defines = ReadDefines();
    long previous = 0;
    for (const auto& d : defines) {
        // Ids travel as u16; 0 means "not in the store" and is never a command.
        EXPECT_GE(d.value, 1) << d.name;
        EXPECT_LE(d.value, 65535) << d.name;
        EXPECT_GT(d.value, previous) << d.name << " is out of order on line " << d.line;
        previous = d.value;
    }
}

TEST(CommandIds, KnownIdsAsText) {
    const auto byName = ByName(ReadDefines());
    for (const auto& [name, value] : Anchors()) {
        const auto it = byName.find(name);
        ASSERT_NE(it, byName.end()) << name << " is missing";
        EXPECT_EQ(it->second, value) << name;
    }
}

TEST(CommandIds, MacrosAgreeWithText) {
    const std::map<std::string, long> compiled = {
        {"COM_MAIN_TAB_SELECT", COM_MAIN_TAB_SELECT},
        {"COM_STATUS_TAB_SELECT", COM_STATUS_TAB_SELECT},
        {"COM_AUDIO_TAB_SELECT", COM_AUDIO_TAB_SELECT},
        {"COM_GEN1_OUT_ENABLE", COM_GEN1_OUT_ENABLE},
        {"COM_GEN_AUDIO_SOURCE_G1_P1_L", COM_GEN_AUDIO_SOURCE_G1_P1_L},
        {"COM_METER_GP4_P2_R", COM_METER_GP4_P2_R},
        {"COM_NETWORK_DHCP", COM_NETWORK_DHCP},
        {"COM_REMOTE_DISABLE_KEYBOARD", COM_REMOTE_DISABLE_KEYBOARD},
        {"COM_REMOTE_CONNECTIONS", COM_REMOTE_CONNECTIONS},
        {"COM_ANLYS_LOG_VIEW", COM_ANLYS_LOG_VIEW},
        {"COM_ANLYS_LOG_ENABLE", COM_ANLYS_LOG_ENABLE},
        {"COM_SPKR_MUTE", COM_SPKR_MUTE},
        {"COM_ANLYS_INP_SEL", COM_ANLYS_INP_SEL},
        {"COM_SCRIPTS_STOP_ON_ERROR", COM_SCRIPTS_STOP_ON_ERROR},
        {"COM_CHECK_NO", COM_CHECK_NO},
        {"COM_SCRIPTS_PROMPT_TEXT", COM_SCRIPTS_PROMPT_TEXT},
        {"COM_GEN_DOLBY_TYPE", COM_GEN_DOLBY_TYPE},
        {"COM_SFP_IP_DEST_UDP_PORT", COM_SFP_IP_DEST_UDP_PORT},
        {"COM_SFP_IP_SSRC_EDITBOX", COM_SFP_IP_SSRC_EDITBOX},
        {"COM_SFP_TAB_SELECT", COM_SFP_TAB_SELECT},
    };
    for (const auto& [name, value] : Anchors()) {
        const auto it = compiled.find(name);
        ASSERT_NE(it, compiled.end()) << name;
        EXPECT_EQ(it->second, value) << name;
    }
    // The macros are usable where a u16 command id is expected.
    constexpr uint16_t keyLock = COM_REMOTE_DISABLE_KEYBOARD;
    static_assert(keyLock == 364, "key lock id");
    static_assert(COM_CHECK_NO == 1042, "No-button id");
}
