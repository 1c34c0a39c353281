// The command: every setting, reading, page, action and widget of the
// instrument is one. A command with a non-zero id joins the store's chain of
// that id in its constructor and leaves it in its destructor, so a change made
// through the store reaches every command (every view) of the id.
//
// Value kinds say what a command keeps and reports (CmdValueKind below).
// Kinds 1, 3 and 4 store a value given to SetValue; kinds 0 and 2 ignore it.
#pragma once

#include "TpBase.h"

#include <cstdint>
#include <string>
#include <vector>

class TpStore;
class TpCommandRef;

// What a command keeps and reports to its parent.
enum CmdValueKind : uint32_t {
    kKeepsNothing = 0,        // nothing
    kKeepsValue = 1,       // a value
    kKeepsText = 2,        // a text
    kKeepsValueText = 3,   // a value and a text
    kKeepsLocal = 4,       // a value and a text kept locally, never reported
};

// One item of a command's item list.
struct TpItem {
    std::string text;
    int32_t value = 0;
    bool enabled = true;
    uint32_t colour = 0;       // text colour 0x00RRGGBB, 0 = default
    uint32_t backColour = 0;   // background colour, 0 = default
};

// Reasons given to OnChildChanged.
enum TpChangeReason : int {
    kReasonValue = 1,
    kReasonText = 2,
    kReasonEnabled = 3,
    kReasonVisible = 4,
};

class TpCommand : public TpBase {
public:
    // A command without a parent, linked into the chain of cmdId at the head
    // when insertAtHead is set, else at the tail. Id 0 is never linked. (The
    // id is taken as an int so that a literal 0 picks this constructor; ids
    // outside 0-65535 are treated as 0.)
    TpCommand(int cmdId, CmdValueKind valueKind, uint8_t insertAtHead = 0);
    // A command owned by parent (which may be none), linked at the tail.
    TpCommand(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind);
    ~TpCommand() override;

    // --- identity -------------------------------------------------------
    uint16_t CmdId() const { return cmdId_; }
    CmdValueKind ValueKind() const { return valueKind_; }
    TpCommand* Parent() const { return parent_; }
    // True while the command is linked into its id's chain.
    bool IsInStore() const { return store_ != nullptr; }
    // The next command of the same id's chain (none at the end).
    TpCommand* NextInChain() const { return chainNext_; }

    // --- reads ------------------------------------------------------------
    int32_t GetValue() const { return value_; }
    virtual std::string GetText() const { return text_; }
    uint32_t GetColour() const { return colour_; }
    uint32_t GetBackColour() const { return backColour_; }
    virtual bool IsEnabled() const { return enabled_ != 0; }
    virtual bool IsVisible() const { return visible_ != 0; }
    bool IsFocused() const { return focused_ != 0; }
    bool IsRangeEnabled() const { return rangeEnabled_ != 0; }
    bool HasList() const { return listFlag_ != 0; }
    const std::vector<uint32_t>& GetCharColours() const { return charColours_; }
    int GetColumnCount() const { return columnCount_; }
    int GetRowCount() const { return rowCount_; }
    int GetEvenColumnWidth() const { return evenColumnWidth_; }
    int GetOddColumnWidth() const { return oddColumnWidth_; }

    virtual int GetItemCount() const;
    // Text of item n; out of range gives "" (and, on a value-kind-1
    // command, the diagnostic "Invalid ItemIndex (GIT)").
    virtual std::string GetItemText(int item) const;
    int32_t GetItemValue(int item) const;     // 0 out of range
    bool GetItemEnabled(int item) const;      // false out of range
    uint32_t GetColour(int item) const;       // item text colour, 0 out of range
    uint32_t GetBackColour(int item) const;   // item background colour
    // Copies up to capacity item values into out; returns the number copied.
    int GetItemValues(int32_t* out, int capacity) const;
    // The item texts joined by one TAB between neighbours; "" when the
    // command has no list.
    std::string GetItemsText() const;
    int GetEnabledItemCount() const;
    // Index of the first item with that text; -1 when none has it.
    int FindItemText(const std::string& text) const;
    // The list the item reads look at (a mirroring list shows another's).
    virtual const std::vector<TpItem>& Items() const { return items_; }

