// The edits the IP menu holds for the module. An edit belongs to one physical
// page from the moment it is made until it is written or cancelled: edits of
// one row for different pages (different flows, PTP views) are kept apart.
// An edit of a row of the controller or the flow set is typed: it waits for
// its set's Apply, and Cancel drops it. Any other edit, and a typed one once
// applied, waits for its page and is written when that page is read. A row
// holds at most one typed and one applied edit for a page: a new edit
// replaces the one of its own state, so a value typed over an applied one
// that still waits leaves that one to be written.
//
// The book also keeps what the pages showed: per row and page the number
// last read, per control the page it shows now. A cancelled edit shows what
// its page holds; a control whose page was never read shows the unread look.
//
// Application thread only.
#pragma once

#include "ipsfp/params/SfpParamTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

enum class IpEditState : uint8_t {
    Typed,     // waits for its set's Apply; Cancel drops it
    Applied,   // waits for its page, then is written
};

enum class IpEditSet : uint8_t { Controller, Flow };

struct IpEdit {
    uint16_t row;        // index in the parameter table
    uint8_t page;        // the physical page it is written into
    uint8_t second;      // made through the row's second control
    IpEditState state;
    uint8_t onlyIfSet;   // a bit field cleared only where it is set (the transmit around an Apply)
    int32_t value;       // as the module takes it

    // The control of the row it was made in.
    unsigned Control(const SfpParamRow& row) const { return second != 0 ? row.secondCmdId : row.cmdId; }
};

class IpEditBook {
public:
    // --- edits --------------------------------------------------------------------------
    // Books the value for the row's page: typed for a row of the controller
    // or the flow set, applied for any other. The control it was made in
    // shows that page from now on.
    const IpEdit& Book(const SfpParamRow& row, uint8_t page, bool second, int32_t value);
    // The same, applied whatever the row's set: a value the manager itself
    // hands to the module.
    const IpEdit& BookApplied(const SfpParamRow& row, uint8_t page, bool second, int32_t value);
    // The transmit of a flow's page switched off around an Apply where it is
    // on (row: the transmit switch); none when an edit of the switch already
    // waits for that page.
    void HoldTransmit(const SfpParamRow& row, uint8_t page);
    // The edit of the row for the page: the applied one when there is one.
    const IpEdit* Find(const SfpParamRow& row, uint8_t page) const;
    const IpEdit* Find(const SfpParamRow& row, uint8_t page, IpEditState state) const;
    bool HasEdit(const SfpParamRow& row) const;
    void Drop(const SfpParamRow& row, uint8_t page, IpEditState state);
    // Every edit of the row, whatever its page.
    void DropAll(const SfpParamRow& row);
    // Every edit.
    void DropEdits();
    // The set's typed edits become applied, each in place of an applied one
    // still waiting for its row and page; the pages they wait for, each once.
    std::vector<uint8_t> Apply(IpEditSet set);
    // The set's typed edits, taken out of the book.
    std::vector<IpEdit> TakeTyped(IpEditSet set);
    const std::vector<IpEdit>& Edits() const { return edits_; }
    // Applied edits that wait for the page; of the flow set only with flowSet.
    bool AppliedOn(uint8_t page, bool flowSetOnly = false) const;
    // How many edits, typed or applied, are for the page.
    size_t CountOn(uint8_t page) const;
    // The page was read holding the value and no other value waits to be
    // written there: a byte of a value booked whole needs no edit of its own.
    bool PageHolds(const SfpParamRow& row, uint8_t page, int32_t value) const;

    // --- the transmit switched off around an Apply --------------------------------------
    void NoteTransmitOff(uint8_t page);
    // True once for a page whose transmit an Apply switched off.
    bool TakeTransmitOff(uint8_t page);
    std::vector<uint8_t> TakeAllTransmitOff();

    // --- what the pages show ------------------------------------------------------------
    void NoteRead(const SfpParamRow& row, uint8_t page, int32_t number);
    std::optional<int32_t> LastRead(const SfpParamRow& row, uint8_t page) const;
    // The page a control shows (0: none known).
    void NoteShown(unsigned cmdId, uint8_t page);
    uint8_t ShownPage(unsigned cmdId) const;
    // The module changed: nothing it showed holds any more, no edit waits.
    void Clear();

    static size_t IndexOf(const SfpParamRow& row);
    // Whether the control is the row's second one (the second flow's or PTP view's), not its first.
    static bool IsSecondControl(const SfpParamRow& row, unsigned cmdId)
    {
        return cmdId == row.secondCmdId && cmdId != row.cmdId;
    }

private:
    IpEdit& Put(const SfpParamRow& row, uint8_t page, bool second, int32_t value, IpEditState state);
    static bool InSet(const SfpParamRow& row, IpEditSet set);
    static uint32_t Key(size_t row, uint8_t page) { return static_cast<uint32_t>(row << 8 | page); }
    static bool InTable(unsigned cmdId)
    {
        return cmdId >= SfpParamTable::kFirstCmdId && cmdId <= SfpParamTable::kLastCmdId;
    }

    std::vector<IpEdit> edits_;                           // in the order made
    std::vector<uint8_t> transmitOff_;                    // pages whose transmit an Apply switched off
    std::unordered_map<uint32_t, int32_t> lastRead_;      // row << 8 | page: the number read
    // Per control id of the table's range: the page it shows.
    std::array<uint8_t, SfpParamTable::kLastCmdId - SfpParamTable::kFirstCmdId + 1> shownPage_ {};
};
