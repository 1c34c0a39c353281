#include "TpStore.h"

#include "platform/DebugOut.h"

#include <algorithm>

namespace {

TpStore* g_store = nullptr;

// The kinds of change a chain walk gives.
enum DispatchOp : int {
    kOpValue,
    kOpText,
    kOpEnabled,
    kOpVisible,
    kOpColour,
    kOpBackColour,
    kOpClearItems,
    kOpAddItem,
    kOpItemText,
    kOpItemValue,
    kOpItemEnabled,
    kOpItemColours,
    kOpCharColours,
    kOpFocused,
    kOpRangeEnabled,
    kOpColumnCount,
    kOpRowCount,
    kOpEvenWidth,
    kOpOddWidth,
};

// A newer change of these kinds replaces an older one of the same kind on
// the same id (and item); adding and clearing items do not replace each
// other: every one of them counts.
bool Replaces(int op)
{
    return op != kOpAddItem && op != kOpClearItems;
}

bool ValidItem(const TpCommand* c, int item)
{
    return item >= 0 && item < c->GetItemCount();
}

} // namespace

// --- TpCommandEntries ------------------------------------------------------------

TpCommandEntries::TpCommandEntries() : entries_(kEntryCount) {}

TpCommand* TpCommandEntries::GetCmd(unsigned cmdId) const
{
    return cmdId < kEntryCount ? entries_[cmdId].head : nullptr;
}

const TpCommandEntry* TpCommandEntries::Entry(unsigned cmdId) const
{
    return cmdId < kEntryCount ? &entries_[cmdId] : nullptr;
}

// --- TpStore ---------------------------------------------------------------------

// One walk over a chain in progress. Commands that leave the chain during the
// walk move `next` on; a newer change of the same kind marks it superseded.
struct TpStore::Walk {
    unsigned cmdId;
    int op;
    int item;
    TpCommand* next;
    bool superseded;
    Walk* outer;
};

TpStore::TpStore()
{
    g_store = this;
}

TpStore::~TpStore()
{
    for (TpCommandEntry& e : entries_) {
        for (TpCommand* c = e.head; c != nullptr;) {
            TpCommand* next = c->chainNext_;
            c->store_ = nullptr;
            c->chainPrev_ = nullptr;
            c->chainNext_ = nullptr;
            c = next;
        }
        e.head = nullptr;
        e.tail = nullptr;
    }
    if (g_store == this)
        g_store = nullptr;
}

TpStore* TpStore::Instance()
{
    return g_store;
}

bool TpStore::DefineEntry(unsigned cmdId, uint8_t storeKind, uint8_t storeMask, int32_t defaultValue,
                          const std::string& defaultText)
{
    if (cmdId == 0 || cmdId >= kEntryCount)
        return false;
    TpCommandEntry& e = entries_[cmdId];
    e.storeKind = storeKind;
    e.storeMask = storeMask;
    e.defaultValue = defaultValue;
    e.defaultText = defaultText;
    e.defined = true;
    return true;
}

void TpStore::Link(TpCommand* cmd, bool atHead)
{
    const unsigned id = cmd->cmdId_;
    if (id == 0)
        return;
    if (id >= kEntryCount) {
        DebugPrintf("ERROR: command id %u is beyond the store's table\n", id);
        return;
    }
    TpCommandEntry& e = entries_[id];
    if (atHead) {
        cmd->chainNext_ = e.head;
        if (e.head != nullptr)
            e.head->chainPrev_ = cmd;
        else
            e.tail = cmd;
        e.head = cmd;
    } else {
        cmd->chainPrev_ = e.tail;
        if (e.tail != nullptr)
            e.tail->chainNext_ = cmd;
        else
            e.head = cmd;
        e.tail = cmd;
    }
    cmd->store_ = this;
}

void TpStore::Unlink(TpCommand* cmd)
{
    for (Walk* w = walks_; w != nullptr; w = w->outer)
        if (w->next == cmd)
            w->next = cmd->chainNext_;
    TpCommandEntry& e = entries_[cmd->cmdId_];
    if (cmd->chainPrev_ != nullptr)
        cmd->chainPrev_->chainNext_ = cmd->chainNext_;
    else
        e.head = cmd->chainNext_;
    if (cmd->chainNext_ != nullptr)
        cmd->chainNext_->chainPrev_ = cmd->chainPrev_;
    else
        e.tail = cmd->chainPrev_;
    cmd->chainPrev_ = nullptr;
    cmd->chainNext_ = nullptr;
    cmd->store_ = nullptr;
}

