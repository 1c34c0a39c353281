#include "app/AppTest.h"

#include "core/protocol/RemoteProtocol.h"
#include "sim/KeyMailbox.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/widgets/TpDialog.h"

void AppTest::SetUp()
{
    BoardTest::SetUp();
    app = std::make_unique<TpZuApplication>();
}

void AppTest::TearDown()
{
    app.reset();
    BoardTest::TearDown();
}

bool AppTest::Post(RemoteReplySlot& s, uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value,
                   const std::string& payload, uint32_t origin)
{
    RemoteMsgHeader h;
    h.magic = origin;
    h.type = type;
    h.cmdId = cmdId;
    h.length = static_cast<uint16_t>(payload.size());
    h.spare = s.BeginRequest();
    h.item = item;
    h.value = value;
    MessageQueue q;
    q.Open("/msgq");
    return q.Send(h, payload.data());
}

Reply AppTest::Collect(RemoteReplySlot& s)
{
    Reply r;
    if (!s.WaitReply(0))
        return r;
    r.answered = true;
    r.header.Decode(s.Data(), s.Length());
    r.payload.assign(s.Data() + kRemoteHeaderSize, s.Data() + s.Length());
    return r;
}

Reply AppTest::Request(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value, const std::string& payload)
{
    if (!Post(slot, type, cmdId, item, value, payload))
        return Reply();
    app->ProcessPending();
    return Collect(slot);
}

void AppTest::PressKey(uint16_t key, int times)
{
    for (int i = 0; i < times; ++i)
        EXPECT_TRUE(Request(MsgType::kKey, 1, 0, kKeyPressFlag | key).answered);
}

std::string AppTest::FocusedOnMain() const
{
    const TpDialog* main = app->Dialogs().Find("Main");
    const TKrObject* focused = main != nullptr ? main->FocusedControl() : nullptr;
    return focused != nullptr ? focused->Name() : std::string();
}
