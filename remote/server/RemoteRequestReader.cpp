#include "RemoteRequestReader.h"

#include "core/protocol/RemoteProtocol.h"

#include <algorithm>

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

RemoteRequestReader::Frame RemoteRequestReader::Next(RemoteMsgHeader& request)
{
    if (ReadExact(buffer_, kRemoteHeaderSize) != ReadResult::kOk)
        return Frame::kEnd;
    request.Decode(buffer_, kRemoteHeaderSize);
    // Without the magic the payload, if any, is not read: its bytes are
    // taken for the next header.
    if (request.magic != kRemoteMagic)
        return Frame::kBadMagic;
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
