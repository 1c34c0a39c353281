#include "TpDialog.h"

#include "ui/paint/TpFont.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"

#include <algorithm>

namespace {

constexpr int kAutoWidth = 400;

} // namespace

TpDialog::TpDialog(TpWindowStack* list, const std::string& name)
    : TKrObject(nullptr, 0, kKeepsNothing), list_(list)
{
    SetName(name);
    TpCommand::SetVisible(false);
}

TpDialog::~TpDialog()
{
    // The controls go first, while the dialog they point at is whole.
    controls_.clear();
}

void TpDialog::SetTitle(const std::string& title)
{
    title_ = title;
    MarkDirty();
}

void TpDialog::SetClosesOnKey(bool on)
{
    closeOnKey_ = on ? 1 : 0;
    if (list_ != nullptr)
        list_->PublishTop();
}

void TpDialog::SetArea(const TpRect& area)
{
    area_ = area.Intersect(TpRect{0, 0, kLcdWidth, kLcdHeight});
    fixedArea_ = !area_.IsEmpty();
    MarkDirty();
}

TpRect TpDialog::Area() const
{
    if (fixedArea_)
        return area_;
    int rows = 0;
    for (const auto& c : controls_)
        if (c->IsShownOnScreen())
            rows += c->RowsWanted();
    const int h = std::min(kLcdHeight, 6 + (title_.empty() ? 0 : kRowHeight + 1) + std::max(1, rows) * kRowHeight);
    return TpRect{(kLcdWidth - kAutoWidth) / 2, (kLcdHeight - h) / 2, kAutoWidth, h};
}

TKrObject* TpDialog::AddControl(std::unique_ptr<TKrObject> control)
{
    if (control == nullptr)
        return nullptr;
    control->window_ = this;
    controls_.push_back(std::move(control));
    MarkDirty();
    return controls_.back().get();
}

TKrObject* TpDialog::FindControl(const std::string& name) const
{
    for (const auto& c : controls_)
        if (c->Name() == name)
            return c.get();
    return nullptr;
}

// --- focus -------------------------------------------------------------------------

TKrObject* TpDialog::FocusedControl() const
{
    for (const auto& c : controls_)
        if (c->IsFocused() && c->CanFocus())
            return c.get();
    return nullptr;
}

bool TpDialog::FocusFirst()
{
    for (const auto& c : controls_) {
        if (c->CanFocus()) {
            c->SetFocused(true);
            return true;
        }
    }
    return false;
}

void TpDialog::OnFocusGiven(TKrObject* control)
{
    for (const auto& c : controls_)
        if (c.get() != control && c->IsFocused())
            c->TpCommand::SetFocused(false);
    MarkDirty();
}

void TpDialog::ClearFocus(const std::string& name)
{
    bool clearing = false;
    for (const auto& c : controls_) {
        if (c->Name() == name)
            clearing = true;
        if (clearing && c->IsFocused())
            c->TpCommand::SetFocused(false);
    }
    if (clearing)
        MarkDirty();
}

bool TpDialog::MoveFocus(int direction)
{
    std::vector<TKrObject*> focusable;
    for (const auto& c : controls_)
        if (c->CanFocus())
            focusable.push_back(c.get());
    if (focusable.empty())
        return false;
    const TKrObject* current = FocusedControl();
    const auto at = std::find(focusable.begin(), focusable.end(), current);
    size_t next;
    if (at == focusable.end())
        next = direction > 0 ? 0 : focusable.size() - 1;
    else if (direction > 0)
        next = (static_cast<size_t>(at - focusable.begin()) + 1) % focusable.size();
    else
        next = (static_cast<size_t>(at - focusable.begin()) + focusable.size() - 1) % focusable.size();
    focusable[next]->SetFocused(true);
    return true;
}

// --- opening, closing and answers -----------------------------------------------------

bool TpDialog::IsOpen() const
{
    return list_ != nullptr && list_->IsOpen(this);
}

void TpDialog::Close()
{
    if (list_ != nullptr)
        list_->CloseWindow(this);
}

void TpDialog::BindAnswer(TpCommand* answer)
{
    answer_ = answer != nullptr ? std::make_unique<TpCommandRef>(answer) : nullptr;
}

bool TpDialog::HasAnswer() const
{
    return answer_ != nullptr && answer_->Get() != nullptr;
}

