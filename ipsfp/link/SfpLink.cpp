#include "SfpLink.h"

#include "board/SfpBoard.h"
#include "platform/DebugOut.h"

namespace {
SfpProtocolState gProtocol;
} // namespace

SfpProtocolState& SfpProtocol() { return gProtocol; }

void PollSfpStatus()
{
    uint8_t status = 0;
    // A status that could not be read tells nothing, like an invalid one.
    if (sfp_read_byte(kSfpStatusRegister, &status) == 0)
        return;
    gProtocol.lastStatus = status;
    if (!IsValidSfpStatus(status))
        return;
    if (gProtocol.pageLoadPending != 0)
        gProtocol.pageLoadPending = (status & kSfpStatusPageLoaded) != 0 ? 0 : 1;
    if (gProtocol.pageLoadPending != 0)
        return;
    if (gProtocol.writePending != 0)
        gProtocol.writePending = (status & kSfpStatusWriteDone) != 0 ? 0 : 1;
}

bool WriteByte(uint8_t page, uint8_t reg, uint8_t value)
{
    if (gProtocol.pageSelected == 0)
        DebugPrintf("ERROR WriteByte requested on page 0x%02X before page selected. Addr=0x%02X\n", page, reg);
    if (sfp_write_byte(reg, value) == 0)
        return false;
    gProtocol.writePending = 1;
    return true;
}

bool RequestPage(uint8_t page)
{
    if (gProtocol.pageLoadPending != 0) {
        DebugPrintf("ERROR SFP request for page %d (0x%02X) while page load already pending\n", page, page);
        return false;
    }
    if (gProtocol.writePending != 0) {
        DebugPrintf("ERROR SFP request for page %d (0x%02X) while write pending\n", page, page);
        return false;
    }
    // The request stays recorded even when the select write fails: every
    // later request is then refused until the state is reset.
    gProtocol.pageSelected = 1;
    gProtocol.pageLoadPending = 1;
    gProtocol.selectedPage = page;
    return sfp_write_byte(kSfpPageRegister, page) != 0;
}

void ResetSfpProtocolState(uint8_t flag)
{
    if (gProtocol.pageSelected == flag)
        return;
    gProtocol = SfpProtocolState {};
    gProtocol.pageSelected = flag;
}

void ClearSfpProtocolState() { gProtocol = SfpProtocolState {}; }
