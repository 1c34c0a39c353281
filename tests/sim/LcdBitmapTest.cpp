// The LCD frame as a 24-bit BMP: header fields, bottom-up rows of blue,
// green, red, and the size every client is told (391,734 bytes).
#include "BoardTest.h"

#include "platform/FileSystem.h"
#include "sim/LcdFrame.h"
#include "sim/TpTFTBitmap.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class LcdBitmap : public BoardTest {};

uint32_t U32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

uint16_t U16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

// A picture where every pixel is different: red = x / 2, green = y, blue
// mixes both.
uint32_t TestPixel(int x, int y)
{
    return static_cast<uint32_t>((x / 2) << 16 | y << 8 | ((x * 7 + y * 3) & 0xFF));
}

void DrawTestPicture()
{
    SimLcdFrame().Draw([](uint32_t* pixels) {
        for (int y = 0; y < kLcdHeight; ++y)
            for (int x = 0; x < kLcdWidth; ++x)
                pixels[y * kLcdWidth + x] = TestPixel(x, y);
    });
}

// The 0x00RRGGBB pixel at (x, y) of an image, y counted from the top.
uint32_t PixelOf(const std::string& bmp, int width, int height, int x, int y)
{
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const size_t at = 54 + static_cast<size_t>(height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3;
    return static_cast<uint32_t>(static_cast<uint8_t>(bmp[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bmp[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bmp[at]));
}

} // namespace

TEST_F(LcdBitmap, KnownFrameBecomesTheExactFile)
{
    EXPECT_EQ(TpTFTBitmap::GetBmpSize(), 391734u);
    EXPECT_EQ(TpTFTBitmap::GetBmpSize(3, 2), 2u * 12u + 54u) << "rows padded to four bytes";
    EXPECT_EQ(TpTFTBitmap::GetBmpSize(0, 272), 0u);

    DrawTestPicture();
    const TpTFTBitmap image;
    const std::string& b = image.Bytes();
    ASSERT_EQ(b.size(), 391734u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    // offset, 32-bit field: file size, reserved, data offset, information
    // header size, width, height (positive: bottom-up), compression, data size,
    // horizontal and vertical pixels per metre, palette colours, important colours
    const std::pair<size_t, uint32_t> fields[] = {{2, 391734}, {6, 0}, {10, 54}, {14, 40}, {18, 480}, {22, 272},
                                                  {30, 0}, {34, 391680}, {38, 2835}, {42, 2835}, {46, 0}, {50, 0}};
    for (const auto& [at, value] : fields)
        EXPECT_EQ(U32(b, at), value) << "offset " << at;
    EXPECT_EQ(U16(b, 26), 1u);    // planes
    EXPECT_EQ(U16(b, 28), 24u);   // bits per pixel
    int wrong = 0;
    for (int y = 0; y < kLcdHeight; ++y)
        for (int x = 0; x < kLcdWidth; ++x)
            wrong += PixelOf(b, kLcdWidth, kLcdHeight, x, y) != TestPixel(x, y);
    EXPECT_EQ(wrong, 0);

    ASSERT_TRUE(image.WriteFile("lcd.bmp"));
    std::string file;
    ASSERT_TRUE(ReadWholeFile("lcd.bmp", file));
    EXPECT_EQ(file, b);
    EXPECT_FALSE(image.WriteFile("no/such/folder/lcd.bmp"));
    EXPECT_FALSE(image.WriteFile(""));
}

TEST_F(LcdBitmap, OddWidthRowsArePaddedWithZerosAndTooFewPixelsGiveNothing)
{
    const std::vector<uint32_t> pixels = {0x010203, 0x040506, 0x070809,   // top row
                                          0x0A0B0C, 0x0D0E0F, 0x101112};
    const std::string b = TpTFTBitmap::Encode(pixels, 3, 2);
    ASSERT_EQ(b.size(), 78u);
    EXPECT_EQ(U32(b, 2), 78u);
    EXPECT_EQ(U32(b, 34), 24u);
    const unsigned char expected[24] = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                                        0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(b.data() + 54, expected, sizeof expected));
    EXPECT_TRUE(TpTFTBitmap::Encode(std::vector<uint32_t>(5), 3, 2).empty());
    EXPECT_TRUE(TpTFTBitmap::Encode({}, 0, 0).empty());
}

TEST_F(LcdBitmap, ImageIsTheFrameOfTheMomentWithoutTheTopByte)
{
    SimLcdFrame().Fill(0xFF00FF00);
    const TpTFTBitmap image;
    SimLcdFrame().Fill(0x0000FF);
    EXPECT_EQ(PixelOf(image.Bytes(), kLcdWidth, kLcdHeight, 0, 0), 0x00FF00u);
    EXPECT_EQ(PixelOf(TpTFTBitmap().Bytes(), kLcdWidth, kLcdHeight, 0, 0), 0x0000FFu);
    // A redraw that changed no pixel keeps the image; one changed pixel is seen.
    const TpTFTBitmap blue;
    SimLcdFrame().Fill(0x0000FF);
    EXPECT_TRUE(TpTFTBitmap().SameEncoding(blue));
    SimLcdFrame().SetPixel(479, 271, 0x123456);
    EXPECT_EQ(PixelOf(TpTFTBitmap().Bytes(), kLcdWidth, kLcdHeight, 479, 271), 0x123456u);
}
