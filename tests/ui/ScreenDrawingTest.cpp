// The open windows on the LCD: drawn when something changed, not otherwise;
// a key that changes a value changes the picture, and the BMP image a client
// fetches shows the same picture.
#include "UiTest.h"

#include "core/store/TpParent.h"
#include "sim/LcdFrame.h"
#include "sim/TpTFTBitmap.h"
#include "ui/paint/TpFont.h"

#include <string>
#include <vector>

namespace {

class ScreenDrawing : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("items|100|Off|On\n"
             "dialog|Main|x=0|y=0|w=480|h=272\n"
             "title|Main\n"
             "combo|Mode|100|focus\n"
             "label|Status|101|colour=0x00FF00\n"
             "end\n"
             "dialog|Popup|closekey|x=100|y=100|w=200|h=60\n"
             "label|Hello|0\n"
             "end\n"
             "dialog|Wide|x=0|y=0|w=480|h=272\n"
             "label|ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ|0\n"
             "end\n");
        main = ShowDialog("Main", 1);
    }

    static int CountColour(const std::vector<uint32_t>& pixels, uint32_t colour)
    {
        int n = 0;
        for (uint32_t p : pixels)
            n += p == colour;
        return n;
    }

    TpDialog* main = nullptr;
};

} // namespace

TEST_F(ScreenDrawing, DrawsOnlyWhenSomethingChangedWithTheTopWindowOverTheOthers)
{
    EXPECT_TRUE(list->RedrawChanged());
    EXPECT_TRUE(SimLcdFrame().TakeDirty());
    EXPECT_FALSE(list->RedrawChanged());
    EXPECT_FALSE(SimLcdFrame().IsDirty());

    store->SetText(101, "Locked");
    EXPECT_TRUE(list->RedrawChanged());
    store->SetText(4000, "no widget shows this id");
    EXPECT_FALSE(list->RedrawChanged());

    // A closed window's changes draw nothing.
    TpDialog* popup = ShowDialog("Popup", 1);
    popup->Close();
    EXPECT_TRUE(list->RedrawChanged()) << "the stack changed";
    popup->SetTitle("Changed while closed");
    EXPECT_FALSE(list->RedrawChanged());

    // The top window is drawn over the others.
    ShowDialog("Popup", 1);
    list->RedrawChanged();
    EXPECT_EQ(SimLcdFrame().Pixel(100, 100), kColourBorder) << "the popup's frame";
    EXPECT_EQ(SimLcdFrame().Pixel(150, 130), kColourDialog) << "the popup's background";
    Press(kKeyMenu8);
    list->RedrawChanged();
    EXPECT_NE(SimLcdFrame().Pixel(100, 100), kColourBorder);
}

TEST_F(ScreenDrawing, AKeyThatChangesAValueChangesThePictureAndItsBmp)
{
    list->RedrawChanged();
    const std::vector<uint32_t> before = SimLcdFrame().Snapshot();
    const std::string bmpBefore = TpTFTBitmap().Bytes();
    EXPECT_EQ(Press(kKeyRight), TpKeyResult::Taken);
    EXPECT_EQ(store->GetValue(100), 1);
    EXPECT_TRUE(list->RedrawChanged());
    EXPECT_NE(SimLcdFrame().Snapshot(), before) << "the value's text was drawn again";
    EXPECT_NE(TpTFTBitmap().Bytes(), bmpBefore);
}

TEST_F(ScreenDrawing, ColoursOfTheCommandsAndTheFocusShow)
{
    store->SetText(101, "Locked");
    list->RedrawChanged();
    std::vector<uint32_t> pixels = SimLcdFrame().Snapshot();
    EXPECT_GT(CountColour(pixels, 0x00FF00), 20) << "the status text in its own colour";
    EXPECT_GT(CountColour(pixels, kColourFocus), 100) << "the focused value";

    store->SetColour(101, 0xFF0000);
    list->RedrawChanged();
    pixels = SimLcdFrame().Snapshot();
    EXPECT_EQ(CountColour(pixels, 0x00FF00), 0);
    EXPECT_GT(CountColour(pixels, 0xFF0000), 20);

    const uint32_t perChar[] = {0x0000FF, 0x0000FF};
    store->SetCharColours(101, perChar, 2);
    list->RedrawChanged();
    EXPECT_GT(CountColour(SimLcdFrame().Snapshot(), 0x0000FF), 5) << "the first two characters in blue";

    store->SetVisible(101, false);
    store->SetFocused(100, false);
    list->RedrawChanged();
    pixels = SimLcdFrame().Snapshot();
    EXPECT_EQ(CountColour(pixels, 0xFF0000) + CountColour(pixels, 0x0000FF), 0) << "a hidden control is not drawn";
    EXPECT_EQ(CountColour(pixels, kColourFocus), 0);
}

