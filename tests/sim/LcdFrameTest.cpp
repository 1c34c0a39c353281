// The LCD frame the host shows: the dirty flag that announces a new picture,
// pixel bounds and the four overlay lines.
#include "BoardTest.h"

#include "sim/LcdFrame.h"
#include "sim/SimReset.h"

namespace {
class LcdFrameState : public BoardTest {};
} // namespace

TEST_F(LcdFrameState, DrawingMarksTheFrameDirtyUntilTakenAndStaysInside)
{
    LcdFrame& frame = SimLcdFrame();
    frame.SetPixel(480, 0, 1);
    frame.SetPixel(0, 272, 1);
    frame.SetPixel(-1, 5, 1);
    EXPECT_FALSE(frame.IsDirty()) << "pixels outside the frame are ignored";
    EXPECT_EQ(frame.Pixel(480, 0), 0u);
    EXPECT_EQ(frame.Pixel(-1, -1), 0u);

    frame.Draw([](uint32_t* pixels) { pixels[kLcdWidth + 2] = 0x112233; });
    EXPECT_EQ(frame.Pixel(2, 1), 0x112233u);
    EXPECT_TRUE(frame.TakeDirty());
    EXPECT_FALSE(frame.TakeDirty());
    frame.SetPixel(479, 271, 0xABCDEF);
    EXPECT_TRUE(frame.TakeDirty());
    EXPECT_EQ(frame.Snapshot().size(), static_cast<size_t>(kLcdPixels));
    EXPECT_EQ(frame.Snapshot().back(), 0xABCDEFu);
}

TEST_F(LcdFrameState, FourOverlayLinesAreKeptUntilReset)
{
    LcdFrame& frame = SimLcdFrame();
    for (int i = 0; i < kOverlayLineCount; ++i)
        frame.SetOverlayLine(i, OverlayLine {true, i, 0, i, 271, 0xFF0000u + static_cast<uint32_t>(i)});
    frame.SetOverlayLine(4, OverlayLine {true, 9, 9, 9, 9, 9});
    for (int i = 0; i < kOverlayLineCount; ++i)
        EXPECT_EQ(frame.GetOverlayLine(i), (OverlayLine {true, i, 0, i, 271, 0xFF0000u + static_cast<uint32_t>(i)}));
    EXPECT_FALSE(frame.GetOverlayLine(4).visible);
    EXPECT_FALSE(frame.GetOverlayLine(-1).visible);
    EXPECT_FALSE(frame.IsDirty()) << "overlay lines are not part of the picture";

    frame.Fill(0xFFFFFF);
    SimReset();
    EXPECT_EQ(frame.Pixel(100, 100), 0u);
    EXPECT_FALSE(frame.IsDirty());
    EXPECT_FALSE(frame.GetOverlayLine(0).visible);
}
