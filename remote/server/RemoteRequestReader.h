// Reads a client's requests from its byte stream, one at a time: the 20-byte
// header, then the payload it announces, however the stream splits them. It
// also says which part of the server answers a request. The connection
// threads read their sockets through it; the fuzz targets read memory.
#pragma once

#include "core/protocol/RemoteMsgHeader.h"

#include <cstddef>
#include <cstdint>

class RemoteRequestReader {
public:
    static constexpr size_t kBufferSize = 1500;   // header and payload
    static constexpr size_t kPayloadMax = kBufferSize - kRemoteHeaderSize;

    // Where the bytes come from. Read returns how many bytes it put into
    // buffer (1 to size), 0 at the end of the stream, a negative number on
    // an error.
    class Source {
    public:
        virtual ~Source() = default;
        virtual long Read(uint8_t* buffer, size_t size) = 0;
    };

    // What Next found.
    enum class Frame {
        kRequest,        // a header with the magic and its whole payload
        kBadMagic,       // a header without the magic; the next header starts at the magic found after it
        kOversized,      // a payload longer than the buffer, read and dropped
        kShortPayload,   // the stream ended inside the payload
        kEnd,            // the stream ended (or failed) before a whole header
    };

    // Who answers a request.
    enum class Route { kReject, kConsole, kKeyOrWeb, kStore, kScreen };

    explicit RemoteRequestReader(Source& source) : source_(source) {}

    // Reads the next header into request, and its payload behind the header
    // in the buffer when the header has the magic.
    Frame Next(RemoteMsgHeader& request);
    // A new client: nothing received before belongs to its stream.
    void Restart() { carried_ = 0; }
    // The payload of the last request (its length is the header's).
    uint8_t* Payload() { return buffer_ + kRemoteHeaderSize; }
    static Route RouteOf(const RemoteMsgHeader& request);

private:
    enum class ReadResult { kOk, kClosed, kFailed };

    // Reads exactly size bytes into buffer.
    ReadResult ReadExact(uint8_t* buffer, size_t size);
    bool Discard(size_t size);
    // After a bad header: keeps its bytes from the first later place where
    // the magic word (or, at its end, the start of one) stands, as the start
    // of the next header.
    void KeepFromMagic();

    Source& source_;
    uint8_t buffer_[kBufferSize] = {};
    size_t carried_ = 0;   // bytes at the start of buffer_ kept for the next header
};
