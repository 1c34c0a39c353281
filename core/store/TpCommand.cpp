#include "TpCommand.h"

#include "TpStore.h"
#include "platform/DebugOut.h"

#include <algorithm>

TpCommand::TpCommand(int cmdId, CmdValueKind valueKind, uint8_t insertAtHead)
    : cmdId_(cmdId >= 0 && cmdId <= 0xFFFF ? static_cast<uint16_t>(cmdId) : 0), valueKind_(valueKind)
{
    if (cmdId < 0 || cmdId > 0xFFFF)
        DebugPrintf("ERROR: command id %d out of range\n", cmdId);
    Init(insertAtHead != 0);
}

TpCommand::TpCommand(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : cmdId_(cmdId), valueKind_(valueKind), parent_(parent)
{
    if (parent_ != nullptr)
        parent_->children_.push_back(this);
    Init(false);
}

void TpCommand::Init(bool insertAtHead)
{
    if (cmdId_ == 0)
        return;
    if (TpStore* store = TpStore::Instance())
        store->Link(this, insertAtHead);
}

TpCommand::~TpCommand()
{
    for (TpCommandRef* r = refs_; r != nullptr; r = r->next_)
        r->cmd_ = nullptr;
    refs_ = nullptr;
    if (store_ != nullptr)
        store_->Unlink(this);
    if (TpStore* store = TpStore::Instance()) {
        store->RemoveTask(this);
        store->RemoveRestoreHandler(this);
    }
    for (TpCommand* child : children_)
        child->parent_ = nullptr;
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

// --- reads ---------------------------------------------------------------------

int TpCommand::GetItemCount() const
{
    return static_cast<int>(Items().size());
}

std::string TpCommand::GetItemText(int item) const
{
    const auto& items = Items();
    if (item < 0 || static_cast<size_t>(item) >= items.size()) {
        if (valueKind_ == kKeepsValue)
            DebugPrintf("Invalid ItemIndex (GIT)\n");
        return std::string();
    }
    return items[static_cast<size_t>(item)].text;
}

int32_t TpCommand::GetItemValue(int item) const
{
    const auto& items = Items();
    return item >= 0 && static_cast<size_t>(item) < items.size() ? items[static_cast<size_t>(item)].value : 0;
}

bool TpCommand::GetItemEnabled(int item) const
{
    const auto& items = Items();
    return item >= 0 && static_cast<size_t>(item) < items.size() && items[static_cast<size_t>(item)].enabled;
}

uint32_t TpCommand::GetColour(int item) const
{
    const auto& items = Items();
    return item >= 0 && static_cast<size_t>(item) < items.size() ? items[static_cast<size_t>(item)].colour : 0;
}

uint32_t TpCommand::GetBackColour(int item) const
{
    const auto& items = Items();
    return item >= 0 && static_cast<size_t>(item) < items.size() ? items[static_cast<size_t>(item)].backColour : 0;
}

int TpCommand::GetItemValues(int32_t* out, int capacity) const
{
    if (out == nullptr || capacity <= 0)
        return 0;
    const auto& items = Items();
    int n = std::min(capacity, static_cast<int>(items.size()));
    for (int i = 0; i < n; ++i)
        out[i] = items[static_cast<size_t>(i)].value;
    return n;
}

std::string TpCommand::GetItemsText() const
{
    if (!HasList())
        return std::string();
    std::string joined;
    const auto& items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            joined += '\t';
        joined += items[i].text;
    }
    return joined;
}

int TpCommand::FindItemText(const std::string& text) const
{
    const auto& items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].text == text)
            return static_cast<int>(i);
    }
    return -1;
}

int TpCommand::GetEnabledItemCount() const
{
    const auto& items = Items();
    return static_cast<int>(std::count_if(items.begin(), items.end(), [](const TpItem& i) { return i.enabled; }));
}

// --- writers -------------------------------------------------------------------

int32_t TpCommand::SetValue(int32_t value)
{
    if (StoresValue())
        value_ = value;
    return value_;
}

void TpCommand::SetText(const std::string& text)
{
    text_ = text;
}

void TpCommand::SetEnabled(bool enabled)
{
    enabled_ = enabled ? 1 : 0;
}

void TpCommand::SetVisible(bool visible)
{
    visible_ = visible ? 1 : 0;
}

void TpCommand::SetColour(uint32_t colour)
{
    colour_ = colour;
}

void TpCommand::SetBackColour(uint32_t colour)
{
    backColour_ = colour;
}

void TpCommand::ClearItems()
{
    items_.clear();
}

void TpCommand::AddItem(const std::string& text, int32_t value)
{
    TpItem item;
    item.text = text;
    item.value = value;
    items_.push_back(std::move(item));
}

void TpCommand::AddItemValue(int32_t value)
{
    AddItem(std::string(), value);
}

void TpCommand::SetItemText(int item, const std::string& text)
{
    if (item >= 0 && static_cast<size_t>(item) < items_.size())
        items_[static_cast<size_t>(item)].text = text;
}

void TpCommand::SetItemValue(int item, int32_t value)
{
    if (item >= 0 && static_cast<size_t>(item) < items_.size())
        items_[static_cast<size_t>(item)].value = value;
}

