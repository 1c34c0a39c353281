// A button. OK (or its bound key) sets its id to 1 through the store, so the
// page that owns the id hears one press and puts it back to 0. A button with
// an action on its window (close it, answer its question) is its own owner:
// a non-zero value, from a key or from the store, runs the action while the
// window is open, and the button puts its id back to 0 itself.
#pragma once

#include "TKrObject.h"

class TpButton : public TKrObject {
public:
    TpButton(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetButton; }

    bool Activate() override;
    int32_t SetValue(int32_t value) override;
    std::string ValueText() const override;
    std::string CaptionText() const override { return std::string(); }
};
