// The instrument's LCD as the simulator keeps it: 480 x 272 pixels, one
// 0x00RRGGBB word per pixel, row 0 at the top, and a dirty flag that tells
// the host a new picture is there. The application thread draws; the host
// and the image writers take snapshots from any thread. Every access holds
// the frame's lock, so a snapshot is always one whole picture.
//
// Beside the picture the host draws up to four overlay lines (screen
// cursors) over the image it shows; they are not part of the frame.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

constexpr int kLcdWidth = 480;
constexpr int kLcdHeight = 272;
constexpr int kLcdPixels = kLcdWidth * kLcdHeight;
constexpr int kOverlayLineCount = 4;

// One line drawn by the host over the LCD image, in LCD pixel coordinates.
struct OverlayLine {
    bool visible = false;
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    uint32_t colour = 0;   // 0x00RRGGBB

    bool operator==(const OverlayLine&) const = default;
};

class LcdFrame {
public:
    LcdFrame();
    LcdFrame(const LcdFrame&) = delete;
    LcdFrame& operator=(const LcdFrame&) = delete;

    // Runs draw with the pixel array (kLcdPixels words, row by row) while
    // holding the lock, then marks the frame dirty.
    void Draw(const std::function<void(uint32_t* pixels)>& draw);
    void Fill(uint32_t colour);
    // Out-of-range coordinates are ignored.
    void SetPixel(int x, int y, uint32_t colour);
    uint32_t Pixel(int x, int y) const;   // 0 outside the frame

    // A copy of the whole picture, taken under the lock; with changes, also
    // the change count of that picture.
    std::vector<uint32_t> Snapshot(uint64_t* changes = nullptr) const;
    // Counts every drawing since the frame was made (Reset included); equal
    // counts mean the same picture.
    uint64_t Changes() const;

    bool IsDirty() const;
    // Returns the dirty flag and clears it.
    bool TakeDirty();

    // Index 0-3; other indexes are ignored (set) or read as a hidden line.
    void SetOverlayLine(int index, const OverlayLine& line);
    OverlayLine GetOverlayLine(int index) const;

    // Black picture, not dirty, no overlay lines.
    void Reset();

private:
    mutable std::mutex mutex_;
    std::vector<uint32_t> pixels_;
    bool dirty_ = false;
    uint64_t changes_ = 0;
    std::array<OverlayLine, kOverlayLineCount> overlay_{};
};

// The simulator's one LCD.
LcdFrame& SimLcdFrame();
