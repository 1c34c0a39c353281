#include "SfpPageTable.h"

namespace {

constexpr SfpPageList kStartPages {{
    {ProgramPg, "ProgramPg", 0},
    {DecOutpg, "DecOutpg", 0},
    {EthPg, "EthPg", 0},
    {ContrPg, "ContrPg", 0},
    {0, "", 0},
}};

SfpPageList gPages = kStartPages;

} // namespace

SfpPageList& SfpPageTable() { return gPages; }

void ClearPageLoadedFlags()
{
    for (SfpPageEntry& e : gPages) {
        if (e.page != 0)
            e.loaded = 0;
    }
}

void ResetSfpPageTable() { gPages = kStartPages; }
