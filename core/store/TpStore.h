// The command store: per command id, the chain of the live commands with that
// id (the store does not own them), the id's default value and text and how
// it is kept; the operations that give a change to every command of a chain
// whose state differs; the periodic tasks; the load state and the restore
// handlers; and the taking and recalling of memories.
//
// There is one store per application; Instance() gives it (none while no
// store exists). Only the application thread uses it.
//
// Dispatch is safe against what the commands do while they are told of a
// change: they may change other ids, change the same id again, add commands
// and delete commands (themselves included). A walk over a chain steps past a
// command that leaves the chain. When a command's handler gives the same id a
// new state of the same kind (a button putting itself back to 0), that newer
// change has already reached every command, so the older walk stops there and
// the chain ends consistent with the last change.
#pragma once

#include "TpCommand.h"

#include <cstdint>
#include <string>
#include <vector>

// What an entry keeps (store kind bits) and in which files (store mask bits).
constexpr uint8_t kStoreValue = 1;
constexpr uint8_t kStoreText = 2;
constexpr uint8_t kStoreSystem = 1;
constexpr uint8_t kStoreMemory = 2;

// Load states of the store.
enum TpLoadState : int {
    kLoadInit = 0,       // created, start-up not finished
    kLoadDefaults = 1,   // applying the default settings
    kLoadMemory = 3,     // recalling a memory
    kLoadNormal = 4,
};

struct TpCommandEntry {
    std::string defaultText;
    int32_t defaultValue = 0;
    uint8_t storeMask = 0;   // kStoreSystem | kStoreMemory
    uint8_t storeKind = 0;   // kStoreValue | kStoreText
    bool defined = false;    // set by DefineEntry
    TpCommand* head = nullptr;
    TpCommand* tail = nullptr;
};

// The table of entries, one per command id.
class TpCommandEntries {
public:
    static constexpr unsigned kEntryCount = 8192;

    TpCommandEntries();

    // The head command of the id's chain; none for an id without commands or
    // beyond the table.
    TpCommand* GetCmd(unsigned cmdId) const;
    const TpCommandEntry* Entry(unsigned cmdId) const;
    unsigned EntryCount() const { return kEntryCount; }

protected:
    std::vector<TpCommandEntry> entries_;
};

// One periodic task: the owner's OnTask runs every periodTicks ticks.
struct TpTask {
    TpCommand* owner = nullptr;   // none once removed
    std::string name;
    int periodTicks = 1;
    int countdown = 1;            // ticks left until the next run
    bool always = false;          // runs while the store is loading too
};

// One memory: the kept values and texts of the memory-stored entries.
struct TpMemoryValue {
    uint16_t cmdId = 0;
    bool hasValue = false;
    int32_t value = 0;
    bool hasText = false;
    std::string text;
};

struct TpMemory {
    unsigned number = 0;   // 1 and up
    std::string name;
    std::vector<TpMemoryValue> values;
};

class TpStore : public TpCommandEntries {
public:
    TpStore();
    ~TpStore();
    TpStore(const TpStore&) = delete;
    TpStore& operator=(const TpStore&) = delete;

    static TpStore* Instance();

    // Sets how an id is kept (kStoreValue/kStoreText, kStoreSystem/
    // kStoreMemory) and its default value and text. False for id 0 or an id
    // beyond the table.
    bool DefineEntry(unsigned cmdId, uint8_t storeKind, uint8_t storeMask, int32_t defaultValue,
                     const std::string& defaultText = std::string());

