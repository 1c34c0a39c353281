#include "EdidPage.h"

#include "EdidDecoder.h"

#include "board/SfpBoard.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "platform/Clock.h"

#include <array>
#include <string>
#include <vector>

namespace EdidPage {
namespace {

// Writes items from the first on; items beyond the list's count are left out.
void ShowItems(TpCommand& list, const std::vector<std::string>& items)
{
    const int count = list.GetItemCount();
    for (int i = 0; i < count && static_cast<size_t>(i) < items.size(); ++i)
        list.SetItemTextAll(i, items[static_cast<size_t>(i)]);
}

void Clear(TpCommand& list)
{
    const int count = list.GetItemCount();
    for (int i = 0; i < count; ++i)
        list.SetItemTextAll(i, std::string());
}

// Polls the status byte until the busy bit clears; a failed read counts as
// still busy. False when the limit passes first.
bool WaitForModule()
{
    const uint64_t start = CurrentClock().MonotonicMs();
    for (;;) {
        uint8_t status = 0;
        if (i2c_read_byte(kBlockDevice, kRequestRegister, &status) && (status & 0x01) == 0)
            return true;
        if (CurrentClock().MonotonicMs() - start > kWaitLimitMs)
            return false;
        ClockWait(kPollMs);
    }
}

bool ReadBlock(std::array<uint8_t, kEdidBlockSize>& block)
{
    for (unsigned i = 0; i < kEdidBlockSize; ++i) {
        if (!i2c_read_byte(kBlockDevice, static_cast<uint8_t>(kBlockFirstRegister + i), &block[i]))
            return false;
    }
    return true;
}

} // namespace

void ReadEdid(bool hexView)
{
    TpStore* store = TpStore::Instance();
    TpCommand* monitor = store != nullptr ? store->GetCmd(kMonitorListCmd) : nullptr;
    TpCommand* modes = store != nullptr ? store->GetCmd(kModesListCmd) : nullptr;
    if (monitor == nullptr || modes == nullptr)
        return;
    Clear(*monitor);
    Clear(*modes);

    i2c_write_byte(kRequestDevice, kRequestRegister, 1);
    std::array<uint8_t, kEdidBlockSize> block {};
    if (!WaitForModule() || !ReadBlock(block)) {
        ShowItems(*monitor, {kEdidReadFailedText});
        return;
    }
    const EdidLists lists = DecodeEdid(block, hexView);
    ShowItems(*monitor, lists.monitor);
    ShowItems(*modes, lists.modes);
}

} // namespace EdidPage
