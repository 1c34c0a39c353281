// The layout of the SFP status list: per module type the fields of items 0 to
// 25 (type, live readings), and the identity fields common to every module
// from item 26 on.
#pragma once

#include "SfpFieldFormat.h"
#include "SfpModuleTable.h"

#include <span>

constexpr uint32_t kSfpCommonFirstItem = 26;

// The type's fields; the unknown-module table for a code out of range.
std::span<const SfpFieldDesc> SfpTypeFieldTable(SfpType type);
std::span<const SfpFieldDesc> SfpCommonFieldTable();
