#pragma once

#include "core/actions/TpScriptAction.h"

// "Close Window": closes the top window when it closes on menu key 8, by
// posting that key to the application queue.
class TpCloseWindowScriptAction : public TpScriptAction {
public:
    TpCloseWindowScriptAction();
    uint32_t StartAction(const ScriptStep& step) override;
};
