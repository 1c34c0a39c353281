// The dialog list: every dialog of the dialog definition file, the window
// stack of the open ones (the top window last), the routing of keys to the
// top window and the drawing of the open windows into the LCD frame.
//
// One list per application, made at start-up and bound to the LCD frame;
// Instance() gives it (none while there is none). Only the application
// thread uses it, except TopWindowClosesOnKey(), which any thread may read:
// the list publishes whether the top window closes on menu key 8 every time
// the stack changes.
//
// Definitions are read once, from the language setting's value + ".dlg" in
// the working folder, else "Orb.dlg" there, else the copy built into the
// program (":/Orb.dlg"). They fill the dialogs, the item lists of the
// commands they name and the global text table (GetText).
#pragma once

#include "ui/widgets/TpDialog.h"
#include "TpDialogFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class LcdFrame;

// What a key did (RouteKey).
enum class TpKeyResult {
    Ignored,         // a release, or a key nothing took
    Taken,           // the top window (a control on it) took the key
    WindowClosed,    // menu key 8 closed the top window
    MemoryRecalled,  // a recall key 14-21 asked the memories for memory 1-8
    ScreenDump,      // the long OK press wrote a screen dump
    PowerOff,        // the power-off key: the application ends its loop
};

class TpDialogList : public TpWindowStack {
public:
    explicit TpDialogList(LcdFrame& frame);
    TpDialogList();   // bound to the simulator's LCD frame
    ~TpDialogList();
    TpDialogList(const TpDialogList&) = delete;
    TpDialogList& operator=(const TpDialogList&) = delete;

    static TpDialogList* Instance();

    // --- definitions ----------------------------------------------------------
    // Reads the definitions from the first source that can be read (see
    // above). A language value that is not a plain file name is not used.
    // False when no source could be read, or when definitions were already
    // read (dialog handles given out stay good: they are never replaced).
    bool LoadDefinitions(const std::string& language);
    // Reads definitions from one file / one text.
    bool LoadFile(const std::string& path);
    bool LoadText(const std::string& text, const std::string& source);
    // Where the definitions came from ("" before any) and the lines that
    // were left out.
    const std::string& Source() const { return source_; }
    const std::vector<TpDialogFileError>& Errors() const { return errors_; }
    size_t DialogCount() const { return dialogs_.size(); }
    // The dialog read at index (file order); none past the last.
    const TpDialog* DialogAt(size_t index) const { return index < dialogs_.size() ? dialogs_[index].get() : nullptr; }

    // --- windows ------------------------------------------------------------------
    TpDialog* Find(const std::string& name) const;
    // Opens the dialog on top of the stack (an open one moves to the top);
    // none when the name is unknown.
    TpDialog* Show(const std::string& name, uint8_t mode);
    // Opens "CheckDialog" with texts text1 and text2 of the text table on
    // its controls "Line1" and "Line2", its question bound to answer.
    // Asking again while it is open rebinds it; the earlier answer command
    // then hears nothing.
    TpDialog* ShowCheck(unsigned text1, unsigned text2, TpCommand* answer);
    // Takes the window off the stack, clears its visible flag and its
    // question, has every window redrawn and runs the close hook. Nothing
    // for a window that is not open.
    void CloseWindow(TpDialog* window) override;
    TpDialog* Top() const { return stack_.empty() ? nullptr : stack_.back(); }
    bool IsOpen(const TpDialog* window) const override;
    const std::vector<TpDialog*>& Stack() const { return stack_; }
    // Run whenever an instrument window closes (none: no hook).
    void SetCloseAnyWindowHook(std::function<void()> hook) { closeHook_ = std::move(hook); }

    // --- keys and drawing -----------------------------------------------------------
    // One key message of the application. Keys act when pressed (code with
    // 0x8000); releases are ignored. Power off (32) and the long OK press
    // (31) act whatever window is open; menu key 8 closes a top window that
    // closes on it; any other key goes to the top window; recall keys 14-21
    // that no control took recall memory 1-8 (COM_MEMORY_SEL, then
    // COM_MEMORY_RECALL, through the store). The key lock is the caller's.
    TpKeyResult RouteKey(uint16_t code);
    // Draws the open windows into the LCD frame when something changed since
    // the last drawing; true when it drew.
    bool RedrawChanged();
    // Has everything drawn again at the next RedrawChanged.
    void MarkAllDirty() { stackChanged_ = true; }

    void PublishTop() override;

private:
    bool Build(const TpDialogFileData& data);
    void RunCloseHook();

    LcdFrame& frame_;
    std::vector<std::unique_ptr<TpDialog>> dialogs_;
    std::vector<std::unique_ptr<TKrObject>> holders_;   // item lists of ids no dialog shows
    std::vector<TpDialog*> stack_;
    bool stackChanged_ = true;
    bool loaded_ = false;
    std::function<void()> closeHook_;
    std::string source_;
    std::vector<TpDialogFileError> errors_;
};

// The list's operations for the pages (each does nothing, or gives none,
// while there is no dialog list).
TpDialog* ShowDialog(const std::string& name, uint8_t mode = 1);
void CloseDialog(TpDialog* dialog);
TpDialog* TopWindow();
bool IsWindowOpen(const TpDialog* window);
TpDialog* ShowCheckDialog(unsigned text1, unsigned text2, TpCommand* answer = nullptr);

// Whether the window on top of the stack closes on menu key 8; any thread.
bool TopWindowClosesOnKey();
