// Bytes read from the module for any parameter row, on any menu tab and view,
// shown by the IP pages: a short or odd read never reads past what was read.
#include "core/store/TpStore.h"
#include "ipsfp/manager/IpSfpManager.h"
#include "ipsfp/pages/IpValueDisplay.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Input: row index (2 bytes), tab, flow and PTP selectors, then the bytes read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TpStore store;
    static IpSfpManager manager;
    static IpValueDisplay display(manager.PageParts());
    if (size < 5)
        return 0;
    SfpParamRow* row = SfpParamTable::Instance().Row((static_cast<size_t>(data[0]) << 8 | data[1]) % SfpParamTable::kRowCount);
    manager.Flows().TakeMenuTab(data[2] % 8);
    if ((data[2] >> 7) != 0)
        manager.Flows().TakeModule(false, 0);   // the IP features on from then
    store.SetValue(COM_SFP_IP_FLOW_SEL, data[3] & 1);
    store.SetValue(COM_SFP_IP_PTP_SEL, data[3] >> 1 & 1);
    display.Texts().ShowAudioCell(data[3] % 8, data[4] % 16, data[4], (data[3] & 4) != 0, (data[3] & 8) != 0);
    // Only what was read, in a buffer of exactly that size.
    const std::vector<uint8_t> bytes(data + 5, data + size);
    display.DisplayParameterValue(*row, bytes.data(), bytes.size(), !bytes.empty() && bytes[0] != 0);
    return 0;
}
