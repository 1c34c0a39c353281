#include "TpConnectionThread.h"

#include "TpConnectionMonitor.h"

#include "KrZuApi.h"
#include "core/StoreRequests.h"
#include "core/TpLogger.h"
#include "platform/DebugOut.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdImageFiles.h"
#include "sim/TpTFTBitmap.h"
#include "ui/TpDialogList.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
// Type-4 sub-codes that are no key.
constexpr uint32_t kSubLcdImage = 0x32;
constexpr uint32_t kSubEventPage = 0x33;
constexpr uint32_t kSubStatusXml = 0x34;

constexpr uint16_t kTypeConsole = 3;
constexpr uint16_t kTypeKeyOrWeb = 4;
constexpr uint16_t kTypeSetValue = 5;
constexpr uint16_t kTypeStoreLast = 0x37;
} // namespace

TpConnectionThread::TpConnectionThread(TpConnectionMonitor& monitor, int slot)
    : TpThread("ConnectionThread"), monitor_(monitor), slot_(slot)
{
    msgq_.Open("/msgq", 1, 100, 1500);
    Start();
}

TpConnectionThread::~TpConnectionThread()
{
    Stop();
}

bool TpConnectionThread::Assign(Socket& client, uint32_t address)
{
    {
        std::lock_guard<std::mutex> lock(socketMutex_);
        if (inUse_.load())
            return false;
        client_ = std::move(client);
        address_.store(address);
        inUse_.store(true);
    }
    assigned_.Post();
    return true;
}

void TpConnectionThread::Disconnect()
{
    std::lock_guard<std::mutex> lock(socketMutex_);
    client_.Shutdown();
}

void TpConnectionThread::Release()
{
    {
        std::lock_guard<std::mutex> lock(socketMutex_);
        client_.Close();
        inUse_.store(false);
    }
    monitor_.FreeConnection(*this);
}

void TpConnectionThread::OnStopRequested()
{
    Disconnect();
    reply_.Shutdown();
    assigned_.Shutdown();
}

void TpConnectionThread::Run()
{
    while (!StopRequested()) {
        if (!inUse_.load()) {
            assigned_.Wait();
            continue;
        }
        // The client list is marked stale before the first request is read,
        // so a client that got a reply finds itself in the list after the
        // next "REMOTE" task.
        monitor_.ClientTaken(*this);
        Serve();
        Release();
    }
    std::lock_guard<std::mutex> lock(socketMutex_);
    client_.Close();
}

TpConnectionThread::ReadResult TpConnectionThread::ReadExact(uint8_t* buffer, size_t size)
{
    while (size > 0) {
        const long n = client_.Recv(buffer, size);
        if (n == 0)
            return ReadResult::kClosed;
        if (n < 0) {
            if (!StopRequested()) {
                DebugPrintf("recv(): %s\n", std::strerror(errno));
                DebugPrintf("RemCtrl: recv()\n");
            }
            return ReadResult::kFailed;
        }
        buffer += n;
        size -= static_cast<size_t>(n);
    }
    return ReadResult::kOk;
}

bool TpConnectionThread::Discard(size_t size)
{
    while (size > 0) {
        const size_t n = std::min(size, sizeof receive_ - kRemoteHeaderSize);
        if (ReadExact(receive_ + kRemoteHeaderSize, n) != ReadResult::kOk)
            return false;
        size -= n;
    }
    return true;
}

void TpConnectionThread::Serve()
{
    while (!StopRequested()) {
        if (ReadExact(receive_, kRemoteHeaderSize) != ReadResult::kOk)
            return;
        RemoteMsgHeader request;
        request.Decode(receive_, kRemoteHeaderSize);
        if (request.magic != kRemoteMagic) {
            // The payload, if any, is not read: its bytes are taken for the
            // next header.
            LogMessageValue(0, "Remote Control: MagicNo", static_cast<long>(request.magic));
            continue;
        }
        if (request.length > kPayloadMax) {
            // Longer than the receive buffer: read and dropped, so that the
            // connection stays in step.
            if (!Discard(request.length))
                return;
            SendHeader(kReplyError, request.cmdId, request.item, kResultRefused);
            continue;
        }
        if (request.length > 0 && ReadExact(receive_ + kRemoteHeaderSize, request.length) != ReadResult::kOk) {
            LogMessageValue(0, "Remote Control: Get text", request.length);
            return;
        }
        Dispatch(request);
    }
}

void TpConnectionThread::Dispatch(const RemoteMsgHeader& request)
{
    if (request.type < kTypeConsole)
        Reject(request);
    else if (request.type == kTypeConsole)
        PostConsoleLine(request);
    else if (request.type == kTypeKeyOrWeb)
        HandleKeyOrWeb(request);
    else if (request.type <= kTypeStoreLast)
        PostStoreRequest(request);
    else
        SendScreen(request);
}

