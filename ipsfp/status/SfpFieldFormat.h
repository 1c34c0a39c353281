// The texts of the SFP status list: how the bytes of one field of the
// module's two-wire devices (0xA0 identity, 0xA2 diagnostics, SFF-8472 layout)
// become the value shown next to its label. Pure functions of the register
// bytes, so every rule can be checked and fuzzed without a bus or a list.
#pragma once

#include "core/store/Colours.h"

#include <cstdint>
#include <span>
#include <string>

// The module's two-wire devices.
constexpr uint8_t kSfpIdentityDevice = 0xA0;
constexpr uint8_t kSfpDiagnosticsDevice = 0xA2;

// Colours of the list: labels, values and failed or mismatching values.
constexpr uint32_t kSfpLabelColour = Colour::kBlack;
constexpr uint32_t kSfpListBackground = Colour::kListBlue;
constexpr uint32_t kSfpValueColour = Colour::kWhite;
constexpr uint32_t kSfpErrorColour = Colour::kRed;

// How a field turns its bytes into text. Kinds above kSfpCustomTime show the
// fixed text like kSfpFixed.
enum SfpFieldKind : uint32_t {
    kSfpFixed = 0,        // the fixed text
    kSfpDec = 1,          // bytes folded with base, times scale
    kSfpHex = 2,          // big-endian number
    kSfpChecksum = 3,     // stored check byte against the sum of a register range
    kSfpAscii = 4,        // the bytes as characters
    kSfpFloat = 5,        // big-endian number / divisor
    kSfpTemp = 6,         // signed big-endian number / divisor
    kSfpDbm = 7,          // power in 0.1 uW units as dBm
    kSfpCustomDate = 8,   // each byte as a number
    kSfpCustomTime = 9,   // each byte as a number
};

// One field of the list. p2 and p3 by kind: Dec scale and base, Float divisor,
// Temp offset and divisor, Checksum first and last register of the sum.
struct SfpFieldDesc {
    const char* label;    // "" for a blank field
    uint32_t kind;        // SfpFieldKind
    uint8_t device;
    uint8_t reg;          // first register
    uint8_t count;        // number of bytes
    uint8_t isStatic;     // 1: shown once after identification
    const char* format;   // fixed text or printf format; nullptr = none
    int32_t p2;
    int32_t p3;
};

struct SfpFieldText {
    std::string text;
    uint32_t colour = kSfpValueColour;   // 0: the value keeps its colours
    bool hasReading = false;             // Float and Temp kinds: reading below
    float reading = 0.0f;
};

// The value of a field from the device's register image as it was read.
// image[r] is register r; registers past the end of the image read as 0 and
// make the value red, as does readOk false (a failed read).
SfpFieldText FormatSfpField(const SfpFieldDesc& desc, std::span<const uint8_t> image, bool readOk);
