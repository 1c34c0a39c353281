#include "TpValListCmd.h"

#include "core/store/TpStore.h"

TpValListCmd::TpValListCmd(TpCommand* parent, uint16_t cmdId)
    : TpChildCmd(parent, cmdId, kKeepsValue)
{
    SetListFlag(true);
    TpStore* store = Store();
    TpCommand* head = store != nullptr ? store->GetCmd(cmdId) : nullptr;
    if (head != nullptr && head != this)
        items_ = head->Items();
}

void TpValListCmd::SetItemEnabled(int item, bool enabled)
{
    if (item < 0 || item >= GetItemCount())
        return;
    TpCommand::SetItemEnabled(item, enabled);
    const int count = GetItemCount();
    const int selected = GetValue();
    int wanted = selected;
    if (!enabled && item == selected) {
        wanted = -1;
        for (int i = selected + 1; i < count && wanted < 0; ++i)
            if (GetItemEnabled(i))
                wanted = i;
        for (int i = selected - 1; i >= 0 && wanted < 0; --i)
            if (GetItemEnabled(i))
                wanted = i;
    } else if (enabled && (selected < 0 || selected >= count || !GetItemEnabled(selected))) {
        wanted = item;
    }
    if (wanted != selected)
        SetValueAll(wanted);
}
