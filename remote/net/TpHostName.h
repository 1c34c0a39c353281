// The host name text of the network page. Unlike other children, a change of
// its text is not reported to the page.
#pragma once

#include "core/store/TpChildCmd.h"

class TpHostName : public TpChildCmd {
public:
    TpHostName(TpCommand* parent, uint16_t cmdId);
    void SetText(const std::string& text) override;
};