void TpConnectionThread::Reject(const RemoteMsgHeader& request)
{
    LogMessageValue(0, "Remote Control: CommandType", request.type);
    SendHeader(kReplyError, request.cmdId, 0, kResultRefused);
}

void TpConnectionThread::PostConsoleLine(const RemoteMsgHeader& request)
{
    // The line runs later; the client is answered at once. A line the queue
    // refuses (too long, queue full) is answered as not accepted.
    if (!Post(request, kOriginLocal, 0)) {
        SendHeader(kReplyError, request.cmdId, request.item, kResultRefused);
        return;
    }
    SendHeader(kReplyOk, request.cmdId, 0, 0);
}

void TpConnectionThread::HandleKeyOrWeb(const RemoteMsgHeader& request)
{
    if (request.value == kSubEventPage || request.value == kSubStatusXml)
        AnswerWebRequest(request);
    else if (request.value == kSubLcdImage)
        SendKeyEnding(request);
    else
        PressKey(request);
}

void TpConnectionThread::AnswerWebRequest(const RemoteMsgHeader& request)
{
    // The event-log pages and the status XML request are not served yet: the
    // client is told so at once instead of waiting.
    SendHeader(kReplyError, request.cmdId, request.item, kResultRefused);
}

void TpConnectionThread::PressKey(const RemoteMsgHeader& request)
{
    if (!PostKey(static_cast<uint16_t>(request.value))) {
        SendHeader(kReplyError, request.cmdId, request.item, kResultRefused);
        return;
    }
    SendKeyEnding(request);
}

bool TpConnectionThread::PostKey(uint16_t code)
{
    // The press and the release go as plain key messages (no payload, no
    // command id); the client's command id and length only choose the reply.
    // The application answers once the press has been handled.
    RemoteMsgHeader key;
    key.magic = kOriginRemote;
    key.type = kTypeKeyOrWeb;
    key.spare = reply_.BeginRequest();
    key.value = code | kKeyPressFlag;
    if (!msgq_.Send(key, nullptr))
        return false;
    key.value = code & static_cast<uint16_t>(~kKeyPressFlag);
    msgq_.Send(key, nullptr);
    return reply_.WaitReply(kReplyTimeoutMs);
}

void TpConnectionThread::SendKeyEnding(const RemoteMsgHeader& request)
{
    if (request.cmdId != 0) {
        DebugChatty("Key message\n");
        SendHeader(kReplyOk, request.cmdId, 0, 0);
    } else if (request.length == 0) {
        SendLcdImage(client_);
    }
}

void TpConnectionThread::PostStoreRequest(const RemoteMsgHeader& request)
{
    if (!remoteEnabled_.load()) {
        LogMessage(0, "Rejected Remote Control: Disabled");
        SendHeader(kReplyError, request.cmdId, request.item, kResultDisabled);
        return;
    }
    if (request.type == kTypeSetValue && request.cmdId == COM_CHECK_NO && TopWindowClosesOnKey()) {
        // The No button while the top window closes on a key: menu key 8
        // answers it the way the instrument's own key would.
        const bool pressed = PostKey(kKeyMenu8);
        SendHeader(pressed ? kReplyOk : kReplyError, request.cmdId, request.item, pressed ? 0 : kResultRefused);
        return;
    }
    const uint16_t token = reply_.BeginRequest();
    if (!Post(request, kOriginRemote, token) || !reply_.WaitReply(kReplyTimeoutMs)) {
        SendHeader(kReplyError, request.cmdId, request.item, kResultRefused);
        return;
    }
    Send(reply_.Data(), reply_.Length());
}

void TpConnectionThread::SendScreen(const RemoteMsgHeader& request)
{
    if (SendHeader(kReplyScreen, request.cmdId, TpTFTBitmap::GetBmpSize(), 0))
        SendLcdImage(client_);
}

bool TpConnectionThread::Post(const RemoteMsgHeader& request, uint32_t origin, uint16_t token)
{
    RemoteMsgHeader h = request;
    h.magic = origin;
    h.spare = token;
    return msgq_.Send(h, receive_ + kRemoteHeaderSize);
}

bool TpConnectionThread::SendHeader(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = type;
    h.cmdId = cmdId;
    h.item = item;
    h.value = value;
    uint8_t bytes[kRemoteHeaderSize];
    h.Encode(bytes);
    return Send(bytes, sizeof bytes);
}

bool TpConnectionThread::Send(const void* data, size_t size)
{
    // A failed send is neither reported nor repeated: the next read ends the
    // connection.
    return client_.SendAll(data, size);
}
