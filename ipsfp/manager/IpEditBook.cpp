#include "IpEditBook.h"

#include <algorithm>
#include <utility>

size_t IpEditBook::IndexOf(const SfpParamRow& row)
{
    return static_cast<size_t>(&row - SfpParamTable::Instance().Rows().data());
}

bool IpEditBook::InSet(const SfpParamRow& row, IpEditSet set)
{
    return (set == IpEditSet::Controller ? row.inControllerSet : row.inFlowSet) != 0;
}

namespace {

// The edit of the row (its index) for the page in the state.
auto SameSlot(size_t row, uint8_t page, IpEditState state)
{
    return [row, page, state](const IpEdit& e) { return e.row == row && e.page == page && e.state == state; };
}

} // namespace

IpEdit& IpEditBook::Put(const SfpParamRow& row, uint8_t page, bool second, int32_t value, IpEditState state)
{
    const size_t index = IndexOf(row);
    const auto it = std::ranges::find_if(edits_, SameSlot(index, page, state));
    IpEdit& edit = it != edits_.end() ? *it : edits_.emplace_back();
    edit = IpEdit {static_cast<uint16_t>(index), page, static_cast<uint8_t>(second ? 1 : 0), state, 0, value};
    return edit;
}

const IpEdit& IpEditBook::Book(const SfpParamRow& row, uint8_t page, bool second, int32_t value)
{
    const bool typed = row.inControllerSet != 0 || row.inFlowSet != 0;
    IpEdit& edit = Put(row, page, second, value, typed ? IpEditState::Typed : IpEditState::Applied);
    NoteShown(edit.Control(row), page);
    return edit;
}

const IpEdit& IpEditBook::BookApplied(const SfpParamRow& row, uint8_t page, bool second, int32_t value)
{
    return Put(row, page, second, value, IpEditState::Applied);
}

void IpEditBook::HoldTransmit(const SfpParamRow& row, uint8_t page)
{
    if (Find(row, page) == nullptr)
        Put(row, page, false, 0, IpEditState::Applied).onlyIfSet = 1;
}

const IpEdit* IpEditBook::Find(const SfpParamRow& row, uint8_t page) const
{
    const IpEdit* applied = Find(row, page, IpEditState::Applied);
    return applied != nullptr ? applied : Find(row, page, IpEditState::Typed);
}

const IpEdit* IpEditBook::Find(const SfpParamRow& row, uint8_t page, IpEditState state) const
{
    const auto it = std::ranges::find_if(edits_, SameSlot(IndexOf(row), page, state));
    return it != edits_.end() ? &*it : nullptr;
}

bool IpEditBook::HasEdit(const SfpParamRow& row) const
{
    const size_t index = IndexOf(row);
    return std::ranges::any_of(edits_, [index](const IpEdit& e) { return e.row == index; });
}

void IpEditBook::Drop(const SfpParamRow& row, uint8_t page, IpEditState state)
{
    std::erase_if(edits_, SameSlot(IndexOf(row), page, state));
}

void IpEditBook::DropAll(const SfpParamRow& row)
{
    const size_t index = IndexOf(row);
    std::erase_if(edits_, [index](const IpEdit& e) { return e.row == index; });
}

void IpEditBook::DropEdits() { edits_.clear(); }

std::vector<uint8_t> IpEditBook::Apply(IpEditSet set)
{
    const auto rows = SfpParamTable::Instance().Rows();
    const auto typedOfSet = [&](const IpEdit& e) { return e.state == IpEditState::Typed && InSet(rows[e.row], set); };
    // An applied edit still waiting gives way to the one applied now for its row and page.
    std::vector<uint32_t> slots;
    for (const IpEdit& e : edits_)
        if (typedOfSet(e))
            slots.push_back(Key(e.row, e.page));
    std::erase_if(edits_, [&](const IpEdit& e) {
        return e.state == IpEditState::Applied && std::ranges::find(slots, Key(e.row, e.page)) != slots.end();
    });
    std::vector<uint8_t> pages;
    for (IpEdit& e : edits_) {
        if (!typedOfSet(e))
            continue;
        e.state = IpEditState::Applied;
        if (std::ranges::find(pages, e.page) == pages.end())
            pages.push_back(e.page);
    }
    return pages;
}

std::vector<IpEdit> IpEditBook::TakeTyped(IpEditSet set)
{
    const auto rows = SfpParamTable::Instance().Rows();
    std::vector<IpEdit> taken;
    std::erase_if(edits_, [&](const IpEdit& e) {
        if (e.state != IpEditState::Typed || !InSet(rows[e.row], set))
            return false;
        taken.push_back(e);
        return true;
    });
    return taken;
}

bool IpEditBook::AppliedOn(uint8_t page, bool flowSetOnly) const
{
    const auto rows = SfpParamTable::Instance().Rows();
    return std::ranges::any_of(edits_, [&](const IpEdit& e) {
        return e.page == page && e.state == IpEditState::Applied && (!flowSetOnly || rows[e.row].inFlowSet != 0);
    });
}

size_t IpEditBook::CountOn(uint8_t page) const
{
    return static_cast<size_t>(std::ranges::count_if(edits_, [page](const IpEdit& e) { return e.page == page; }));
}

bool IpEditBook::PageHolds(const SfpParamRow& row, uint8_t page, int32_t value) const
{
    const IpEdit* applied = Find(row, page, IpEditState::Applied);
    return LastRead(row, page) == value && (applied == nullptr || applied->value == value);
}

void IpEditBook::NoteTransmitOff(uint8_t page)
{
    if (std::ranges::find(transmitOff_, page) == transmitOff_.end())
        transmitOff_.push_back(page);
}

bool IpEditBook::TakeTransmitOff(uint8_t page) { return std::erase(transmitOff_, page) != 0; }

std::vector<uint8_t> IpEditBook::TakeAllTransmitOff() { return std::exchange(transmitOff_, {}); }

void IpEditBook::NoteRead(const SfpParamRow& row, uint8_t page, int32_t number)
{
    lastRead_[Key(IndexOf(row), page)] = number;
}

std::optional<int32_t> IpEditBook::LastRead(const SfpParamRow& row, uint8_t page) const
{
    const auto it = lastRead_.find(Key(IndexOf(row), page));
    return it == lastRead_.end() ? std::nullopt : std::optional<int32_t>(it->second);
}

void IpEditBook::NoteShown(unsigned cmdId, uint8_t page)
{
    if (InTable(cmdId))
        shownPage_[cmdId - SfpParamTable::kFirstCmdId] = page;
}

uint8_t IpEditBook::ShownPage(unsigned cmdId) const
{
    return InTable(cmdId) ? shownPage_[cmdId - SfpParamTable::kFirstCmdId] : 0;
}

void IpEditBook::Clear()
{
    edits_.clear();
    transmitOff_.clear();
    lastRead_.clear();
    shownPage_ = {};
}
