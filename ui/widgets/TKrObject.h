// The widget base: a command that shows itself on the LCD and handles keys.
// A widget joins its command id's chain like any command, so the store's
// changes reach it; every change it hears marks its window for redrawing.
//
// On a window a widget takes one or more text rows: its caption on the left
// and its value on the right, in the command's colours (0 = the screen's
// default), the focused control marked. Widgets may also live outside any
// window (an item holder, or a page object built on a widget class); they are
// then never drawn.
#pragma once

#include "ui/paint/TpScreenPainter.h"
#include "core/store/Colours.h"
#include "core/store/TpCommand.h"

#include <cstdint>
#include <string>

class TpDialog;
class TpPageControl;

// Widget type codes. Plain commands answer 0.
enum TpWidgetType : int {
    kWidgetNone = 0,
    kWidgetLabel = 1,
    kWidgetButton = 2,
    kWidgetCheckBox = 3,
    kWidgetComboBox = 4,
    kWidgetListBox = 5,
    kWidgetColouredList = 6,
    kWidgetPageControl = 7,
    kWidgetDialog = 8,
    kWidgetEdit = 15,          // an edit box: white text unless marked
    kWidgetColouredBox = 21,   // a coloured input box
};

// What a widget shows of its command in the value column.
enum TpWidgetShows : int {
    kShowsByKind = 0,   // value kind 2: the text; 1: the value; 3 and 4: the text, or the value while there is none
    kShowsText,
    kShowsValue,
};

// What a button does on its dialog when pressed.
enum TpWidgetAction : int {
    kActionNone = 0,
    kActionClose,   // closes the dialog
    kActionYes,     // answers the dialog's question with 1 (and closes it)
    kActionNo,      // answers it with 0 (and closes it)
};

// The screen's colours.
constexpr uint32_t kColourScreen = Colour::kBlack;
constexpr uint32_t kColourDialog = Colour::kDialogBlue;
constexpr uint32_t kColourBorder = Colour::kListBlue;
constexpr uint32_t kColourTitle = Colour::kListBlue;
constexpr uint32_t kColourText = Colour::kWhite;
constexpr uint32_t kColourDisabled = Colour::kDarkGrey;
constexpr uint32_t kColourFocus = Colour::kAmber;
constexpr uint32_t kColourFocusText = Colour::kBlack;

constexpr int kRowHeight = 11;     // one text row of a window
constexpr int kMarkWidth = 8;      // the focus mark before a row

// Where one widget draws: the rectangle of its first row (further rows
// follow below), the width of the caption column and the window's
// background.
struct TpDrawArea {
    TpRect row;
    int captionWidth = 0;
    uint32_t back = kColourDialog;
    bool focused = false;
};

class TKrObject : public TpCommand {
public:
    // A widget with an optional parent, joining its id's chain at the tail;
    // when the chain already has commands, it starts with the value and
    // text of the chain's head, so it shows what the others hold.
    TKrObject(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind);
    // A widget without parent, joining at the head when insertAtHead is set.
    TKrObject(int cmdId, CmdValueKind valueKind, uint8_t insertAtHead);

    virtual int WidgetType() const = 0;

    // --- on a window ------------------------------------------------------
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The key (menu key 1-8 or recall key 14-21) that acts on this widget
    // as OK does; 0 for none.
    uint16_t BoundKey() const { return boundKey_; }
    void SetBoundKey(uint16_t key) { boundKey_ = key; }
    TpWidgetAction Action() const { return action_; }
    void SetAction(TpWidgetAction action) { action_ = action; }
    // Shown only while the page control shows that page.
    void ShowOnPage(TpPageControl* owner, int page);
    TpDialog* Window() const { return window_; }
    void SetShows(TpWidgetShows shows) { shows_ = shows; }
    TpWidgetShows Shows() const { return shows_; }

    // Visible, and on the page shown (when it belongs to a page).
    bool IsShownOnScreen() const;
    // The widget can hold the input focus now.
    bool CanFocus() const { return TakesFocus() && IsShownOnScreen() && IsEnabled(); }

    // --- keys ------------------------------------------------------------------
    // Left (-1) and right (+1): changes the value through the store. True
    // when the widget took the key.
    virtual bool Step(int direction);
    // OK, or the widget's bound key. True when the widget took the key.
    virtual bool Activate();

    // --- drawing -----------------------------------------------------------
    // Rows the widget would like on its window.
    virtual int RowsWanted() const { return 1; }
    // Draws into at most maxRows rows; returns the rows used.
    virtual int Draw(TpScreenPainter& painter, const TpDrawArea& area, int maxRows) const;
    // The text shown in the value column.
    virtual std::string ValueText() const;
    // The text shown in the caption column ("" leaves it empty).
    virtual std::string CaptionText() const { return caption_; }

    // Tells the window to redraw (a window marks itself).
    virtual void MarkDirty();

    // --- the command's writers, each marking the window -----------------------
    int32_t SetValue(int32_t value) override;
    void SetText(const std::string& text) override;
    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;
    void SetColour(uint32_t colour) override;
    void SetBackColour(uint32_t colour) override;
    void ClearItems() override;
    void AddItem(const std::string& text, int32_t value = 0) override;
    void AddItemValue(int32_t value) override;
    void SetItemText(int item, const std::string& text) override;
    void SetItemEnabled(int item, bool enabled) override;
    void SetItemColours(int item, uint32_t colour, uint32_t backColour) override;
    void SetCharColours(const uint32_t* colours, int count) override;
    // Giving the focus moves the window's input focus here.
    void SetFocused(bool focused) override;
    void SetColumnCount(int count) override;
    void SetRowCount(int count) override;
    void SetEvenColumnWidth(int width) override;
    void SetOddColumnWidth(int width) override;

    // Does the widget take the input focus at all (labels do not).
    virtual bool TakesFocus() const { return true; }

protected:
    // Moves the selection to the next enabled item in the direction, through
    // the store; false when there is none.
    bool StepItem(int direction);
    // The text of the selected item, "" when none is selected.
    std::string SelectedItemText() const;
    // The text colour and background to draw with.
    uint32_t TextColour() const;
    uint32_t BackColour(uint32_t windowBack) const;
    // Draws one caption-and-value row.
    void DrawRow(TpScreenPainter& painter, const TpDrawArea& area, const std::string& caption,
                 const std::string& value, const std::vector<uint32_t>* valueColours) const;

private:
    friend class TpDialog;
    void TakeChainState();

    std::string name_;
    std::string caption_;
    uint16_t boundKey_ = 0;
    TpWidgetAction action_ = kActionNone;
    TpPageControl* pageOwner_ = nullptr;
    int page_ = -1;
    TpDialog* window_ = nullptr;
    TpWidgetShows shows_ = kShowsByKind;
};

// The widget type of any command: 0 for a command that is not a widget.
int GetWidgetType(const TpCommand* cmd);
// The first widget of the id's chain (of the given type, when one is
// given); none when there is none.
TKrObject* FirstWidget(unsigned cmdId, int widgetType = -1);
// The first widget of the id's chain that sits on a window.
TKrObject* FirstDisplayWidget(unsigned cmdId);
// The first widget of the id's chain on a window that takes input.
TKrObject* InputWidget(unsigned cmdId);
