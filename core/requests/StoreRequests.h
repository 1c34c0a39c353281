// Remote store requests (StoreType): the operation on the command of the
// request's id and the reply the client gets. Runs on the application thread.
#pragma once

#include "core/threads/MessageQueue.h"
#include "core/protocol/RemoteProtocol.h"
#include "core/threads/RemoteReplySlot.h"

#include <cstddef>
#include <cstdint>

class TpStore;

constexpr size_t kReplyTextMax = 1499;   // longest text in a reply
constexpr int kReplyListMax = 375;       // most values in a list reply
// Most items a client may give one command's list; a further add is refused,
// so requests cannot grow a list without bound.
constexpr int kClientItemsMax = 1024;

// Writes the 20-byte reply header and payload for request into reply (room
// for kReplyBufferSize bytes) and returns the reply's length. The request's
// payload is NUL-terminated at its length first.
size_t AnswerStoreRequest(AppMessage& request, TpStore& store, uint8_t* reply);

// A bare reply: header only, with the request's command id and item.
size_t MakeHeaderReply(const RemoteMsgHeader& request, uint16_t type, uint32_t value, uint8_t* reply);
