// Tabs over the pages of a window: one caption per page (its items), the
// selected page its value. Left and right turn to the previous or next
// enabled page through the store; the window's controls that belong to a page
// are shown only while it is selected.
#pragma once

#include "TKrObject.h"

#include <string>

class TpPageControl : public TKrObject {
public:
    static constexpr int kMaxPages = 8;

    TpPageControl(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetPageControl; }

    // Sets the caption of page 0-7 of this page control; false (nothing
    // changed) for another index or a page the control does not have.
    bool SetPageText(int page, const std::string& text);
    std::string PageText(int page) const { return GetItemText(page); }

    bool Step(int direction) override;
    int Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const override;
};
