#include "StoreRequests.h"

#include "TpCommand.h"
#include "TpStore.h"
#include "platform/DebugOut.h"

#include <cstring>
#include <string>

namespace {

size_t WriteReply(const RemoteMsgHeader& request, uint16_t type, uint32_t item, uint32_t value,
                  const void* payload, size_t length, uint8_t* reply)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = type;
    h.cmdId = request.cmdId;
    h.length = static_cast<uint16_t>(length);
    h.item = item;
    h.value = value;
    h.Encode(reply);
    if (length > 0) {
        // Payload replies are written into a whole reply buffer; the text in
        // it is followed by a NUL, which is not sent.
        std::memcpy(reply + kRemoteHeaderSize, payload, length);
        if (kRemoteHeaderSize + length < kReplyBufferSize)
            reply[kRemoteHeaderSize + length] = 0;
    }
    return kRemoteHeaderSize + length;
}

size_t TextReply(const RemoteMsgHeader& request, uint16_t type, uint32_t item, uint32_t value,
                 const std::string& text, uint8_t* reply)
{
    size_t length = text.size();
    if (length > kReplyTextMax) {
        DebugPrintf("Text too large (%d) limited to %d\n", static_cast<int>(length),
                    static_cast<int>(kReplyTextMax + 1));
        length = kReplyTextMax;
    }
    return WriteReply(request, type, item, value, text.data(), length, reply);
}

bool NeedsItemCheck(uint16_t type)
{
    switch (type) {
    case 12: case 13: case 14: case 15: case 24: case 25: case 26: case 27: case 50:
        return true;
    default:
        return false;
    }
}

// Reply types without an operation that name a reply type: a client sent a
// reply type as a request.
bool IsReplyType(uint16_t type)
{
    switch (type) {
    case 30: case 31: case 32: case 34: case 35: case 36: case 37: case 38: case 51: case 53: case 55:
        return true;
    default:
        return false;
    }
}

} // namespace

size_t MakeHeaderReply(const RemoteMsgHeader& request, uint16_t type, uint32_t value, uint8_t* reply)
{
    return WriteReply(request, type, request.item, value, nullptr, 0, reply);
}

size_t AnswerStoreRequest(AppMessage& request, TpStore& store, uint8_t* reply)
{
    const RemoteMsgHeader& h = request.header;
    size_t textLength = h.length < request.payloadSize ? h.length : request.payloadSize;
    request.payload[textLength] = 0;
    const std::string text(reinterpret_cast<const char*>(request.payload));

    TpCommand* cmd = store.GetCmd(h.cmdId);
    if (cmd == nullptr)
        return MakeHeaderReply(h, kReplyError, kResultNoCommand, reply);
    if (NeedsItemCheck(h.type) && h.item >= static_cast<uint32_t>(cmd->GetItemCount()))
        return MakeHeaderReply(h, kReplyError, kResultBadItem, reply);

    DebugChatty("Rx CommandID=%d Item=%d\n", h.cmdId, static_cast<int>(h.item));
    const int item = static_cast<int>(h.item);
    const int32_t value = static_cast<int32_t>(h.value);
    size_t length = 0;
    switch (h.type) {
    case 5:
        length = MakeHeaderReply(h, kReplyOk, static_cast<uint32_t>(store.SetValue(h.cmdId, value)), reply);
        break;
    case 6:
        store.SetText(h.cmdId, text);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 7:
        store.SetEnabled(h.cmdId, h.value != 0);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 8:
        store.SetVisible(h.cmdId, h.value != 0);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 9:
        store.SetColour(h.cmdId, h.value);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 10:
        store.ClearItems(h.cmdId);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 11:
        store.AddItemValue(h.cmdId, value);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 12:
        store.SetItemText(h.cmdId, item, text);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 13:
        store.SetItemValue(h.cmdId, item, value);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 14:
        store.SetItemValue(h.cmdId, item, value);
        store.SetItemText(h.cmdId, item, text);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 15:
        store.SetItemEnabled(h.cmdId, item, h.value != 0);
        length = MakeHeaderReply(h, kReplyOk, 0, reply);
        break;
    case 20:
        length = TextReply(h, 30, h.item, 0, cmd->GetText(), reply);
        break;
    case 21:
        length = MakeHeaderReply(h, 31, static_cast<uint32_t>(cmd->GetValue()), reply);
        break;
    case 22:
        length = MakeHeaderReply(h, 32, cmd->GetColour(), reply);
        break;
    case 23:
        length = MakeHeaderReply(h, 33, static_cast<uint32_t>(cmd->GetItemCount()), reply);
        break;
    case 24:
        length = MakeHeaderReply(h, 34, static_cast<uint32_t>(cmd->GetItemValue(item)), reply);
        break;
    case 25:
        length = TextReply(h, 35, h.item, 0, cmd->GetItemText(item), reply);
        break;
    case 26:
        length = MakeHeaderReply(h, 36, 0, reply);
        break;
    case 27:
        length = MakeHeaderReply(h, 37, cmd->GetItemEnabled(item) ? 1 : 0, reply);
        break;
    case 28: {
        const int count = cmd->GetItemCount();
        if (count > kReplyListMax)
            return MakeHeaderReply(h, kReplyError, kResultRefused, reply);
        int32_t values[kReplyListMax];
        const int copied = cmd->GetItemValues(values, kReplyListMax);
        uint8_t payload[kReplyListMax * 4];
        for (int i = 0; i < copied; ++i)
            PutU32(payload + 4 * i, static_cast<uint32_t>(values[i]));
        length = WriteReply(h, 38, h.item, 0, payload, static_cast<size_t>(copied) * 4, reply);
        break;
    }
    case 29:
        length = TextReply(h, 39, static_cast<uint32_t>(cmd->GetEnabledItemCount()),
                           static_cast<uint32_t>(cmd->GetItemCount()), cmd->GetItemsText(), reply);
        break;
    case 41:
        length = MakeHeaderReply(h, 42, static_cast<uint32_t>(cmd->GetColumnCount()), reply);
        break;
    case 44:
        length = MakeHeaderReply(h, 45, static_cast<uint32_t>(cmd->GetRowCount()), reply);
        break;
    case 50:
        length = MakeHeaderReply(h, 51, cmd->GetColour(item), reply);
        break;
    case 52:
        length = MakeHeaderReply(h, 53, cmd->IsEnabled() ? 1 : 0, reply);
        break;
    case 54:
        length = MakeHeaderReply(h, 55, cmd->IsVisible() ? 1 : 0, reply);
        break;
    default:
        if (IsReplyType(h.type))
            DebugPrintf("ERROR: RetXXX (%u) CmdId=%u\n", static_cast<unsigned>(h.type),
                        static_cast<unsigned>(h.cmdId));
        return MakeHeaderReply(h, kReplyError, kResultRefused, reply);
    }

    RemoteMsgHeader sent;
    sent.Decode(reply, length);
    DebugChatty("Tx CommandID=%d len=%d\n", sent.cmdId, static_cast<int>(sent.length));
    if (sent.length > 0 && (sent.type == 30 || sent.type == 35 || sent.type == 39))
        DebugChatty("%s\n", reinterpret_cast<const char*>(reply + kRemoteHeaderSize));
    return length;
}
