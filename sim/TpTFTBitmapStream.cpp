#include "TpTFTBitmapStream.h"

#include "platform/DebugOut.h"
#include "platform/Socket.h"

#include <algorithm>

bool TpTFTBitmapStream::Send(const TpTFTBitmap& image)
{
    const std::string& bytes = image.Bytes();
    size_t sent = 0;
    while (sent < bytes.size()) {
        const size_t n = std::min(kPieceSize, bytes.size() - sent);
        if (!socket_.SendAll(bytes.data() + sent, n))
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