template <class Differs, class Apply>
void TpStore::Dispatch(unsigned cmdId, int op, int item, Differs differs, Apply apply)
{
    TpCommand* cmd = GetCmd(cmdId);
    if (cmd == nullptr)
        return;
    if (Replaces(op))
        for (Walk* w = walks_; w != nullptr; w = w->outer)
            if (w->cmdId == cmdId && w->op == op && w->item == item)
                w->superseded = true;
    Walk walk{cmdId, op, item, nullptr, false, walks_};
    walks_ = &walk;
    while (cmd != nullptr && !walk.superseded) {
        walk.next = cmd->chainNext_;
        if (differs(cmd))
            apply(cmd);   // may delete cmd or others; walk.next follows
        cmd = walk.next;
    }
    walks_ = walk.outer;
}

int32_t TpStore::SetValue(unsigned cmdId, int32_t value)
{
    Dispatch(cmdId, kOpValue, 0,
             [&](TpCommand* c) { return c->GetValue() != value; },
             [&](TpCommand* c) { c->SetValue(value); });
    return GetValue(cmdId);
}

void TpStore::SetText(unsigned cmdId, const std::string& text)
{
    const std::string t = text;   // the caller's string may change while commands are told
    Dispatch(cmdId, kOpText, 0,
             [&](TpCommand* c) { return c->GetText() != t; },
             [&](TpCommand* c) { c->SetText(t); });
}

void TpStore::SetEnabled(unsigned cmdId, bool enabled)
{
    Dispatch(cmdId, kOpEnabled, 0,
             [&](TpCommand* c) { return c->IsEnabled() != enabled; },
             [&](TpCommand* c) { c->SetEnabled(enabled); });
}

void TpStore::SetVisible(unsigned cmdId, bool visible)
{
    Dispatch(cmdId, kOpVisible, 0,
             [&](TpCommand* c) { return c->IsVisible() != visible; },
             [&](TpCommand* c) { c->SetVisible(visible); });
}

void TpStore::SetColour(unsigned cmdId, uint32_t colour)
{
    Dispatch(cmdId, kOpColour, 0,
             [&](TpCommand* c) { return c->GetColour() != colour; },
             [&](TpCommand* c) { c->SetColour(colour); });
}

void TpStore::SetBackColour(unsigned cmdId, uint32_t colour)
{
    Dispatch(cmdId, kOpBackColour, 0,
             [&](TpCommand* c) { return c->GetBackColour() != colour; },
             [&](TpCommand* c) { c->SetBackColour(colour); });
}

void TpStore::ClearItems(unsigned cmdId)
{
    Dispatch(cmdId, kOpClearItems, 0,
             [&](TpCommand* c) { return c->GetItemCount() > 0; },
             [&](TpCommand* c) { c->ClearItems(); });
}

void TpStore::AddItem(unsigned cmdId, const std::string& text, int32_t value)
{
    const std::string t = text;
    Dispatch(cmdId, kOpAddItem, 0,
             [&](TpCommand*) { return true; },
             [&](TpCommand* c) { c->AddItem(t, value); });
}

void TpStore::AddItemValue(unsigned cmdId, int32_t value)
{
    Dispatch(cmdId, kOpAddItem, 0,
             [&](TpCommand*) { return true; },
             [&](TpCommand* c) { c->AddItemValue(value); });
}

void TpStore::SetItemText(unsigned cmdId, int item, const std::string& text)
{
    const std::string t = text;
    Dispatch(cmdId, kOpItemText, item,
             [&](TpCommand* c) { return ValidItem(c, item) && c->GetItemText(item) != t; },
             [&](TpCommand* c) { c->SetItemText(item, t); });
}

void TpStore::SetItemValue(unsigned cmdId, int item, int32_t value)
{
    Dispatch(cmdId, kOpItemValue, item,
             [&](TpCommand* c) { return ValidItem(c, item) && c->GetItemValue(item) != value; },
             [&](TpCommand* c) { c->SetItemValue(item, value); });
}

void TpStore::SetItemEnabled(unsigned cmdId, int item, bool enabled)
{
    Dispatch(cmdId, kOpItemEnabled, item,
             [&](TpCommand* c) { return ValidItem(c, item) && c->GetItemEnabled(item) != enabled; },
             [&](TpCommand* c) { c->SetItemEnabled(item, enabled); });
}

void TpStore::SetItemColours(unsigned cmdId, int item, uint32_t colour, uint32_t backColour)
{
    Dispatch(cmdId, kOpItemColours, item,
             [&](TpCommand* c) {
                 return ValidItem(c, item) &&
                        (c->GetColour(item) != colour || c->GetBackColour(item) != backColour);
             },
             [&](TpCommand* c) { c->SetItemColours(item, colour, backColour); });
}