    // --- writers (one command) -------------------------------------------
    // Stores the value (kinds 1, 3, 4); returns the command's value after.
    virtual int32_t SetValue(int32_t value);
    virtual void SetText(const std::string& text);
    virtual void SetEnabled(bool enabled);
    virtual void SetVisible(bool visible);
    virtual void SetColour(uint32_t colour);
    virtual void SetBackColour(uint32_t colour);
    virtual void ClearItems();
    virtual void AddItem(const std::string& text, int32_t value = 0);
    virtual void AddItemValue(int32_t value);
    // The item writers ignore an index out of range.
    virtual void SetItemText(int item, const std::string& text);
    virtual void SetItemValue(int item, int32_t value);
    virtual void SetItemEnabled(int item, bool enabled);
    virtual void SetItemColours(int item, uint32_t colour, uint32_t backColour);
    virtual void SetCharColours(const uint32_t* colours, int count);
    virtual void SetFocused(bool focused);
    virtual void SetRangeEnabled(bool enabled);
    virtual void SetColumnCount(int count);
    virtual void SetRowCount(int count);
    virtual void SetEvenColumnWidth(int width);
    virtual void SetOddColumnWidth(int width);

    // --- notifications ------------------------------------------------------
    // A child reports a change (TpChangeReason). The base does nothing.
    virtual void OnChildChanged(TpCommand* child, int reason);
    // The command's periodic task ran (TpStore::AddTask).
    virtual void OnTask();
    // Defaults were applied or a memory was recalled (TpStore::AddRestoreHandler).
    virtual void OnRestored();

    // --- every command of the id, through the store --------------------------
    // Each reaches the commands of this command's id whose state differs. A
    // command outside the store (id 0, or no store) changes only itself.
    void SetValueAll(int32_t value);
    void SetTextAll(const std::string& text);
    void SetEnabledAll(bool enabled);
    void SetVisibleAll(bool visible);
    void SetColourAll(uint32_t colour);
    void SetBackColourAll(uint32_t colour);
    void ClearItemsAll();
    void AddItemAll(const std::string& text, int32_t value = 0);
    void SetItemTextAll(int item, const std::string& text);
    void SetItemEnabledAll(int item, bool enabled);
    void SetItemColoursAll(int item, uint32_t colour, uint32_t backColour);
    void SetCharColoursAll(const uint32_t* colours, int count);
    void SetFocusedAll(bool focused);

protected:
    // True for the kinds that keep a value (1, 3, 4).
    bool StoresValue() const
    {
        return valueKind_ == kKeepsValue || valueKind_ == kKeepsValueText || valueKind_ == kKeepsLocal;
    }
    void SetListFlag(bool on) { listFlag_ = on ? 1 : 0; }
    // The store this command is linked into, none when outside it.
    TpStore* Store() const { return store_; }

    int32_t value_ = 0;
    std::string text_;
    uint32_t colour_ = 0;
    uint32_t backColour_ = 0;
    uint8_t enabled_ = 1;
    uint8_t visible_ = 1;
    uint8_t focused_ = 0;
    uint8_t rangeEnabled_ = 0;
    uint8_t listFlag_ = 0;
    std::vector<TpItem> items_;
    std::vector<uint32_t> charColours_;
    int columnCount_ = 0;
    int rowCount_ = 0;
    int evenColumnWidth_ = 0;
    int oddColumnWidth_ = 0;

private:
    friend class TpStore;
    friend class TpCommandRef;

    void Init(bool insertAtHead);

    uint16_t cmdId_;
    CmdValueKind valueKind_;
    TpCommand* parent_ = nullptr;
    std::vector<TpCommand*> children_;   // not owned; cleared as they go

    // The store's chain of this id.
    TpStore* store_ = nullptr;
    TpCommand* chainPrev_ = nullptr;
    TpCommand* chainNext_ = nullptr;

    TpCommandRef* refs_ = nullptr;       // watchers told when this command goes
};

// Watches a command across a call that may delete it: Get() gives none once
// the command is destroyed. Used on the stack only.
class TpCommandRef {
public:
    explicit TpCommandRef(TpCommand* cmd);
    ~TpCommandRef();
    TpCommandRef(const TpCommandRef&) = delete;
    TpCommandRef& operator=(const TpCommandRef&) = delete;

    TpCommand* Get() const { return cmd_; }
    explicit operator bool() const { return cmd_ != nullptr; }

private:
    friend class TpCommand;
    TpCommand* cmd_;
    TpCommandRef* next_ = nullptr;
};
