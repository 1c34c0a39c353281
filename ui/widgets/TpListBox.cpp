#include "TpListBox.h"

#include <algorithm>

TpListBox::TpListBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
    SetListFlag(true);
}

bool TpListBox::Step(int direction)
{
    StepItem(direction);
    return true;
}

int TpListBox::RowsWanted() const
{
    return (CaptionText().empty() ? 0 : 1) + rows_;
}

int TpListBox::Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const
{
    int used = 0;
    TpDrawArea rowArea = area;
    if (!CaptionText().empty() && used < maxRows) {
        const int v = GetValue();
        const std::string position =
            v >= 0 && v < GetItemCount() ? std::to_string(v + 1) + "/" + std::to_string(GetItemCount()) : "-";
        DrawRow(painter, rowArea, CaptionText(), position, nullptr);
        ++used;
        rowArea.row.y += kRowHeight;
        rowArea.focused = false;
    }
    const int count = GetItemCount();
    const int rows = std::min(rows_, maxRows - used);
    const int selected = GetValue();
    int first = 0;
    if (selected >= rows)
        first = selected - rows + 1;
    for (int r = 0; r < rows; ++r) {
        const int item = first + r;
        const TpRect row{rowArea.row.x, rowArea.row.y, rowArea.row.w, kRowHeight};
        const uint32_t back = GetBackColour(item) != 0 ? GetBackColour(item) : BackColour(area.back);
        painter.FillRect(row, back);
        if (item < count) {
            uint32_t fore = GetColour(item) != 0 ? GetColour(item) : TextColour();
            if (!GetItemEnabled(item))
                fore = kColourDisabled;
            if (item == selected) {
                painter.DrawText(row.x, row.y, ">", area.focused ? kColourFocus : kColourText, kMarkWidth);
                if (area.focused) {
                    painter.FillRect(TpRect{row.x + kMarkWidth, row.y, row.w - kMarkWidth, row.h}, kColourFocus);
                    fore = kColourFocusText;
                }
            }
            painter.DrawText(row.x + kMarkWidth + 1, row.y, GetItemText(item), fore, row.w - kMarkWidth - 1);
        }
        rowArea.row.y += kRowHeight;
        ++used;
    }
    return used;
}
