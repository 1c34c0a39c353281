#include "LcdFrame.h"

#include <algorithm>

LcdFrame::LcdFrame() : pixels_(kLcdPixels, 0u) {}

void LcdFrame::Draw(const std::function<void(uint32_t* pixels)>& draw)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (draw)
        draw(pixels_.data());
    dirty_ = true;
    ++changes_;
}

void LcdFrame::Fill(uint32_t colour)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(pixels_.begin(), pixels_.end(), colour);
    dirty_ = true;
    ++changes_;
}

void LcdFrame::SetPixel(int x, int y, uint32_t colour)
{
    if (x < 0 || y < 0 || x >= kLcdWidth || y >= kLcdHeight)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    pixels_[static_cast<size_t>(y) * kLcdWidth + static_cast<size_t>(x)] = colour;
    dirty_ = true;
    ++changes_;
}

uint32_t LcdFrame::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= kLcdWidth || y >= kLcdHeight)
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    return pixels_[static_cast<size_t>(y) * kLcdWidth + static_cast<size_t>(x)];
}

std::vector<uint32_t> LcdFrame::Snapshot(uint64_t* changes) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (changes != nullptr)
        *changes = changes_;
    return pixels_;
}

uint64_t LcdFrame::Changes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return changes_;
}

bool LcdFrame::IsDirty() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dirty_;
}

bool LcdFrame::TakeDirty()
{
    std::lock_guard<std::mutex> lock(mutex_);
    bool was = dirty_;
    dirty_ = false;
    return was;
}

void LcdFrame::SetOverlayLine(int index, const OverlayLine& line)
{
    if (index < 0 || index >= kOverlayLineCount)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    overlay_[static_cast<size_t>(index)] = line;
}

OverlayLine LcdFrame::GetOverlayLine(int index) const
{
    if (index < 0 || index >= kOverlayLineCount)
        return OverlayLine();
    std::lock_guard<std::mutex> lock(mutex_);
    return overlay_[static_cast<size_t>(index)];
}

void LcdFrame::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    dirty_ = false;
    ++changes_;
    overlay_ = {};
}

LcdFrame& SimLcdFrame()
{
    static LcdFrame frame;
    return frame;
}
