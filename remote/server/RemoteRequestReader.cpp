#include "RemoteRequestReader.h"

#include "core/protocol/RemoteProtocol.h"

#include <algorithm>
#include <cstring>

RemoteRequestReader::ReadResult RemoteRequestReader::ReadExact(uint8_t* buffer, size_t size)
{
    while (size > 0) {
        const long n = source_.Read(buffer, size);
        if (n == 0)
            return ReadResult::kClosed;
        if (n < 0)
            return ReadResult::kFailed;
        buffer += n;
        size -= static_cast<size_t>(n);
    }
    return ReadResult::kOk;
}

bool RemoteRequestReader::Discard(size_t size)
{
    while (size > 0) {
        const size_t n = std::min(size, kPayloadMax);
        if (ReadExact(Payload(), n) != ReadResult::kOk)
            return false;
        size -= n;
    }
    return true;
}

void RemoteRequestReader::KeepFromMagic()
{
    uint8_t magic[4];
    PutU32(magic, kRemoteMagic);
    for (size_t at = 1; at < kRemoteHeaderSize; ++at) {
        const size_t n = std::min(sizeof magic, kRemoteHeaderSize - at);
        if (std::memcmp(buffer_ + at, magic, n) == 0) {
            carried_ = kRemoteHeaderSize - at;
            std::memmove(buffer_, buffer_ + at, carried_);
            return;
        }
    }
}

RemoteRequestReader::Frame RemoteRequestReader::Next(RemoteMsgHeader& request)
{
    const size_t carried = carried_;
    carried_ = 0;
    if (ReadExact(buffer_ + carried, kRemoteHeaderSize - carried) != ReadResult::kOk)
        return Frame::kEnd;
    request.Decode(buffer_, kRemoteHeaderSize);
    // Without the magic the payload, if any, is not read. Stray bytes put
    // the stream out of step, so the next header is looked for at the magic
    // word; junk without one is dropped a header's worth at a time.
    if (request.magic != kRemoteMagic) {
        KeepFromMagic();
        return Frame::kBadMagic;
    }
    if (request.length > kPayloadMax) {
        // Longer than the buffer: read and dropped, so that the stream stays
        // in step.
        return Discard(request.length) ? Frame::kOversized : Frame::kEnd;
    }
    if (request.length > 0 && ReadExact(Payload(), request.length) != ReadResult::kOk)
        return Frame::kShortPayload;
    return Frame::kRequest;
}

RemoteRequestReader::Route RemoteRequestReader::RouteOf(const RemoteMsgHeader& request)
{
    if (request.type < MsgType::kConsole)
        return Route::kReject;
    if (request.type == MsgType::kConsole)
        return Route::kConsole;
    if (request.type == MsgType::kKey)
        return Route::kKeyOrWeb;
    if (request.type <= MsgType::kStoreLast)
        return Route::kStore;
    return Route::kScreen;
}