TEST_F(ScreenDrawing, AFortyCharacterCaptionOnAFullWidthWindowIsDrawnWhole)
{
    ShowDialog("Wide", 1);
    list->RedrawChanged();
    // The last character's cell: after the frame, the focus mark and 39 cells.
    const int x0 = 2 + kMarkWidth + 39 * kFontCellWidth;
    int inked = 0;
    for (int y = 3; y < 3 + kGlyphHeight; ++y)
        for (int x = x0; x < x0 + kGlyphWidth; ++x)
            inked += SimLcdFrame().Pixel(x, y) != kColourDialog;
    EXPECT_GT(inked, 5) << "the fortieth character, a J";
}

TEST_F(ScreenDrawing, TextIsClippedToWholeCharactersAndTheBuffer)
{
    std::vector<uint32_t> pixels(60 * 10, 0);
    TpScreenPainter painter(pixels.data(), 60, 10);
    EXPECT_EQ(painter.DrawText(0, 0, "clipped text", 0xFFFFFF, 20), 18) << "whole characters only";
    EXPECT_EQ(FontGlyph('\x01').ch, '?') << "characters the font lacks";
    painter.DrawText(-3, -3, "off the edge", 0xFFFFFF, 1000);
    painter.FillRect(TpRect{-10, -10, 1000, 1000}, 0x123456);
    EXPECT_EQ(CountColour(pixels, 0x123456), 600) << "nothing written outside the buffer";
}

namespace {
using LongWindow = UiTest;
}

TEST_F(LongWindow, ScrollsToTheFocusedControl)
{
    // Thirty rows of checks under a title: about twenty-three fit.
    std::string text = "dialog|Long|x=0|y=0|w=480|h=272\ntitle|Long\n";
    for (int i = 0; i < 30; ++i)
        text += "check|Row " + std::to_string(i) + "|" + std::to_string(200 + i) + (i == 0 ? "|focus\n" : "\n");
    Load(text + "end\n");
    TpDialog* longWindow = ShowDialog("Long", 1);
    auto focusRows = [] {
        // The text rows that show the focus colour.
        std::vector<int> rows;
        for (int y = 0; y < kLcdHeight; ++y)
            for (int x = 0; x < kLcdWidth; ++x)
                if (SimLcdFrame().Pixel(x, y) == kColourFocus) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    };
    list->RedrawChanged();
    ASSERT_FALSE(focusRows().empty());
    const int top = focusRows().front();

    Press(kKeyUp);   // round to the last row
    EXPECT_EQ(longWindow->FocusedControl(), longWindow->FindControl("Row 29"));
    list->RedrawChanged();
    const std::vector<int> last = focusRows();
    ASSERT_FALSE(last.empty()) << "the last row is drawn";
    EXPECT_GT(last.front(), kLcdHeight - 3 * kRowHeight) << "at the bottom";

    // Back to a row that fits from the top: the window is drawn from its start.
    for (int i = 0; i < 29; ++i)
        Press(kKeyDown);
    EXPECT_EQ(longWindow->FocusedControl(), longWindow->FindControl("Row 28"));
    Press(kKeyDown);
    Press(kKeyDown);
    EXPECT_EQ(longWindow->FocusedControl(), longWindow->FindControl("Row 0"));
    list->RedrawChanged();
    ASSERT_FALSE(focusRows().empty());
    EXPECT_EQ(focusRows().front(), top);
}
