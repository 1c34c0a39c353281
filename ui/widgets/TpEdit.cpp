#include "TpEdit.h"

TpEdit::TpEdit(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
}

void TpEdit::SetRange(int32_t min, int32_t max)
{
    min_ = min <= max ? min : max;
    max_ = min <= max ? max : min;
}

bool TpEdit::Step(int direction)
{
    if (!StoresValue() || direction == 0)
        return false;
    const int64_t v = GetValue();
    int64_t next = v + (direction > 0 ? step_ : -static_cast<int64_t>(step_));
    if (next < min_)
        next = min_;
    if (next > max_)
        next = max_;
    if (next == v)
        return true;   // at the end of the range: the key is taken, nothing changes
    SetValueAll(static_cast<int32_t>(next));
    return true;
}
