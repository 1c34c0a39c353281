#include "TpColouredList.h"

#include <algorithm>

TpColouredList::TpColouredList(int cmdId, uint32_t flags)
    : TKrObject(cmdId, kKeepsValue, 0), listFlags_(flags)
{
    SetListFlag(true);
}

TpColouredList::TpColouredList(TpCommand* parent, uint16_t cmdId, uint32_t flags, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind), listFlags_(flags)
{
    SetListFlag(true);
}

int TpColouredList::GridColumns() const
{
    return std::max(1, GetColumnCount());
}

int TpColouredList::GridRows() const
{
    if (GetRowCount() > 0)
        return GetRowCount();
    const int cols = GridColumns();
    return std::max(1, (GetItemCount() + cols - 1) / cols);
}

int TpColouredList::RowsWanted() const
{
    return (CaptionText().empty() ? 0 : 1) + GridRows();
}

int TpColouredList::Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const
{
    int used = 0;
    TpRect row = area.row;
    if (!CaptionText().empty() && used < maxRows) {
        DrawRow(painter, area, CaptionText(), std::string(), nullptr);
        ++used;
        row.y += kRowHeight;
    }
    const int cols = GridColumns();
    const int rows = std::min(GridRows(), maxRows - used);
    const int left = row.x + kMarkWidth;
    const int width = row.w - kMarkWidth;
    const bool fixedWidths = GetEvenColumnWidth() > 0 || GetOddColumnWidth() > 0;
    const int share = std::max(1, width / cols);
    const int count = GetItemCount();
    for (int r = 0; r < rows; ++r) {
        painter.FillRect(TpRect{row.x, row.y, row.w, kRowHeight}, BackColour(area.back));
        int x = left;
        for (int c = 0; c < cols && x < left + width; ++c) {
            int w = share;
            if (fixedWidths)
                w = std::max(1, c % 2 == 0 ? GetEvenColumnWidth() : GetOddColumnWidth());
            w = std::min(w, left + width - x);
            const int item = r * cols + c;
            if (item < count) {
                const uint32_t back = GetBackColour(item) != 0 ? GetBackColour(item) : BackColour(area.back);
                const uint32_t fore = GetColour(item) != 0 ? GetColour(item) : TextColour();
                painter.FillRect(TpRect{x, row.y, w, kRowHeight}, back);
                painter.DrawText(x + 1, row.y, GetItemText(item), fore, w - 2);
            }
            x += w;
        }
        row.y += kRowHeight;
        ++used;
    }
    return used;
}