    // --- dispatchers: every command of the id's chain whose state differs --
    // Returns the value of the chain's head afterwards (0 without commands).
    int32_t SetValue(unsigned cmdId, int32_t value);
    void SetText(unsigned cmdId, const std::string& text);
    void SetEnabled(unsigned cmdId, bool enabled);
    void SetVisible(unsigned cmdId, bool visible);
    void SetColour(unsigned cmdId, uint32_t colour);
    void SetBackColour(unsigned cmdId, uint32_t colour);
    void ClearItems(unsigned cmdId);                 // commands that have items
    void AddItem(unsigned cmdId, const std::string& text, int32_t value = 0);   // every command
    void AddItemValue(unsigned cmdId, int32_t value);                           // every command
    void SetItemText(unsigned cmdId, int item, const std::string& text);
    void SetItemValue(unsigned cmdId, int item, int32_t value);
    void SetItemEnabled(unsigned cmdId, int item, bool enabled);
    void SetItemColours(unsigned cmdId, int item, uint32_t colour, uint32_t backColour);
    void SetCharColours(unsigned cmdId, const uint32_t* colours, int count);
    void SetFocused(unsigned cmdId, bool focused);
    void SetRangeEnabled(unsigned cmdId, bool enabled);
    void SetColumnCount(unsigned cmdId, int count);
    void SetRowCount(unsigned cmdId, int count);
    void SetEvenColumnWidth(unsigned cmdId, int width);
    void SetOddColumnWidth(unsigned cmdId, int width);

    // Value / text of the chain's head; 0 / "" without commands.
    int32_t GetValue(unsigned cmdId) const;
    std::string GetCmdText(unsigned cmdId) const;

    // --- load state and restore -------------------------------------------
    int LoadState() const { return loadState_; }
    void SetLoadState(int state) { loadState_ = state; }
    bool IsLoading() const { return loadState_ == kLoadDefaults || loadState_ == kLoadMemory; }

    // The object's OnRestored runs after defaults are applied or a memory is
    // recalled. A command is dropped from the list when it is destroyed.
    void AddRestoreHandler(TpCommand* handler);
    void RemoveRestoreHandler(TpCommand* handler);

    // Gives every defined entry its default value and/or text (load state 1),
    // then returns to the normal state and runs the restore handlers.
    void ApplyDefaults();
    // The values and texts of the memory-stored entries that have commands.
    TpMemory CaptureMemory(unsigned number, const std::string& name) const;
    // Gives the memory's values and texts to the memory-stored entries (load
    // state 3; values for other ids are ignored), then returns to the normal
    // state and runs the restore handlers.
    void RecallMemory(const TpMemory& memory);

    // --- periodic tasks -------------------------------------------------------
    // The owner's OnTask runs every PeriodTicks(periodMs) ticks; with
    // startAtOnce the first run is on the next tick. Tasks without the always
    // flag neither count nor run while the store is loading. One task per
    // owner: adding again replaces the owner's task. False without an owner.
    bool AddTask(TpCommand* owner, const std::string& name, int periodMs, bool always, bool startAtOnce);
    void RemoveTask(TpCommand* owner);
    // Gives the owner's task a new period; when it changes, the count starts
    // again with it.
    void SetTaskPeriod(TpCommand* owner, int periodMs);
    // Advances every task by one tick (one update message). Tasks added
    // during the tick first count on the next one.
    void Tick();
    // (period - 1) / 20 + 1 ticks of 20 ms; at least 1.
    static int PeriodTicks(int periodMs);
    const TpTask* FindTask(const TpCommand* owner) const;
    int TaskCount() const;

private:
    friend class TpCommand;
    struct Walk;

    void Link(TpCommand* cmd, bool atHead);
    void Unlink(TpCommand* cmd);
    template <class Differs, class Apply>
    void Dispatch(unsigned cmdId, int op, int item, Differs differs, Apply apply);
    void RunRestoreHandlers();
    void SweepTasks();

    Walk* walks_ = nullptr;   // walks in progress, innermost first
    int loadState_ = kLoadInit;

    std::vector<TpTask> tasks_;
    bool ticking_ = false;
    bool tasksRemoved_ = false;

    std::vector<TpCommand*> restoreHandlers_;
    int restoring_ = 0;
    bool handlersRemoved_ = false;
};
