// The instrument's colours (0x00RRGGBB), named once for every page: texts
// and backgrounds of commands, items and widgets.
#pragma once

#include <cstdint>

namespace Colour {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;          // errors, values out of range
constexpr uint32_t kOrange = 0xFF7F00;       // edited, not yet applied
constexpr uint32_t kGrey = 0xAFAFAF;         // inactive texts
constexpr uint32_t kDarkGrey = 0x7F7F7F;     // disabled controls
constexpr uint32_t kDarkGreen = 0x004000;    // a line off its ideal, still within its limits
constexpr uint32_t kListBlue = 0x5A92CD;     // list backgrounds, borders, titles
constexpr uint32_t kDialogBlue = 0x18284A;   // dialog backgrounds
constexpr uint32_t kAmber = 0xFFB000;        // the input focus

} // namespace Colour
