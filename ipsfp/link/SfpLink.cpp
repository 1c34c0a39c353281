#include "SfpLink.h"

#include "board/SfpBoard.h"
#include "platform/DebugOut.h"

namespace SfpLink {

namespace {
SfpLinkState gState;
} // namespace

SfpLinkState& State() { return gState; }

void Reset() { gState = SfpLinkState {}; }

void PollSfpStatus()
{
    SfpProtocolState& protocol = gState.protocol;
    uint8_t status = 0;
    // A status that could not be read tells nothing, like an invalid one.
    if (sfp_read_byte(kSfpStatusRegister, &status) == 0)
        return;
    protocol.lastStatus = status;
    if (!IsValidSfpStatus(status))
        return;
    if (protocol.pageLoadPending != 0)
        protocol.pageLoadPending = (status & kSfpStatusPageLoaded) != 0 ? 0 : 1;
    if (protocol.pageLoadPending != 0)
        return;
    if (protocol.writePending != 0)
        protocol.writePending = (status & kSfpStatusWriteDone) != 0 ? 0 : 1;
}

bool WriteByte(uint8_t page, uint8_t reg, uint8_t value)
{
    SfpProtocolState& protocol = gState.protocol;
    if (protocol.pageSelected == 0)
        DebugPrintf("ERROR WriteByte requested on page 0x%02X before page selected. Addr=0x%02X\n", page, reg);
    if (sfp_write_byte(reg, value) == 0)
        return false;
    protocol.writePending = 1;
    return true;
}

bool RequestPage(uint8_t page)
{
    SfpProtocolState& protocol = gState.protocol;
    if (protocol.pageLoadPending != 0) {
        DebugPrintf("ERROR SFP request for page %d (0x%02X) while page load already pending\n", page, page);
        return false;
    }
    if (protocol.writePending != 0) {
        DebugPrintf("ERROR SFP request for page %d (0x%02X) while write pending\n", page, page);
        return false;
    }
    // The request stays recorded even when the select write fails: every
    // later request is then refused until the state is reset.
    protocol.pageSelected = 1;
    protocol.pageLoadPending = 1;
    protocol.selectedPage = page;
    return sfp_write_byte(kSfpPageRegister, page) != 0;
}

void ResetSfpProtocolState(uint8_t flag)
{
    SfpProtocolState& protocol = gState.protocol;
    if (protocol.pageSelected == flag)
        return;
    protocol = SfpProtocolState {};
    protocol.pageSelected = flag;
}

void ClearPageLoadedFlags()
{
    for (SfpPageEntry& e : gState.pageTable) {
        if (e.page != 0)
            e.loaded = 0;
    }
}

} // namespace SfpLink
