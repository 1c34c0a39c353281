#include "TpButtonPress.h"

#include "core/store/TpStore.h"

TpButtonPress::TpButtonPress(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpChildCmd(parent, cmdId, valueKind)
{
}

int32_t TpButtonPress::SetValue(int32_t value)
{
    TpCommand::SetValue(value);
    if (value == 0)
        return 0;
    // The parent may delete this button while it is told of the press.
    TpCommandRef self(this);
    const uint16_t id = CmdId();
    TpStore* store = Store();
    Report(kReasonValue);
    if (store != nullptr && TpStore::Instance() == store)
        store->SetValue(id, 0);
    else if (TpCommand* me = self.Get())
        me->TpCommand::SetValue(0);
    return 0;
}
