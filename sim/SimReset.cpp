#include "SimReset.h"

#include "BoardDevices.h"
#include "EmSfpSimFlags.h"
#include "KeyMailbox.h"
#include "LcdFrame.h"

void SimReset()
{
    SimLcdFrame().Reset();
    SimKeyMailbox().Reset();
    SimEmSfpFlags().Reset();
    ResetBoardDevices();
}
