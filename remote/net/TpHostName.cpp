#include "TpHostName.h"

TpHostName::TpHostName(TpCommand* parent, uint16_t cmdId) : TpChildCmd(parent, cmdId, kKeepsText) {}

void TpHostName::SetText(const std::string& text)
{
    TpCommand::SetText(text);
}
