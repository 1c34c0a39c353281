#include "TpChildCmd.h"

TpChildCmd::TpChildCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpCommand(parent, cmdId, valueKind)
{
}

void TpChildCmd::Report(int reason)
{
    if (TpCommand* parent = Parent())
        parent->OnChildChanged(this, reason);
}

int32_t TpChildCmd::SetValue(int32_t value)
{
    const int32_t result = TpCommand::SetValue(value);
    if (ValueKind() == kKeepsValue || ValueKind() == kKeepsValueText)
        Report(kReasonValue);
    return result;
}

void TpChildCmd::SetText(const std::string& text)
{
    TpCommand::SetText(text);
    if (ValueKind() != kKeepsLocal)
        Report(kReasonText);
}

void TpChildCmd::SetEnabled(bool enabled)
{
    TpCommand::SetEnabled(enabled);
    Report(kReasonEnabled);
}

void TpChildCmd::SetVisible(bool visible)
{
    TpCommand::SetVisible(visible);
    Report(kReasonVisible);
}
