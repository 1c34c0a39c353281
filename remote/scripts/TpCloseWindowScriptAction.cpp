#include "TpCloseWindowScriptAction.h"

#include "core/protocol/RemoteProtocol.h"
#include "core/threads/MessageQueue.h"
#include "sim/KeyMailbox.h"
#include "ui/dialogs/TpDialogList.h"

TpCloseWindowScriptAction::TpCloseWindowScriptAction()
    : TpScriptAction("Close Window", "STR_CLOSING_WINDOW", Descriptor{324, 0, 324, 0, 0}, 0, 0, 0)
{
}

uint32_t TpCloseWindowScriptAction::StartAction(const ScriptStep& /*step*/)
{
    errorCount_ = 0;
    running_ = 0;
    const TpDialog* top = TopWindow();
    if (top != nullptr && top->ClosesOnKey()) {
        // Menu key 8, as the key-scan thread would post it; the window closes
        // itself when the key arrives.
        RemoteMsgHeader key;
        key.magic = Origin::kLocal;
        key.type = MsgType::kKey;
        key.value = kKeyPressFlag | kKeyMenu8;
        MessageQueue queue;
        if (queue.Open("/msgq", 1, 100, 1500))
            queue.Send(key, nullptr);
        queue.Close();
    }
    return 1;
}
