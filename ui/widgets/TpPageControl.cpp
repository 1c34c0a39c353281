#include "TpPageControl.h"

#include <algorithm>

TpPageControl::TpPageControl(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
    SetListFlag(true);
}

bool TpPageControl::SetPageText(int page, const std::string& text)
{
    if (page < 0 || page >= kMaxPages || page >= GetItemCount())
        return false;
    SetItemText(page, text);
    return true;
}

bool TpPageControl::Step(int direction)
{
    StepItem(direction);
    return true;
}

int TpPageControl::Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const
{
    if (maxRows < 1)
        return 0;
    const TpRect& row = area.row;
    painter.FillRect(row, BackColour(area.back));
    if (area.focused)
        painter.DrawText(row.x, row.y, ">", kColourFocus, kMarkWidth);
    int x = row.x + kMarkWidth;
    const int right = row.x + row.w;
    const int selected = GetValue();
    for (int page = 0; page < GetItemCount() && x < right; ++page) {
        const std::string caption = " " + GetItemText(page) + " ";
        const int w = std::min(TpScreenPainter::TextWidth(caption), right - x);
        uint32_t fore = GetItemEnabled(page) ? TextColour() : kColourDisabled;
        if (page == selected) {
            painter.FillRect(TpRect{x, row.y, w, row.h}, area.focused ? kColourFocus : kColourTitle);
            fore = area.focused ? kColourFocusText : kColourText;
        }
        painter.DrawText(x, row.y, caption, fore, w);
        x += w + 2;
    }
    return 1;
}
