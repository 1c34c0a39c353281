#include "TpConnectionThread.h"

#include "TpConnectionMonitor.h"
#include "TpRemoteCtrl.h"
#include "core/protocol/TpWebPages.h"

#include "KrZuApi.h"
#include "core/files/FileHelpers.h"
#include "core/requests/StoreRequests.h"
#include "core/log/TpLogger.h"
#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdImageFiles.h"
#include "sim/TpTFTBitmap.h"
#include "ui/dialogs/TpDialogList.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <functional>

namespace {
// The status file is asked for by one connection at a time: each removes the
// file before asking for a new one, which must not take away the file another
// one is about to name. A connection waiting for its turn gives it up as soon
// as its client goes or the thread stops, whoever holds the file meanwhile.
class StatusFileTurn {
public:
    // Waits for the turn; false, without it, once given up.
    bool Take(const std::function<bool()>& givenUp)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return !taken_ || givenUp(); });
        if (taken_ || givenUp())
            return false;
        taken_ = true;
        return true;
    }
    void Give()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            taken_ = false;
        }
        wake_.notify_all();
    }
    // The waiters look again whether they give up.
    void Wake()
    {
        { std::lock_guard<std::mutex> lock(mutex_); }
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool taken_ = false;
};

StatusFileTurn g_statusTurn;

// The event list as the event-log page reads it: one request to the
// application per count or entry.
class EventListRequests : public TpWebPages::EventSource {
public:
    using Read = std::function<bool(uint16_t type, uint32_t item, uint32_t& value, std::string& text)>;
    explicit EventListRequests(Read read) : read_(std::move(read)) {}

    bool Count(int& count) override
    {
        uint32_t value = 0;
        std::string text;
        if (!read_(StoreType::kGetItemCount, 0, value, text) || value > static_cast<uint32_t>(INT_MAX))
            return false;
        count = static_cast<int>(value);
        return true;
    }
    bool Entry(int index, std::string& text) override
    {
        uint32_t value = 0;
        return read_(StoreType::kGetItemText, static_cast<uint32_t>(index), value, text);
    }

private:
    Read read_;
};
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
    return Take(client, address, false);
}

bool TpConnectionThread::AssignOrKeep(Socket& client, uint32_t address)
{
    return Take(client, address, true);
}

