#include "TpScreenPainter.h"

#include "TpFont.h"

#include <algorithm>
#include <cstring>

TpRect TpRect::Intersect(const TpRect& other) const
{
    const int left = std::max(x, other.x);
    const int top = std::max(y, other.y);
    const int right = std::min(x + w, other.x + other.w);
    const int bottom = std::min(y + h, other.y + other.h);
    TpRect r;
    r.x = left;
    r.y = top;
    r.w = std::max(0, right - left);
    r.h = std::max(0, bottom - top);
    return r;
}

TpScreenPainter::TpScreenPainter(uint32_t* pixels, int width, int height)
    : pixels_(pixels), width_(pixels != nullptr ? std::max(0, width) : 0),
      height_(pixels != nullptr ? std::max(0, height) : 0)
{
    ResetClip();
}

void TpScreenPainter::SetClip(const TpRect& clip)
{
    clip_ = clip.Intersect(TpRect{0, 0, width_, height_});
}

void TpScreenPainter::ResetClip()
{
    clip_ = TpRect{0, 0, width_, height_};
}

void TpScreenPainter::Plot(int x, int y, uint32_t colour)
{
    if (x < clip_.x || y < clip_.y || x >= clip_.x + clip_.w || y >= clip_.y + clip_.h)
        return;
    pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
}

uint32_t TpScreenPainter::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void TpScreenPainter::Fill(uint32_t colour)
{
    FillRect(TpRect{0, 0, width_, height_}, colour);
}

void TpScreenPainter::FillRect(const TpRect& rect, uint32_t colour)
{
    const TpRect r = rect.Intersect(clip_);
    if (r.IsEmpty())
        return;
    uint32_t* first = pixels_ + static_cast<size_t>(r.y) * static_cast<size_t>(width_) + static_cast<size_t>(r.x);
    std::fill(first, first + r.w, colour);
    // The other rows are copies of the first.
    for (int y = r.y + 1; y < r.y + r.h; ++y)
        std::memcpy(pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(r.x), first,
                    static_cast<size_t>(r.w) * sizeof(uint32_t));
}

void TpScreenPainter::FrameRect(const TpRect& rect, uint32_t colour)
{
    if (rect.IsEmpty())
        return;
    FillRect(TpRect{rect.x, rect.y, rect.w, 1}, colour);
    FillRect(TpRect{rect.x, rect.y + rect.h - 1, rect.w, 1}, colour);
    FillRect(TpRect{rect.x, rect.y, 1, rect.h}, colour);
    FillRect(TpRect{rect.x + rect.w - 1, rect.y, 1, rect.h}, colour);
}

int TpScreenPainter::DrawText(int x, int y, const std::string& text, uint32_t colour, int maxWidth,
                              const std::vector<uint32_t>* charColours)
{
    int drawn = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (drawn + kFontCellWidth > maxWidth)
            break;
        uint32_t c = colour;
        if (charColours != nullptr && i < charColours->size() && (*charColours)[i] != 0)
            c = (*charColours)[i];
        const TpGlyph& glyph = FontGlyph(text[i]);
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (glyph.rows[row][col] == '#')
                    Plot(x + drawn + col, y + 1 + row, c);
        drawn += kFontCellWidth;
    }
    return drawn;
}

int TpScreenPainter::TextWidth(const std::string& text)
{
    return static_cast<int>(text.size()) * kFontCellWidth;
}

std::string TpScreenPainter::FitText(const std::string& text, int maxWidth)
{
    const int fit = std::max(0, maxWidth) / kFontCellWidth;
    return text.size() <= static_cast<size_t>(fit) ? text : text.substr(0, static_cast<size_t>(fit));
}
