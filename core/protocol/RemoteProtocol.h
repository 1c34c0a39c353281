// The numbers of the remote-control protocol and of the application queue,
// named once. Requests, replies and queue messages share the header of
// RemoteMsgHeader.h; on the queue its first word is the origin, not the magic.
#pragma once

#include <cstdint>

// The header's type field of a request or of a queue message.
namespace MsgType {
constexpr uint16_t kUpdate = 2;        // queue only: one tick of the periodic tasks (0 to 2 are refused on the wire)
constexpr uint16_t kConsole = 3;       // a console line in the payload
constexpr uint16_t kKey = 4;           // a key code or a KeySub sub-code in the value
constexpr uint16_t kStoreFirst = 5;    // store requests (StoreType), answered by the application
constexpr uint16_t kStoreLast = 55;
constexpr uint16_t kScreenFirst = 56;  // from here up: the LCD image
} // namespace MsgType

// Store requests: the operation on the command of the request's id.
namespace StoreType {
constexpr uint16_t kSetValue = 5;
constexpr uint16_t kSetText = 6;
constexpr uint16_t kSetEnabled = 7;
constexpr uint16_t kSetVisible = 8;
constexpr uint16_t kSetColour = 9;
constexpr uint16_t kClearItems = 10;
constexpr uint16_t kAddItemValue = 11;
constexpr uint16_t kSetItemText = 12;
constexpr uint16_t kSetItemValue = 13;
constexpr uint16_t kSetItemValueText = 14;
constexpr uint16_t kSetItemEnabled = 15;
constexpr uint16_t kGetText = 20;
constexpr uint16_t kGetValue = 21;
constexpr uint16_t kGetColour = 22;
constexpr uint16_t kGetItemCount = 23;
constexpr uint16_t kGetItemValue = 24;
constexpr uint16_t kGetItemText = 25;
constexpr uint16_t kCheckItem = 26;
constexpr uint16_t kGetItemEnabled = 27;
constexpr uint16_t kGetItemValues = 28;
constexpr uint16_t kGetItemsText = 29;
constexpr uint16_t kGetColumnCount = 41;
constexpr uint16_t kGetRowCount = 44;
constexpr uint16_t kGetItemColour = 50;
constexpr uint16_t kGetEnabled = 52;
constexpr uint16_t kGetVisible = 54;
} // namespace StoreType

// The header's type field of a reply.
namespace ReplyType {
constexpr uint16_t kOk = 0;          // a set, a key or a console line
constexpr uint16_t kError = 1;       // the value is a ResultWord
constexpr uint16_t kScreen = 0x39;   // the LCD image follows; the item is its size
// A read answers with a type of its own: the reads 20 to 29 with their type
// + 10, the reads 41 to 54 with their type + 1.
constexpr uint16_t OfRead(uint16_t read)
{
    return static_cast<uint16_t>(read <= StoreType::kGetItemsText ? read + 10 : read + 1);
}
constexpr uint16_t kText = OfRead(StoreType::kGetText);
constexpr uint16_t kValue = OfRead(StoreType::kGetValue);
constexpr uint16_t kColour = OfRead(StoreType::kGetColour);
constexpr uint16_t kItemCount = OfRead(StoreType::kGetItemCount);
constexpr uint16_t kItemValue = OfRead(StoreType::kGetItemValue);
constexpr uint16_t kItemText = OfRead(StoreType::kGetItemText);
constexpr uint16_t kItemChecked = OfRead(StoreType::kCheckItem);
constexpr uint16_t kItemEnabled = OfRead(StoreType::kGetItemEnabled);
constexpr uint16_t kItemValues = OfRead(StoreType::kGetItemValues);
constexpr uint16_t kItemsText = OfRead(StoreType::kGetItemsText);
constexpr uint16_t kColumnCount = OfRead(StoreType::kGetColumnCount);
constexpr uint16_t kRowCount = OfRead(StoreType::kGetRowCount);
constexpr uint16_t kItemColour = OfRead(StoreType::kGetItemColour);
constexpr uint16_t kEnabled = OfRead(StoreType::kGetEnabled);
constexpr uint16_t kVisible = OfRead(StoreType::kGetVisible);
} // namespace ReplyType

// The value of a reply of type ReplyType::kError.
namespace ResultWord {
constexpr uint32_t kRefused = 0xFFFFFFFFu;     // type not accepted, or the request could not be carried out
constexpr uint32_t kNoCommand = 0xFFFFFFFEu;   // no command with that id
constexpr uint32_t kBadItem = 0xFFFFFFFCu;     // item index not below the item count
constexpr uint32_t kDisabled = 0xFFFFFFFBu;    // remote control is disabled
} // namespace ResultWord

// Values of a MsgType::kKey request that are no key code.
namespace KeySub {
constexpr uint32_t kLcdImage = 0x32;    // the LCD image, no key pressed
constexpr uint32_t kEventPage = 0x33;   // one page of the event log
constexpr uint32_t kStatusXml = 0x34;   // the status XML: also the key release that has it written
// A key message with this command id carries no key.
constexpr uint16_t kNoKeyCmdId = 50;
} // namespace KeySub

// The first word of a queue message: who posted it.
namespace Origin {
constexpr uint32_t kLocal = 0;     // the instrument itself; no reply
constexpr uint32_t kRemote = 1;    // a client's request, answered to its connection
// A read the remote-control server makes for its own web pages: answered like
// a remote request, whether or not remote control is enabled.
constexpr uint32_t kWebPage = 2;
} // namespace Origin