void TpCommand::SetItemEnabled(int item, bool enabled)
{
    if (item >= 0 && static_cast<size_t>(item) < items_.size())
        items_[static_cast<size_t>(item)].enabled = enabled;
}

void TpCommand::SetItemColours(int item, uint32_t colour, uint32_t backColour)
{
    if (item >= 0 && static_cast<size_t>(item) < items_.size()) {
        items_[static_cast<size_t>(item)].colour = colour;
        items_[static_cast<size_t>(item)].backColour = backColour;
    }
}

void TpCommand::SetCharColours(const uint32_t* colours, int count)
{
    if (colours == nullptr || count <= 0)
        charColours_.clear();
    else
        charColours_.assign(colours, colours + count);
}

void TpCommand::SetFocused(bool focused)
{
    focused_ = focused ? 1 : 0;
}

void TpCommand::SetRangeEnabled(bool enabled)
{
    rangeEnabled_ = enabled ? 1 : 0;
}

void TpCommand::SetColumnCount(int count)
{
    columnCount_ = count;
}

void TpCommand::SetRowCount(int count)
{
    rowCount_ = count;
}

void TpCommand::SetEvenColumnWidth(int width)
{
    evenColumnWidth_ = width;
}

void TpCommand::SetOddColumnWidth(int width)
{
    oddColumnWidth_ = width;
}

void TpCommand::OnChildChanged(TpCommand*, int) {}
void TpCommand::OnTask() {}
void TpCommand::OnRestored() {}

// --- every command of the id -------------------------------------------------------
// Outside the store the change goes to this command alone, under the same
// "only when it differs" rule the store applies.

void TpCommand::SetValueAll(int32_t value)
{
    if (store_ != nullptr)
        store_->SetValue(cmdId_, value);
    else if (value_ != value)
        SetValue(value);
}

void TpCommand::SetTextAll(const std::string& text)
{
    if (store_ != nullptr)
        store_->SetText(cmdId_, text);
    else if (GetText() != text)
        SetText(text);
}

void TpCommand::SetEnabledAll(bool enabled)
{
    if (store_ != nullptr)
        store_->SetEnabled(cmdId_, enabled);
    else if (IsEnabled() != enabled)
        SetEnabled(enabled);
}

void TpCommand::SetVisibleAll(bool visible)
{
    if (store_ != nullptr)
        store_->SetVisible(cmdId_, visible);
    else if (IsVisible() != visible)
        SetVisible(visible);
}

void TpCommand::SetColourAll(uint32_t colour)
{
    if (store_ != nullptr)
        store_->SetColour(cmdId_, colour);
    else if (colour_ != colour)
        SetColour(colour);
}

void TpCommand::SetBackColourAll(uint32_t colour)
{
    if (store_ != nullptr)
        store_->SetBackColour(cmdId_, colour);
    else if (backColour_ != colour)
        SetBackColour(colour);
}

void TpCommand::ClearItemsAll()
{
    if (store_ != nullptr)
        store_->ClearItems(cmdId_);
    else
        ClearItems();
}

void TpCommand::AddItemAll(const std::string& text, int32_t value)
{
    if (store_ != nullptr)
        store_->AddItem(cmdId_, text, value);
    else
        AddItem(text, value);
}

void TpCommand::SetItemTextAll(int item, const std::string& text)
{
    if (store_ != nullptr)
        store_->SetItemText(cmdId_, item, text);
    else if (item >= 0 && item < GetItemCount() && GetItemText(item) != text)
        SetItemText(item, text);
}

void TpCommand::SetItemEnabledAll(int item, bool enabled)
{
    if (store_ != nullptr)
        store_->SetItemEnabled(cmdId_, item, enabled);
    else if (item >= 0 && item < GetItemCount() && GetItemEnabled(item) != enabled)
        SetItemEnabled(item, enabled);
}

void TpCommand::SetItemColoursAll(int item, uint32_t colour, uint32_t backColour)
{
    if (store_ != nullptr)
        store_->SetItemColours(cmdId_, item, colour, backColour);
    else if (item >= 0 && item < GetItemCount() &&
             (GetColour(item) != colour || GetBackColour(item) != backColour))
        SetItemColours(item, colour, backColour);
}

void TpCommand::SetCharColoursAll(const uint32_t* colours, int count)
{
    if (store_ != nullptr) {
        store_->SetCharColours(cmdId_, colours, count);
        return;
    }
    std::vector<uint32_t> wanted;
    if (colours != nullptr && count > 0)
        wanted.assign(colours, colours + count);
    if (charColours_ != wanted)
        SetCharColours(colours, count);
}

void TpCommand::SetFocusedAll(bool focused)
{
    if (store_ != nullptr)
        store_->SetFocused(cmdId_, focused);
    else if (IsFocused() != focused)
        SetFocused(focused);
}

// --- TpCommandRef --------------------------------------------------------------

TpCommandRef::TpCommandRef(TpCommand* cmd) : cmd_(cmd)
{
    if (cmd_ != nullptr) {
        next_ = cmd_->refs_;
        cmd_->refs_ = this;
    }
}

TpCommandRef::~TpCommandRef()
{
    if (cmd_ == nullptr)
        return;
    for (TpCommandRef** p = &cmd_->refs_; *p != nullptr; p = &(*p)->next_) {
        if (*p == this) {
            *p = next_;
            break;
        }
    }
}
