// Sends an LCD image over a client's socket. Each connection thread owns
// one; the bytes go out in pieces of at most 64 KiB, each announced on the
// chatty channel.
#pragma once

#include "TpTFTBitmap.h"

#include <cstddef>

class Socket;

class TpTFTBitmapStream {
public:
    static constexpr size_t kPieceSize = 64 * 1024;

    explicit TpTFTBitmapStream(Socket& socket) : socket_(socket) {}

    // Sends every byte of the image, the first piece in one write with the
    // prefix bytes when given; false when the socket fails, in which case the
    // rest is not sent.
    bool Send(const TpTFTBitmap& image, const void* prefix = nullptr, size_t prefixSize = 0);
    // Sends a snapshot of the simulator's LCD.
    bool SendLcd();

private:
    Socket& socket_;
};
