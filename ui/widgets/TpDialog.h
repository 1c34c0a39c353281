// A window of the instrument: a named dialog of the dialog definition file
// with its controls in order. The dialog list (TpDialogList) owns every
// dialog for the life of the program, so a handle to a dialog stays good
// whether the dialog is open or closed; opening it again gives the same
// object.
//
// Focus: at most one control of a dialog holds the input focus. Giving a
// control the focus (a key, or TpStore::SetFocused on its id) takes it from
// the control that had it.
//
// Questions: a dialog may be bound to an answer command (ShowCheckDialog).
// Its "yes" button gives the answer the value 1, its "no" button and menu
// key 8 the value 0; the dialog closes before the answer is given. A dialog
// closed any other way drops the binding without an answer.
#pragma once

#include "TKrObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TpDialog;
class TpDialogList;

// What a dialog asks of the window stack it belongs to (the dialog list).
class TpWindowStack {
public:
    virtual void CloseWindow(TpDialog* window) = 0;
    virtual bool IsOpen(const TpDialog* window) const = 0;
    // Publishes whether the top window closes on key 8.
    virtual void PublishTop() = 0;

protected:
    ~TpWindowStack() = default;
};

class TpDialog : public TKrObject {
public:
    TpDialog(TpWindowStack* list, const std::string& name);
    ~TpDialog() override;

    int WidgetType() const override { return kWidgetDialog; }
    bool TakesFocus() const override { return false; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    // The close-on-key byte: menu key 8 closes the dialog.
    bool ClosesOnKey() const { return closeOnKey_ != 0; }
    void SetClosesOnKey(bool on);
    // The mode byte given to ShowDialog.
    uint8_t Mode() const { return mode_; }

    // A fixed area on the screen; without one the dialog is centred and
    // sized to its rows.
    void SetArea(const TpRect& area);
    TpRect Area() const;

    // Takes the control onto the dialog (the dialog owns it).
    TKrObject* AddControl(std::unique_ptr<TKrObject> control);
    TKrObject* FindControl(const std::string& name) const;
    const std::vector<std::unique_ptr<TKrObject>>& Controls() const { return controls_; }

    // The control holding the input focus (shown and enabled), or none.
    TKrObject* FocusedControl() const;
    // Gives the focus to the first control that can take it; false when none
    // can.
    bool FocusFirst();
    // Clears the focus marks of the named control and of every control
    // after it on the dialog.
    void ClearFocus(const std::string& name);

    bool IsOpen() const;
    // Closes the dialog (see TpDialogList::CloseWindow).
    void Close();

    // Binds the dialog's question to an answer command (none unbinds).
    void BindAnswer(TpCommand* answer);
    bool HasAnswer() const;
    // A button's action on this dialog.
    void RunAction(TpWidgetAction action);
    // Menu key 8 on a dialog that closes on it.
    void CloseByKey();

    // A key (plain code) for the dialog: up/down move the focus, left/right
    // step the focused control, OK and the bound keys act. True when taken.
    bool HandleKey(uint16_t key);

    void MarkDirty() override { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    void ClearDirty() { dirty_ = false; }
    void Paint(TpScreenPainter& painter) const;

    // A control of this dialog was given the focus.
    void OnFocusGiven(TKrObject* control);

private:
    friend class TpDialogList;

    bool MoveFocus(int direction);
    void Answer(int32_t value);
    int CaptionWidth(int innerWidth) const;
    // How many of the control's rows, and of those before it, lie below a
    // window of the given rows.
    int RowsBelow(const TKrObject* control, int rows) const;

    TpWindowStack* list_;
    std::string title_;
    uint8_t closeOnKey_ = 0;
    uint8_t mode_ = 0;
    bool fixedArea_ = false;
    TpRect area_;
    bool dirty_ = true;
    std::vector<std::unique_ptr<TKrObject>> controls_;
    std::unique_ptr<TpCommandRef> answer_;
};
