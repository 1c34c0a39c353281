#include "TpTFTBitmapStream.h"

#include "platform/DebugOut.h"
#include "platform/Socket.h"

#include <algorithm>

bool TpTFTBitmapStream::Send(const TpTFTBitmap& image, const void* prefix, size_t prefixSize)
{
    const std::string& bytes = image.Bytes();
    size_t sent = 0;
    while (sent < bytes.size()) {
        const size_t n = std::min(kPieceSize, bytes.size() - sent);
        const bool ok = sent == 0 && prefixSize > 0 ? socket_.SendAll(prefix, prefixSize, bytes.data(), n)
                                                    : socket_.SendAll(bytes.data() + sent, n);
        if (!ok)
            return false;
        DebugChatty("\nSave Lcd Send n = %d\n", static_cast<int>(n));
        sent += n;
    }
    return true;
}

bool TpTFTBitmapStream::SendLcd()
{
    return Send(TpTFTBitmap());
}
