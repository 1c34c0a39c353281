// The commands of a page that is handed a table of command ids: one entry per
// id, reached by the entry's index (the page's own enum). The page makes each
// entry's command once; the table owns it and gives its id, value and text.
//
//   port_ = cmds_.Make<TpChildCmd>(kIdPort, this, kKeepsValue);
//   switch (cmds_.IndexOf(child)) { case kIdPort: ... cmds_.Value(kIdPort) ... }
//   cmds_.SetValue(kIdPort, 2100);
//
// Reads go through the store, so every view of an id agrees; writes reach
// every command of the id. An entry whose id is 0 is not in the store: reads
// give its own command's state and writes change nothing. Indexes outside
// the table, or entries not made, read 0 or "" and change nothing.
#pragma once

#include "TpCommand.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class TpCmdTable {
public:
    explicit TpCmdTable(std::span<const uint16_t> ids);
    // The commands go, the last entry first.
    ~TpCmdTable() { Clear(); }
    TpCmdTable(const TpCmdTable&) = delete;
    TpCmdTable& operator=(const TpCmdTable&) = delete;

    int Count() const { return static_cast<int>(ids_.size()); }
    // The whole id table, for a part of the page that takes the ids as they
    // are (Count() of them).
    const uint16_t* Ids() const { return ids_.data(); }
    // The id of entry i; 0 outside the table.
    uint16_t Id(int i) const { return InTable(i) ? ids_[static_cast<size_t>(i)] : 0; }
    // Entry i's command; none outside the table or before it is made.
    TpCommand* Cmd(int i) const { return InTable(i) ? cmds_[static_cast<size_t>(i)].get() : nullptr; }
    // The entry whose command cmd is; -1 when none.
    int IndexOf(const TpCommand* cmd) const;
    // The commands by entry (none where not made).
    const std::vector<std::unique_ptr<TpCommand>>& Commands() const { return cmds_; }

    // Makes entry i's command as T(parent, id of entry i, args...), in place
    // of any made before, and gives it; none (nothing made) outside the table.
    template <class T, class... Args>
    T* Make(int i, TpCommand* parent, Args&&... args)
    {
        if (!InTable(i))
            return nullptr;
        auto cmd = std::make_unique<T>(parent, Id(i), std::forward<Args>(args)...);
        T* made = cmd.get();
        cmds_[static_cast<size_t>(i)] = std::move(cmd);
        return made;
    }

    int32_t Value(int i) const;
    std::string Text(int i) const;
    void SetValue(int i, int32_t value);
    void SetText(int i, const std::string& text);
    void SetVisible(int i, bool visible);
    void SetEnabled(int i, bool enabled);
    void SetFocused(int i);

    // Destroys every command, the last entry first.
    void Clear();

private:
    bool InTable(int i) const { return i >= 0 && i < Count(); }
    // The command reads of entry i look at: the head of the id's chain in
    // the store, else the entry's own; none outside the table or unmade.
    const TpCommand* Shown(int i) const;
    // Entry i's command when it may be written: made and with an id.
    TpCommand* Writable(int i) const { return Id(i) != 0 ? Cmd(i) : nullptr; }

    std::vector<uint16_t> ids_;
    std::vector<std::unique_ptr<TpCommand>> cmds_;
};
