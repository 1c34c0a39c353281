#include "TpButton.h"

#include "TpDialog.h"

TpButton::TpButton(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
}

bool TpButton::Activate()
{
    SetValueAll(1);
    return true;
}

int32_t TpButton::SetValue(int32_t value)
{
    TKrObject::SetValue(value);
    if (value == 0 || Action() == kActionNone)
        return GetValue();
    TpDialog* window = Window();
    if (window != nullptr && window->IsOpen())
        window->RunAction(Action());
    // Released again in every view, so the next press is a change as well.
    SetValueAll(0);
    return GetValue();
}

std::string TpButton::ValueText() const
{
    const std::string label = GetText().empty() ? Caption() : GetText();
    return "[ " + label + " ]";
}
