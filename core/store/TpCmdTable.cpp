#include "TpCmdTable.h"

#include "TpStore.h"

TpCmdTable::TpCmdTable(std::span<const uint16_t> ids) : ids_(ids.begin(), ids.end()), cmds_(ids.size())
{
}

int TpCmdTable::IndexOf(const TpCommand* cmd) const
{
    if (cmd == nullptr)
        return -1;
    for (size_t i = 0; i < cmds_.size(); ++i)
        if (cmds_[i].get() == cmd)
            return static_cast<int>(i);
    return -1;
}

const TpCommand* TpCmdTable::Shown(int i) const
{
    const TpStore* store = TpStore::Instance();
    const TpCommand* head = Id(i) != 0 && store != nullptr ? store->GetCmd(Id(i)) : nullptr;
    return head != nullptr ? head : Cmd(i);
}

int32_t TpCmdTable::Value(int i) const
{
    const TpCommand* cmd = Shown(i);
    return cmd != nullptr ? cmd->GetValue() : 0;
}

std::string TpCmdTable::Text(int i) const
{
    const TpCommand* cmd = Shown(i);
    return cmd != nullptr ? cmd->GetText() : std::string();
}

void TpCmdTable::SetValue(int i, int32_t value)
{
    if (TpCommand* cmd = Writable(i))
        cmd->SetValueAll(value);
}

void TpCmdTable::SetText(int i, const std::string& text)
{
    if (TpCommand* cmd = Writable(i))
        cmd->SetTextAll(text);
}

void TpCmdTable::SetVisible(int i, bool visible)
{
    if (TpCommand* cmd = Writable(i))
        cmd->SetVisibleAll(visible);
}

void TpCmdTable::SetEnabled(int i, bool enabled)
{
    if (TpCommand* cmd = Writable(i))
        cmd->SetEnabledAll(enabled);
}

void TpCmdTable::SetFocused(int i)
{
    if (TpCommand* cmd = Writable(i))
        cmd->SetFocusedAll(true);
}

void TpCmdTable::Clear()
{
    for (size_t i = cmds_.size(); i-- > 0;)
        cmds_[i].reset();
}
