#include "TKrObject.h"

#include "TpDialog.h"
#include "TpPageControl.h"
#include "core/store/TpStore.h"

#include <algorithm>

TKrObject::TKrObject(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpCommand(parent, cmdId, valueKind)
{
    TakeChainState();
}

TKrObject::TKrObject(int cmdId, CmdValueKind valueKind, uint8_t insertAtHead)
    : TpCommand(cmdId, valueKind, insertAtHead)
{
    TakeChainState();
}

void TKrObject::TakeChainState()
{
    TpStore* store = Store();
    if (store == nullptr)
        return;
    const TpCommand* other = store->GetCmd(CmdId());
    if (other == this)
        other = NextInChain();
    if (other == nullptr)
        return;
    if (StoresValue())
        value_ = other->GetValue();
    text_ = other->GetText();
}

void TKrObject::SetCaption(const std::string& caption)
{
    caption_ = caption;
    MarkDirty();
}

void TKrObject::ShowOnPage(TpPageControl* owner, int page)
{
    pageOwner_ = owner;
    page_ = page;
    MarkDirty();
}

bool TKrObject::IsShownOnScreen() const
{
    if (!IsVisible())
        return false;
    if (pageOwner_ == nullptr)
        return true;
    return pageOwner_->IsShownOnScreen() && pageOwner_->GetValue() == page_;
}

void TKrObject::MarkDirty()
{
    if (window_ != nullptr)
        window_->MarkDirty();
}

// --- keys -------------------------------------------------------------------------

bool TKrObject::Step(int)
{
    return false;
}

bool TKrObject::Activate()
{
    return false;
}

bool TKrObject::StepItem(int direction)
{
    const int count = GetItemCount();
    if (count == 0 || direction == 0)
        return false;
    int i = GetValue();
    if (i < 0 || i >= count)
        i = direction > 0 ? -1 : count;
    for (i += direction > 0 ? 1 : -1; i >= 0 && i < count; i += direction > 0 ? 1 : -1) {
        if (GetItemEnabled(i)) {
            SetValueAll(i);
            return true;
        }
    }
    return false;
}

std::string TKrObject::SelectedItemText() const
{
    const int v = GetValue();
    return v >= 0 && v < GetItemCount() ? Items()[static_cast<size_t>(v)].text : std::string();
}

// --- drawing ------------------------------------------------------------------------

std::string TKrObject::ValueText() const
{
    if (HasList())
        return SelectedItemText();
    bool text = false;
    switch (shows_) {
    case kShowsText: text = true; break;
    case kShowsValue: text = false; break;
    case kShowsByKind:
        text = ValueKind() == kKeepsNothing || ValueKind() == kKeepsText ||
               (ValueKind() >= kKeepsValueText && !GetText().empty());
        break;
    }
    return text ? GetText() : std::to_string(GetValue());
}

uint32_t TKrObject::TextColour() const
{
    if (!IsEnabled())
        return kColourDisabled;
    return GetColour() != 0 ? GetColour() : kColourText;
}

uint32_t TKrObject::BackColour(uint32_t windowBack) const
{
    return GetBackColour() != 0 ? GetBackColour() : windowBack;
}

void TKrObject::DrawRow(TpScreenPainter& painter, const TpDrawArea& area, const std::string& caption,
                        const std::string& value, const std::vector<uint32_t>* valueColours) const
{
    const TpRect& row = area.row;
    const uint32_t back = BackColour(area.back);
    const uint32_t fore = TextColour();
    painter.FillRect(row, back);
    if (area.focused)
        painter.DrawText(row.x, row.y, ">", kColourFocus, kMarkWidth);
    int x = row.x + kMarkWidth;
    const int right = row.x + row.w;
    if (!caption.empty()) {
        painter.DrawText(x, row.y, caption, fore, std::min(area.captionWidth, right - x));
        x += area.captionWidth;
    }
    if (x >= right)
        return;
    if (area.focused) {
        const int w = std::min(right - x, TpScreenPainter::TextWidth(value) + 2);
        painter.FillRect(TpRect{x, row.y, std::max(w, 4), row.h}, kColourFocus);
        painter.DrawText(x + 1, row.y, value, kColourFocusText, right - x - 1);
    } else {
        painter.DrawText(x + 1, row.y, value, fore, right - x - 1, valueColours);
    }
}

int TKrObject::Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const
{
    if (maxRows < 1)
        return 0;
    const auto& colours = GetCharColours();
    DrawRow(painter, area, CaptionText(), ValueText(), colours.empty() ? nullptr : &colours);
    return 1;
}

// --- writers ----------------------------------------------------------------------

int32_t TKrObject::SetValue(int32_t value)
{
    const int32_t result = TpCommand::SetValue(value);
    MarkDirty();
    return result;
}

void TKrObject::SetText(const std::string& text)
{
    TpCommand::SetText(text);
    MarkDirty();
}

void TKrObject::SetEnabled(bool enabled)
{
    TpCommand::SetEnabled(enabled);
    MarkDirty();
}

void TKrObject::SetVisible(bool visible)
{
    TpCommand::SetVisible(visible);
    MarkDirty();
}

void TKrObject::SetColour(uint32_t colour)
{
    TpCommand::SetColour(colour);
    MarkDirty();
}

void TKrObject::SetBackColour(uint32_t colour)
{
    TpCommand::SetBackColour(colour);
    MarkDirty();
}

void TKrObject::ClearItems()
{
    TpCommand::ClearItems();
    MarkDirty();
}

void TKrObject::AddItem(const std::string& text, int32_t value)
{
    TpCommand::AddItem(text, value);
    MarkDirty();
}

void TKrObject::AddItemValue(int32_t value)
{
    TpCommand::AddItemValue(value);
    MarkDirty();
}

void TKrObject::SetItemText(int item, const std::string& text)
{
    TpCommand::SetItemText(item, text);
    MarkDirty();
}

void TKrObject::SetItemEnabled(int item, bool enabled)
{
    TpCommand::SetItemEnabled(item, enabled);
    MarkDirty();
}

void TKrObject::SetItemColours(int item, uint32_t colour, uint32_t backColour)
{
    TpCommand::SetItemColours(item, colour, backColour);
    MarkDirty();
}

void TKrObject::SetCharColours(const uint32_t* colours, int count)
{
    TpCommand::SetCharColours(colours, count);
    MarkDirty();
}

void TKrObject::SetFocused(bool focused)
{
    TpCommand::SetFocused(focused);
    MarkDirty();
    if (focused && window_ != nullptr)
        window_->OnFocusGiven(this);
}

void TKrObject::SetColumnCount(int count)
{
    TpCommand::SetColumnCount(count);
    MarkDirty();
}

void TKrObject::SetRowCount(int count)
{
    TpCommand::SetRowCount(count);
    MarkDirty();
}

void TKrObject::SetEvenColumnWidth(int width)
{
    TpCommand::SetEvenColumnWidth(width);
    MarkDirty();
}

void TKrObject::SetOddColumnWidth(int width)
{
    TpCommand::SetOddColumnWidth(width);
    MarkDirty();
}

// --- lookups ----------------------------------------------------------------------

int GetWidgetType(const TpCommand* cmd)
{
    const auto* widget = dynamic_cast<const TKrObject*>(cmd);
    return widget != nullptr ? widget->WidgetType() : kWidgetNone;
}

namespace {

template <class Accept>
TKrObject* FindInChain(unsigned cmdId, Accept accept)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return nullptr;
    for (TpCommand* c = store->GetCmd(cmdId); c != nullptr; c = c->NextInChain())
        if (auto* w = dynamic_cast<TKrObject*>(c); w != nullptr && accept(w))
            return w;
    return nullptr;
}

} // namespace

TKrObject* FirstWidget(unsigned cmdId, int widgetType)
{
    return FindInChain(cmdId, [&](TKrObject* w) { return widgetType < 0 || w->WidgetType() == widgetType; });
}

TKrObject* FirstDisplayWidget(unsigned cmdId)
{
    return FindInChain(cmdId, [](TKrObject* w) { return w->Window() != nullptr; });
}

TKrObject* InputWidget(unsigned cmdId)
{
    return FindInChain(cmdId, [](TKrObject* w) { return w->Window() != nullptr && w->TakesFocus(); });
}