void TpStore::SetCharColours(unsigned cmdId, const uint32_t* colours, int count)
{
    std::vector<uint32_t> wanted;
    if (colours != nullptr && count > 0)
        wanted.assign(colours, colours + count);
    Dispatch(cmdId, kOpCharColours, 0,
             [&](TpCommand* c) { return c->GetCharColours() != wanted; },
             [&](TpCommand* c) { c->SetCharColours(wanted.data(), static_cast<int>(wanted.size())); });
}

void TpStore::SetFocused(unsigned cmdId, bool focused)
{
    Dispatch(cmdId, kOpFocused, 0,
             [&](TpCommand* c) { return c->IsFocused() != focused; },
             [&](TpCommand* c) { c->SetFocused(focused); });
}

void TpStore::SetRangeEnabled(unsigned cmdId, bool enabled)
{
    Dispatch(cmdId, kOpRangeEnabled, 0,
             [&](TpCommand* c) { return c->IsRangeEnabled() != enabled; },
             [&](TpCommand* c) { c->SetRangeEnabled(enabled); });
}

void TpStore::SetColumnCount(unsigned cmdId, int count)
{
    Dispatch(cmdId, kOpColumnCount, 0,
             [&](TpCommand* c) { return c->GetColumnCount() != count; },
             [&](TpCommand* c) { c->SetColumnCount(count); });
}

void TpStore::SetRowCount(unsigned cmdId, int count)
{
    Dispatch(cmdId, kOpRowCount, 0,
             [&](TpCommand* c) { return c->GetRowCount() != count; },
             [&](TpCommand* c) { c->SetRowCount(count); });
}

void TpStore::SetEvenColumnWidth(unsigned cmdId, int width)
{
    Dispatch(cmdId, kOpEvenWidth, 0,
             [&](TpCommand* c) { return c->GetEvenColumnWidth() != width; },
             [&](TpCommand* c) { c->SetEvenColumnWidth(width); });
}

void TpStore::SetOddColumnWidth(unsigned cmdId, int width)
{
    Dispatch(cmdId, kOpOddWidth, 0,
             [&](TpCommand* c) { return c->GetOddColumnWidth() != width; },
             [&](TpCommand* c) { c->SetOddColumnWidth(width); });
}

int32_t TpStore::GetValue(unsigned cmdId) const
{
    const TpCommand* c = GetCmd(cmdId);
    return c != nullptr ? c->GetValue() : 0;
}

std::string TpStore::GetCmdText(unsigned cmdId) const
{
    const TpCommand* c = GetCmd(cmdId);
    return c != nullptr ? c->GetText() : std::string();
}

// --- load state and restore -------------------------------------------------------

void TpStore::AddRestoreHandler(TpCommand* handler)
{
    if (handler != nullptr &&
        std::find(restoreHandlers_.begin(), restoreHandlers_.end(), handler) == restoreHandlers_.end())
        restoreHandlers_.push_back(handler);
}

void TpStore::RemoveRestoreHandler(TpCommand* handler)
{
    if (restoring_ > 0) {
        // The list is being walked: mark, and sweep when the walk is over.
        for (TpCommand*& h : restoreHandlers_)
            if (h == handler) {
                h = nullptr;
                handlersRemoved_ = true;
            }
        return;
    }
    restoreHandlers_.erase(std::remove(restoreHandlers_.begin(), restoreHandlers_.end(), handler),
                           restoreHandlers_.end());
}

void TpStore::RunRestoreHandlers()
{
    ++restoring_;
    const size_t count = restoreHandlers_.size();
    for (size_t i = 0; i < count; ++i)
        if (TpCommand* h = restoreHandlers_[i])
            h->OnRestored();
    if (--restoring_ == 0 && handlersRemoved_) {
        restoreHandlers_.erase(std::remove(restoreHandlers_.begin(), restoreHandlers_.end(), nullptr),
                               restoreHandlers_.end());
        handlersRemoved_ = false;
    }
}

void TpStore::ApplyDefaults()
{
    loadState_ = kLoadDefaults;
    for (unsigned id = 1; id < kEntryCount; ++id) {
        const TpCommandEntry& e = entries_[id];
        if (!e.defined)
            continue;
        const int32_t value = e.defaultValue;
        const std::string text = e.defaultText;
        const uint8_t kind = e.storeKind;
        if (kind & kStoreValue)
            SetValue(id, value);
        if (kind & kStoreText)
            SetText(id, text);
    }
    loadState_ = kLoadNormal;
    RunRestoreHandlers();
}

