// Draws rectangles and text into a pixel buffer (one 0x00RRGGBB word per
// pixel, row by row), clipped to the buffer and to a clip rectangle. The
// window stack paints the LCD frame with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TpRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool IsEmpty() const { return w <= 0 || h <= 0; }
    TpRect Intersect(const TpRect& other) const;
};

class TpScreenPainter {
public:
    TpScreenPainter(uint32_t* pixels, int width, int height);

    // Further drawing stays inside this rectangle (and the buffer).
    void SetClip(const TpRect& clip);
    void ResetClip();

    void Fill(uint32_t colour);
    void FillRect(const TpRect& rect, uint32_t colour);
    void FrameRect(const TpRect& rect, uint32_t colour);

    // Draws text with its cell's top-left corner at (x, y), at most maxWidth
    // pixels wide (characters that do not fit whole are left out). A
    // per-character colour that is not 0 replaces the colour for that
    // character. Returns the width drawn.
    int DrawText(int x, int y, const std::string& text, uint32_t colour, int maxWidth,
                 const std::vector<uint32_t>* charColours = nullptr);

    // Width in pixels of a text in the built-in font.
    static int TextWidth(const std::string& text);
    // The characters of text that fit in maxWidth pixels.
    static std::string FitText(const std::string& text, int maxWidth);

    uint32_t Pixel(int x, int y) const;

private:
    void Plot(int x, int y, uint32_t colour);

    uint32_t* pixels_;
    int width_;
    int height_;
    TpRect clip_;
};
