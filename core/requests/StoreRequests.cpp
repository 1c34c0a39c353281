#include "StoreRequests.h"

#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <algorithm>
#include <cstring>
#include <iterator>
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

// What an operation works on: the request, its command and text, and the
// reply type of its row.
struct StoreCall {
    const RemoteMsgHeader& h;
    uint16_t replyType;
    TpStore& store;
    TpCommand& cmd;
    const std::string& text;

    int Item() const { return static_cast<int>(h.item); }
    int32_t Value() const { return static_cast<int32_t>(h.value); }
    // A header-only reply of the row's type.
    size_t Answer(uint32_t value, uint8_t* reply) const { return MakeHeaderReply(h, replyType, value, reply); }
};

size_t SetValue(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.store.SetValue(c.h.cmdId, c.Value())), reply);
}
size_t SetText(const StoreCall& c, uint8_t* reply)
{
    c.store.SetText(c.h.cmdId, c.text);
    return c.Answer(0, reply);
}
size_t SetEnabled(const StoreCall& c, uint8_t* reply)
{
    c.store.SetEnabled(c.h.cmdId, c.h.value != 0);
    return c.Answer(0, reply);
}
size_t SetVisible(const StoreCall& c, uint8_t* reply)
{
    c.store.SetVisible(c.h.cmdId, c.h.value != 0);
    return c.Answer(0, reply);
}
size_t SetColour(const StoreCall& c, uint8_t* reply)
{
    c.store.SetColour(c.h.cmdId, c.h.value);
    return c.Answer(0, reply);
}
size_t ClearItems(const StoreCall& c, uint8_t* reply)
{
    c.store.ClearItems(c.h.cmdId);
    return c.Answer(0, reply);
}
size_t AddItemValue(const StoreCall& c, uint8_t* reply)
{
    if (c.cmd.GetItemCount() >= kClientItemsMax)
        return MakeHeaderReply(c.h, ReplyType::kError, ResultWord::kRefused, reply);
    c.store.AddItemValue(c.h.cmdId, c.Value());
    return c.Answer(0, reply);
}
size_t SetItemText(const StoreCall& c, uint8_t* reply)
{
    c.store.SetItemText(c.h.cmdId, c.Item(), c.text);
    return c.Answer(0, reply);
}
size_t SetItemValue(const StoreCall& c, uint8_t* reply)
{
    c.store.SetItemValue(c.h.cmdId, c.Item(), c.Value());
    return c.Answer(0, reply);
}
size_t SetItemValueText(const StoreCall& c, uint8_t* reply)
{
    c.store.SetItemValue(c.h.cmdId, c.Item(), c.Value());
    c.store.SetItemText(c.h.cmdId, c.Item(), c.text);
    return c.Answer(0, reply);
}
size_t SetItemEnabled(const StoreCall& c, uint8_t* reply)
{
    c.store.SetItemEnabled(c.h.cmdId, c.Item(), c.h.value != 0);
    return c.Answer(0, reply);
}

size_t GetText(const StoreCall& c, uint8_t* reply)
{
    return TextReply(c.h, c.replyType, c.h.item, 0, c.cmd.GetText(), reply);
}
size_t GetValue(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.cmd.GetValue()), reply);
}
size_t GetColour(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(c.cmd.GetColour(), reply);
}
size_t GetItemCount(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.cmd.GetItemCount()), reply);
}
size_t GetItemValue(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.cmd.GetItemValue(c.Item())), reply);
}
size_t GetItemText(const StoreCall& c, uint8_t* reply)
{
    return TextReply(c.h, c.replyType, c.h.item, 0, c.cmd.GetItemText(c.Item()), reply);
}
size_t CheckItem(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(0, reply);
}
size_t GetItemEnabled(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(c.cmd.GetItemEnabled(c.Item()) ? 1 : 0, reply);
}
size_t GetItemValues(const StoreCall& c, uint8_t* reply)
{
    if (c.cmd.GetItemCount() > kReplyListMax)
        return MakeHeaderReply(c.h, ReplyType::kError, ResultWord::kRefused, reply);
    int32_t values[kReplyListMax];
    const int copied = c.cmd.GetItemValues(values, kReplyListMax);
    uint8_t payload[kReplyListMax * 4];
    for (int i = 0; i < copied; ++i)
        PutU32(payload + 4 * i, static_cast<uint32_t>(values[i]));
    return WriteReply(c.h, c.replyType, c.h.item, 0, payload, static_cast<size_t>(copied) * 4, reply);
}
size_t GetItemsText(const StoreCall& c, uint8_t* reply)
{
    // The item field carries the enabled items, the value all items.
    return TextReply(c.h, c.replyType, static_cast<uint32_t>(c.cmd.GetEnabledItemCount()),
                     static_cast<uint32_t>(c.cmd.GetItemCount()), c.cmd.GetItemsText(), reply);
}
size_t GetColumnCount(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.cmd.GetColumnCount()), reply);
}
size_t GetRowCount(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(static_cast<uint32_t>(c.cmd.GetRowCount()), reply);
}
size_t GetItemColour(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(c.cmd.GetColour(c.Item()), reply);
}
size_t GetEnabled(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(c.cmd.IsEnabled() ? 1 : 0, reply);
}
size_t GetVisible(const StoreCall& c, uint8_t* reply)
{
    return c.Answer(c.cmd.IsVisible() ? 1 : 0, reply);
}