TpMemory TpStore::CaptureMemory(unsigned number, const std::string& name) const
{
    TpMemory memory;
    memory.number = number;
    memory.name = name;
    for (unsigned id = 1; id < kEntryCount; ++id) {
        const TpCommandEntry& e = entries_[id];
        if (!e.defined || !(e.storeMask & kStoreMemory) || e.head == nullptr || e.storeKind == 0)
            continue;
        TpMemoryValue v;
        v.cmdId = static_cast<uint16_t>(id);
        if (e.storeKind & kStoreValue) {
            v.hasValue = true;
            v.value = e.head->GetValue();
        }
        if (e.storeKind & kStoreText) {
            v.hasText = true;
            v.text = e.head->GetText();
        }
        memory.values.push_back(std::move(v));
    }
    return memory;
}

void TpStore::RecallMemory(const TpMemory& memory)
{
    loadState_ = kLoadMemory;
    for (const TpMemoryValue& v : memory.values) {
        if (v.cmdId == 0 || v.cmdId >= kEntryCount)
            continue;
        const TpCommandEntry& e = entries_[v.cmdId];
        if (!e.defined || !(e.storeMask & kStoreMemory))
            continue;
        if (v.hasValue && (e.storeKind & kStoreValue))
            SetValue(v.cmdId, v.value);
        if (v.hasText && (e.storeKind & kStoreText))
            SetText(v.cmdId, v.text);
    }
    loadState_ = kLoadNormal;
    RunRestoreHandlers();
}

// --- periodic tasks ---------------------------------------------------------------

int TpStore::PeriodTicks(int periodMs)
{
    return periodMs <= 0 ? 1 : (periodMs - 1) / 20 + 1;
}

bool TpStore::AddTask(TpCommand* owner, const std::string& name, int periodMs, bool always, bool startAtOnce)
{
    if (owner == nullptr)
        return false;
    RemoveTask(owner);
    TpTask task;
    task.owner = owner;
    task.name = name;
    task.periodTicks = PeriodTicks(periodMs);
    task.countdown = startAtOnce ? 1 : task.periodTicks;
    task.always = always;
    tasks_.push_back(std::move(task));
    return true;
}

void TpStore::RemoveTask(TpCommand* owner)
{
    if (owner == nullptr)
        return;
    if (ticking_) {
        // The list is being walked: mark, and sweep when the tick is over.
        for (TpTask& t : tasks_)
            if (t.owner == owner) {
                t.owner = nullptr;
                tasksRemoved_ = true;
            }
        return;
    }
    tasks_.erase(std::remove_if(tasks_.begin(), tasks_.end(), [&](const TpTask& t) { return t.owner == owner; }),
                 tasks_.end());
}

void TpStore::SetTaskPeriod(TpCommand* owner, int periodMs)
{
    const int ticks = PeriodTicks(periodMs);
    for (TpTask& t : tasks_)
        if (t.owner == owner && owner != nullptr && t.periodTicks != ticks) {
            t.periodTicks = ticks;
            t.countdown = ticks;
        }
}

void TpStore::Tick()
{
    if (ticking_)
        return;   // a task's OnTask asked for a tick: the current one goes on
    ticking_ = true;
    const size_t count = tasks_.size();   // tasks added now count from the next tick
    for (size_t i = 0; i < count; ++i) {
        TpTask& t = tasks_[i];
        if (t.owner == nullptr || (IsLoading() && !t.always))
            continue;
        if (--t.countdown > 0)
            continue;
        t.countdown = t.periodTicks;
        TpCommand* owner = t.owner;   // tasks_ may grow (and move) during OnTask
        owner->OnTask();
    }
    ticking_ = false;
    if (tasksRemoved_)
        SweepTasks();
}

void TpStore::SweepTasks()
{
    tasks_.erase(std::remove_if(tasks_.begin(), tasks_.end(), [](const TpTask& t) { return t.owner == nullptr; }),
                 tasks_.end());
    tasksRemoved_ = false;
}

const TpTask* TpStore::FindTask(const TpCommand* owner) const
{
    for (const TpTask& t : tasks_)
        if (t.owner == owner && owner != nullptr)
            return &t;
    return nullptr;
}

int TpStore::TaskCount() const
{
    return static_cast<int>(std::count_if(tasks_.begin(), tasks_.end(), [](const TpTask& t) { return t.owner != nullptr; }));
}
