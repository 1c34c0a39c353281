#include "BoardReset.h"

#include "AesChannelStatus.h"
#include "DolbyBoard.h"
#include "FrameStore.h"
#include "NetBoard.h"
#include "PowerControl.h"
#include "SfpBoard.h"
#include "VideoFormat.h"

#include "sim/SimReset.h"

void BoardReset()
{
    SimReset();
    frame_store_reset();
    power_reset();
    sfp_reset();
    aes_crc_init();
    SetSimInputStandard(-1);
    dolby_board_reset();
    SetNetHost(nullptr);
}
