#include "TpTFTBitmap.h"

#include "platform/FileSystem.h"

#include <mutex>

namespace {

constexpr int32_t kPixelsPerMetre = 2835;   // 72 dots per inch

uint32_t RowBytes(int width)
{
    return (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
}

void Put16(std::string& out, size_t at, uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The last image of the simulator's LCD, the pixels it was made from and the
// change count of the picture it shows.
struct LcdImageCache {
    std::mutex mutex;
    uint64_t changes = 0;
    std::vector<uint32_t> pixels;
    std::shared_ptr<const std::string> bytes;
};

} // namespace

uint32_t TpTFTBitmap::GetBmpSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return RowBytes(width) * static_cast<uint32_t>(height) + kHeaderSize;
}

std::string TpTFTBitmap::Encode(const std::vector<uint32_t>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return std::string();
    const uint32_t rowBytes = RowBytes(width);
    const uint32_t fileSize = GetBmpSize(width, height);
    std::string out(fileSize, '\0');

    // File header.
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, fileSize);
    Put32(out, 10, kHeaderSize);
    // Information header: positive height = rows stored bottom-up.
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(width));
    Put32(out, 22, static_cast<uint32_t>(height));
    Put16(out, 26, 1);    // planes
    Put16(out, 28, 24);   // bits per pixel
    Put32(out, 30, 0);    // no compression
    Put32(out, 34, rowBytes * static_cast<uint32_t>(height));
    Put32(out, 38, static_cast<uint32_t>(kPixelsPerMetre));
    Put32(out, 42, static_cast<uint32_t>(kPixelsPerMetre));

    char* rowStart = out.data() + kHeaderSize;
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        char* at = rowStart;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            at[0] = static_cast<char>(p & 0xFF);
            at[1] = static_cast<char>((p >> 8) & 0xFF);
            at[2] = static_cast<char>((p >> 16) & 0xFF);
            at += 3;
        }
        rowStart += rowBytes;   // padding bytes stay zero
    }
    return out;
}

TpTFTBitmap::TpTFTBitmap()
{
    static LcdImageCache cache;
    const LcdFrame& frame = SimLcdFrame();
    std::lock_guard<std::mutex> lock(cache.mutex);
    if (!cache.bytes || cache.changes != frame.Changes()) {
        // A redraw that left every pixel as it was keeps the image.
        uint64_t changes = 0;
        std::vector<uint32_t> pixels = frame.Snapshot(&changes);
        if (!cache.bytes || pixels != cache.pixels) {
            cache.bytes = std::make_shared<const std::string>(Encode(pixels, kLcdWidth, kLcdHeight));
            cache.pixels = std::move(pixels);
        }
        cache.changes = changes;
    }
    bytes_ = cache.bytes;
}

TpTFTBitmap::TpTFTBitmap(const LcdFrame& frame)
    : bytes_(std::make_shared<const std::string>(Encode(frame.Snapshot(), kLcdWidth, kLcdHeight)))
{
}

bool TpTFTBitmap::WriteFile(const std::string& path) const
{
    return !path.empty() && WriteFileAtomic(path, *bytes_);
}