struct StoreOperation {
    uint16_t type;
    uint16_t replyType;
    bool itemChecked;   // an item index not below the item count is refused first
    size_t (*run)(const StoreCall& call, uint8_t* reply);
};

// Every store request with an operation. Sets answer ReplyType::kOk, reads
// the reply type of ReplyType::OfRead; any other type is refused.
// request type                    reply type                item checked  operation
static constexpr StoreOperation kStoreOperations[] = {
    {StoreType::kSetValue,         ReplyType::kOk,           false,        SetValue},
    {StoreType::kSetText,          ReplyType::kOk,           false,        SetText},
    {StoreType::kSetEnabled,       ReplyType::kOk,           false,        SetEnabled},
    {StoreType::kSetVisible,       ReplyType::kOk,           false,        SetVisible},
    {StoreType::kSetColour,        ReplyType::kOk,           false,        SetColour},
    {StoreType::kClearItems,       ReplyType::kOk,           false,        ClearItems},
    {StoreType::kAddItemValue,     ReplyType::kOk,           false,        AddItemValue},
    {StoreType::kSetItemText,      ReplyType::kOk,           true,         SetItemText},
    {StoreType::kSetItemValue,     ReplyType::kOk,           true,         SetItemValue},
    {StoreType::kSetItemValueText, ReplyType::kOk,           true,         SetItemValueText},
    {StoreType::kSetItemEnabled,   ReplyType::kOk,           true,         SetItemEnabled},
    {StoreType::kGetText,          ReplyType::kText,         false,        GetText},
    {StoreType::kGetValue,         ReplyType::kValue,        false,        GetValue},
    {StoreType::kGetColour,        ReplyType::kColour,       false,        GetColour},
    {StoreType::kGetItemCount,     ReplyType::kItemCount,    false,        GetItemCount},
    {StoreType::kGetItemValue,     ReplyType::kItemValue,    true,         GetItemValue},
    {StoreType::kGetItemText,      ReplyType::kItemText,     true,         GetItemText},
    {StoreType::kCheckItem,        ReplyType::kItemChecked,  true,         CheckItem},
    {StoreType::kGetItemEnabled,   ReplyType::kItemEnabled,  true,         GetItemEnabled},
    {StoreType::kGetItemValues,    ReplyType::kItemValues,   false,        GetItemValues},
    {StoreType::kGetItemsText,     ReplyType::kItemsText,    false,        GetItemsText},
    {StoreType::kGetColumnCount,   ReplyType::kColumnCount,  false,        GetColumnCount},
    {StoreType::kGetRowCount,      ReplyType::kRowCount,     false,        GetRowCount},
    {StoreType::kGetItemColour,    ReplyType::kItemColour,   true,         GetItemColour},
    {StoreType::kGetEnabled,       ReplyType::kEnabled,      false,        GetEnabled},
    {StoreType::kGetVisible,       ReplyType::kVisible,      false,        GetVisible},
};

// The row of type; nullptr when the type has no operation.
const StoreOperation* FindStoreOperation(uint16_t type)
{
    for (const StoreOperation& row : kStoreOperations)
        if (row.type == type)
            return &row;
    return nullptr;
}

// Reply types a client sent as a request: refused with "ERROR: RetXXX" on
// the debug output.
constexpr uint16_t kRepliesSentAsRequests[] = {
    ReplyType::kText,      ReplyType::kValue,        ReplyType::kColour,       ReplyType::kItemValue,
    ReplyType::kItemText,  ReplyType::kItemChecked,  ReplyType::kItemEnabled,  ReplyType::kItemValues,
    ReplyType::kItemColour, ReplyType::kEnabled,     ReplyType::kVisible,
};

bool IsReplyType(uint16_t type)
{
    return std::find(std::begin(kRepliesSentAsRequests), std::end(kRepliesSentAsRequests), type) !=
           std::end(kRepliesSentAsRequests);
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
        return MakeHeaderReply(h, ReplyType::kError, ResultWord::kNoCommand, reply);
    const StoreOperation* operation = FindStoreOperation(h.type);
    if (operation != nullptr && operation->itemChecked && h.item >= static_cast<uint32_t>(cmd->GetItemCount()))
        return MakeHeaderReply(h, ReplyType::kError, ResultWord::kBadItem, reply);

    DebugChatty("Rx CommandID=%d Item=%d\n", h.cmdId, static_cast<int>(h.item));
    if (operation == nullptr) {
        if (IsReplyType(h.type))
            DebugPrintf("ERROR: RetXXX (%u) CmdId=%u\n", static_cast<unsigned>(h.type),
                        static_cast<unsigned>(h.cmdId));
        return MakeHeaderReply(h, ReplyType::kError, ResultWord::kRefused, reply);
    }
    const size_t length = operation->run(StoreCall{h, operation->replyType, store, *cmd, text}, reply);

    RemoteMsgHeader sent;
    sent.Decode(reply, length);
    if (sent.type == ReplyType::kError)
        return length;   // an operation that refused itself
    DebugChatty("Tx CommandID=%d len=%d\n", sent.cmdId, static_cast<int>(sent.length));
    if (sent.length > 0 &&
        (sent.type == ReplyType::kText || sent.type == ReplyType::kItemText || sent.type == ReplyType::kItemsText))
        DebugChatty("%s\n", reinterpret_cast<const char*>(reply + kRemoteHeaderSize));
    return length;
}
