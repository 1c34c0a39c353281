// A list shown as several rows (the event log, the step list): the caption
// row, then the items around the selected one. Left and right move the
// selection through the store.
#pragma once

#include "TKrObject.h"

class TpListBox : public TKrObject {
public:
    static constexpr int kDefaultRows = 4;

    TpListBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetListBox; }

    // Item rows shown on the window.
    void SetVisibleRows(int rows) { rows_ = rows > 0 ? rows : 1; }
    int VisibleRows() const { return rows_; }

    bool Step(int direction) override;
    int RowsWanted() const override;
    int Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const override;

private:
    int rows_ = kDefaultRows;
};
