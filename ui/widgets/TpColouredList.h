// A list of text items, each in its own text and background colours, laid
// out as a grid: ColumnCount columns, RowCount rows, even columns (0, 2, ...)
// EvenColumnWidth pixels wide and odd ones OddColumnWidth (equal shares when
// not set). Status pages show their label/value pairs in it; pages may also
// be built on it, outside any window. It shows information and takes no
// input focus.
#pragma once

#include "TKrObject.h"

#include <cstdint>

class TpColouredList : public TKrObject {
public:
    // A list without parent (a page built on the list): value kind 1.
    TpColouredList(int cmdId, uint32_t flags);
    TpColouredList(TpCommand* parent, uint16_t cmdId, uint32_t flags, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetColouredList; }
    bool TakesFocus() const override { return false; }

    uint32_t ListFlags() const { return listFlags_; }

    // The grid's shape as drawn: columns at least 1; rows as set, else as
    // many as the items need.
    int GridColumns() const;
    int GridRows() const;

    int RowsWanted() const override;
    int Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const override;

private:
    uint32_t listFlags_;
};