bool TpConnectionThread::Take(Socket& client, uint32_t address, bool keepForEnding)
{
    {
        std::lock_guard<std::mutex> lock(socketMutex_);
        if (inUse_.load()) {
            if (!keepForEnding || !ending_.load() || (next_.IsValid() && !next_.PeerGone()))
                return false;
            // The thread is still ending the gone client's connection; it
            // takes this one up when it has (Release). A newcomer kept
            // before that went meanwhile gives way and is closed here.
            next_ = std::move(client);
            nextAddress_ = address;
            return true;
        }
        client_ = std::move(client);
        address_.store(address);
        ending_.store(false);
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

bool TpConnectionThread::EndIfClientGone()
{
    std::lock_guard<std::mutex> lock(socketMutex_);
    if (!inUse_.load() || ending_.load() || !client_.PeerGone())
        return false;
    // The shutdown fails a send under way and ends the next receive.
    ending_.store(true);
    client_.Shutdown();
    g_statusTurn.Wake();
    return true;
}

bool TpConnectionThread::GiveUpKept(Socket& client, uint32_t& address)
{
    std::lock_guard<std::mutex> lock(socketMutex_);
    if (!next_.IsValid() || next_.PeerGone())
        return false;
    client = std::move(next_);
    address = nextAddress_;
    return true;
}

void TpConnectionThread::Release()
{
    {
        std::lock_guard<std::mutex> lock(socketMutex_);
        client_.Close();
        if (next_.IsValid()) {
            // The slot stays in use: the thread goes on with the newcomer
            // kept for it.
            client_ = std::move(next_);
            address_.store(nextAddress_);
            ending_.store(false);
        } else {
            inUse_.store(false);
        }
    }
    monitor_.FreeConnection(*this);
}

void TpConnectionThread::OnStopRequested()
{
    Disconnect();
    reply_.Shutdown();
    assigned_.Shutdown();
    g_statusTurn.Wake();
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
    next_.Close();
}

long TpConnectionThread::ClientSource::Read(uint8_t* buffer, size_t size)
{
    if (owner_.ending_.load())
        return 0;
    const long n = owner_.client_.Recv(buffer, size);
    // Both lines in one write, so no other thread's output falls between
    // them.
    if (n < 0 && !owner_.StopRequested())
        DebugPrintf("recv(): %s\nRemCtrl: recv()\n", std::strerror(errno));
    return n;
}

void TpConnectionThread::Serve()
{
    using Frame = RemoteRequestReader::Frame;
    badHeaders_ = BadHeaderLog();
    reader_.Restart();
    while (!StopRequested()) {
        RemoteMsgHeader request;
        const Frame frame = reader_.Next(request);
        if (frame == Frame::kEnd)
            return;
        if (frame == Frame::kBadMagic) {
            LogBadHeader("Remote Control: MagicNo", static_cast<long>(request.magic));
            continue;
        }
        if (request.type >= MsgType::kConsole)
            badHeaders_.End();
        if (frame == Frame::kOversized) {
            SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
            continue;
        }
        if (frame == Frame::kShortPayload) {
            LogMessageValue(0, "Remote Control: Get text", request.length);
            return;
        }
        Dispatch(request);
    }
}

void TpConnectionThread::Dispatch(const RemoteMsgHeader& request)
{
    using Route = RemoteRequestReader::Route;
    switch (RemoteRequestReader::RouteOf(request)) {
    case Route::kReject: Reject(request); break;
    case Route::kConsole: PostConsoleLine(request); break;
    case Route::kKeyOrWeb: HandleKeyOrWeb(request); break;
    case Route::kStore: PostStoreRequest(request); break;
    case Route::kScreen: SendScreen(request); break;
    }
}

void TpConnectionThread::LogBadHeader(const char* text, long number)
{
    uint32_t dropped = 0;
    if (!badHeaders_.Note(CurrentClock().MonotonicMs(), dropped))
        return;
    if (dropped == 0)
        LogMessageValue(0, text, number);
    else
        LogMessage(0, std::string(text) + " " + std::to_string(number) + " (" + std::to_string(dropped) +
                          " more not logged)");
}

void TpConnectionThread::Reject(const RemoteMsgHeader& request)
{
    LogBadHeader("Remote Control: CommandType", request.type);
    SendHeader(ReplyType::kError, request.cmdId, 0, ResultWord::kRefused);
}

void TpConnectionThread::PostConsoleLine(const RemoteMsgHeader& request)
{
    // The line runs later; the client is answered at once. A line the queue
    // refuses (too long, queue full) is answered as not accepted.
    if (!Post(request, Origin::kLocal, 0)) {
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    SendHeader(ReplyType::kOk, request.cmdId, 0, 0);
}

void TpConnectionThread::HandleKeyOrWeb(const RemoteMsgHeader& request)
{
    if (request.value == KeySub::kEventPage)
        SendEventLogPage(request);
    else if (request.value == KeySub::kStatusXml)
        SendStatusXmlPath(request);
    else if (request.value == KeySub::kLcdImage)
        SendKeyEnding(request);
    else
        PressKey(request);
}

void TpConnectionThread::SendEventLogPage(const RemoteMsgHeader& request)
{
    // The page is built here, in this connection's own buffers; the entries
    // come from the application thread, which alone reads the store.
    const TpWebPages* web = monitor_.WebPages();
    if (web == nullptr) {
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    EventListRequests source([this](uint16_t type, uint32_t item, uint32_t& value, std::string& text) {
        return ReadEventList(type, item, value, text);
    });
    if (!web->SendEventLogPage(request, source,
                               [this](const std::string& piece) { return Send(piece.data(), piece.size()); }))
        LogMessage(0, "Couldn't reply to Web Server msg");
}

bool TpConnectionThread::ReadEventList(uint16_t type, uint32_t item, uint32_t& value, std::string& text)
{
    // A client that went is read no more of its page, so a newcomer kept for
    // the slot waits at most for the one read under way.
    if (ending_.load())
        return false;
    // Posted as the server's own read: answered whether or not remote
    // control is enabled.
    RemoteMsgHeader h;
    h.magic = Origin::kWebPage;
    h.type = type;
    h.cmdId = COM_ANLYS_LOG_VIEW;
    h.item = item;
    h.spare = reply_.BeginRequest();
    if (!msgq_.Send(h, nullptr) || !reply_.WaitReply(kReplyTimeoutMs))
        return false;
    RemoteMsgHeader answer;
    if (!answer.Decode(reply_.Data(), reply_.Length()) || answer.type != ReplyType::OfRead(type))
        return false;
    const size_t length = std::min<size_t>(answer.length, reply_.Length() - kRemoteHeaderSize);
    text.assign(reinterpret_cast<const char*>(reply_.Data()) + kRemoteHeaderSize, length);
    value = answer.value;
    return true;
}

void TpConnectionThread::SendStatusXmlPath(const RemoteMsgHeader& request)
{
    const TpWebPages* web = monitor_.WebPages();
    if (web == nullptr) {
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    // A client that went while other requests held the file is not worth a
    // new one, and a newcomer kept for its slot does not wait for theirs.
    if (!g_statusTurn.Take([this] { return ending_.load() || StopRequested(); }))
        return;
    struct GiveBack {
        ~GiveBack() { g_statusTurn.Give(); }
    } giveBack;
    const std::string path = Paths::MapInstrumentPath(web->StatusFile());
    // The file of an earlier request is not taken for this one's. The
    // application writes the file under a temporary name and renames it, so
    // once the release has been handled the file is there and complete, or
    // it was not written.
    DeleteFile(path);
    const bool written = FileExists(path) == 0 && PostKey(KeySub::kStatusXml, true) && FileExists(path) != 0;
    if (!written) {
        DebugPrintf("Status file not written: %s\n", path.c_str());
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    const std::string name = web->StatusFile();
    if (!Send(name.data(), name.size()))
        LogMessage(0, "Couldn't reply to Web Server msg");
}

void TpConnectionThread::PressKey(const RemoteMsgHeader& request)
{
    if (!PostKey(static_cast<uint16_t>(request.value))) {
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    SendKeyEnding(request);
}

bool TpConnectionThread::PostKey(uint16_t code, bool untilReleased)
{
    // The press and the release go as plain key messages (no payload, no
    // command id); the client's command id and length only choose the reply.
    // The application answers each key message once it has been handled;
    // only the one waited for carries this request's token.
    RemoteMsgHeader key;
    key.magic = Origin::kRemote;
    key.type = MsgType::kKey;
    const uint16_t token = reply_.BeginRequest();
    key.spare = untilReleased ? 0 : token;
    key.value = code | kKeyPressFlag;
    if (!msgq_.Send(key, nullptr))
        return false;
    key.spare = untilReleased ? token : 0;
    key.value = code & static_cast<uint16_t>(~kKeyPressFlag);
    if (!msgq_.Send(key, nullptr) && untilReleased)
        return false;
    return reply_.WaitReply(kReplyTimeoutMs);
}

void TpConnectionThread::SendKeyEnding(const RemoteMsgHeader& request)
{
    if (request.cmdId != 0) {
        DebugChatty("Key message\n");
        SendHeader(ReplyType::kOk, request.cmdId, 0, 0);
    } else if (request.length == 0) {
        SendLcdImage(client_);
    }
}

void TpConnectionThread::PostStoreRequest(const RemoteMsgHeader& request)
{
    if (!remoteEnabled_.load()) {
        LogMessage(0, "Rejected Remote Control: Disabled");
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kDisabled);
        return;
    }
    if (request.type == StoreType::kSetValue && request.cmdId == COM_CHECK_NO && TopWindowClosesOnKey()) {
        // The No button while the top window closes on a key: menu key 8
        // answers it the way the instrument's own key would.
        const bool pressed = PostKey(kKeyMenu8);
        SendHeader(pressed ? ReplyType::kOk : ReplyType::kError, request.cmdId, request.item, pressed ? 0 : ResultWord::kRefused);
        return;
    }
    const uint16_t token = reply_.BeginRequest();
    if (!Post(request, Origin::kRemote, token) || !reply_.WaitReply(kReplyTimeoutMs)) {
        SendHeader(ReplyType::kError, request.cmdId, request.item, ResultWord::kRefused);
        return;
    }
    Send(reply_.Data(), reply_.Length());
}

void TpConnectionThread::SendScreen(const RemoteMsgHeader& request)
{
    // The header goes out in one write with the image's first piece.
    uint8_t header[kRemoteHeaderSize];
    EncodeReplyHeader(ReplyType::kScreen, request.cmdId, TpTFTBitmap::GetBmpSize(), 0, header);
    SendLcdImage(client_, header, sizeof header);
}

bool TpConnectionThread::Post(const RemoteMsgHeader& request, uint32_t origin, uint16_t token)
{
    RemoteMsgHeader h = request;
    h.magic = origin;
    h.spare = token;
    return msgq_.Send(h, reader_.Payload());
}

void TpConnectionThread::EncodeReplyHeader(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value,
                                           uint8_t* bytes)
{
    RemoteMsgHeader h;
    h.magic = kRemoteMagic;
    h.type = type;
    h.cmdId = cmdId;
    h.item = item;
    h.value = value;
    h.Encode(bytes);
}

bool TpConnectionThread::SendHeader(uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value)
{
    uint8_t bytes[kRemoteHeaderSize];
    EncodeReplyHeader(type, cmdId, item, value, bytes);
    return Send(bytes, sizeof bytes);
}

bool TpConnectionThread::Send(const void* data, size_t size)
{
    // A failed send is neither reported nor repeated: the next read ends the
    // connection.
    return client_.SendAll(data, size);
}
