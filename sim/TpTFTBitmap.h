// The LCD image as a 24-bit BMP file: the 14-byte file header, the 40-byte
// information header and the pixel rows bottom-up, each pixel blue, green,
// red, each row padded to a multiple of four bytes (no padding at 480
// pixels, so the LCD image is 480 x 272 x 3 + 54 = 391,734 bytes).
//
// The image is always encoded in memory from one snapshot of the frame, so
// every writer (a file, a socket) sends a whole picture of one moment. The
// simulator's LCD is encoded again only once its picture has changed.
#pragma once

#include "LcdFrame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TpTFTBitmap {
public:
    static constexpr uint32_t kHeaderSize = 54;

    // Size of the BMP file of a width x height picture (0 for no picture).
    static uint32_t GetBmpSize(int width = kLcdWidth, int height = kLcdHeight);

    // Encodes width x height pixels (0x00RRGGBB, top row first). Empty when
    // the sizes are not positive or pixels holds fewer words.
    static std::string Encode(const std::vector<uint32_t>& pixels, int width, int height);

    // Takes one snapshot of the LCD and encodes it (or shares the image of
    // the same picture encoded before).
    TpTFTBitmap();
    explicit TpTFTBitmap(const LcdFrame& frame);

    const std::string& Bytes() const { return *bytes_; }
    // True when both share one encoding (then their bytes are equal).
    bool SameEncoding(const TpTFTBitmap& other) const { return bytes_ == other.bytes_; }

    // Writes the image to path (through a temporary file and a rename).
    // False when the file cannot be written.
    bool WriteFile(const std::string& path) const;

private:
    std::shared_ptr<const std::string> bytes_;   // never null; shared images are not changed
};