void TpDialog::Answer(int32_t value)
{
    // The answer's owner may open dialogs (this one too) or delete the answer
    // while it is told; the dialog is closed and unbound before.
    std::unique_ptr<TpCommandRef> answer = std::move(answer_);
    Close();
    if (answer != nullptr)
        if (TpCommand* cmd = answer->Get())
            cmd->SetValue(value);
}

void TpDialog::RunAction(TpWidgetAction action)
{
    switch (action) {
    case kActionClose: Close(); break;
    case kActionYes: Answer(1); break;
    case kActionNo: Answer(0); break;
    case kActionNone: break;
    }
}

void TpDialog::CloseByKey()
{
    if (answer_ != nullptr)
        Answer(0);
    else
        Close();
}

// --- keys ----------------------------------------------------------------------------

bool TpDialog::HandleKey(uint16_t key)
{
    switch (key) {
    case kKeyUp: return MoveFocus(-1);
    case kKeyDown: return MoveFocus(+1);
    case kKeyLeft:
    case kKeyRight: {
        TKrObject* focused = FocusedControl();
        return focused != nullptr && focused->Step(key == kKeyRight ? +1 : -1);
    }
    case kKeyOk: {
        TKrObject* focused = FocusedControl();
        return focused != nullptr && focused->Activate();
    }
    default: break;
    }
    for (const auto& c : controls_) {
        if (c->BoundKey() == key && c->IsShownOnScreen() && c->IsEnabled()) {
            c->Activate();
            return true;
        }
    }
    return false;
}

// --- drawing ---------------------------------------------------------------------------

int TpDialog::CaptionWidth(int innerWidth) const
{
    int widest = 0;
    for (const auto& c : controls_)
        if (c->IsShownOnScreen())
            widest = std::max(widest, TpScreenPainter::TextWidth(c->CaptionText()));
    if (widest == 0)
        return 0;
    // The caption takes at most half the row; the gap before the value comes
    // on top, so a caption as wide as half the row is drawn whole.
    return std::min(widest, (innerWidth - kMarkWidth) / 2) + kFontCellWidth;
}

int TpDialog::RowsBelow(const TKrObject* control, int rows) const
{
    if (control == nullptr)
        return 0;
    int end = 0;
    for (const auto& c : controls_) {
        if (c->IsShownOnScreen())
            end += c->RowsWanted();
        if (c.get() == control)
            return std::max(0, end - rows);
    }
    return 0;
}

void TpDialog::Paint(TpScreenPainter& painter) const
{
    const TpRect area = Area();
    const uint32_t back = GetBackColour() != 0 ? GetBackColour() : kColourDialog;
    painter.SetClip(area);
    painter.FillRect(area, back);
    painter.FrameRect(area, kColourBorder);
    int y = area.y + 2;
    if (!title_.empty()) {
        painter.FillRect(TpRect{area.x + 1, y - 1, area.w - 2, kRowHeight + 1}, kColourTitle);
        painter.DrawText(area.x + 4, y, title_, kColourText, area.w - 8);
        y += kRowHeight + 1;
    }
    const int innerX = area.x + 2;
    const int innerW = area.w - 4;
    const int captionWidth = CaptionWidth(innerW);
    int rowsLeft = std::max(0, (area.y + area.h - 2 - y) / kRowHeight);
    const TKrObject* focused = FocusedControl();
    // A window with more rows than it has room for starts further down, just
    // far enough for the focused control to show whole (or first, when it is
    // taller than the window).
    size_t first = 0;
    for (int hidden = RowsBelow(focused, rowsLeft); hidden > 0 && controls_[first].get() != focused; ++first)
        if (controls_[first]->IsShownOnScreen())
            hidden -= controls_[first]->RowsWanted();
    for (size_t i = first; i < controls_.size(); ++i) {
        const TKrObject* c = controls_[i].get();
        if (rowsLeft <= 0)
            break;
        if (!c->IsShownOnScreen())
            continue;
        TpDrawArea drawArea;
        drawArea.row = TpRect{innerX, y, innerW, kRowHeight};
        drawArea.captionWidth = captionWidth;
        drawArea.back = back;
        drawArea.focused = c == focused;
        const int used = c->Draw(painter, drawArea, rowsLeft);
        y += used * kRowHeight;
        rowsLeft -= used;
    }
    painter.ResetClip();
}
