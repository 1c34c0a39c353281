// Fixture of the scripts tests: a store, the event log, the dialog list with
// the shipped definitions, the memories page and the scripts page, in a
// temporary HOME with its data folders. Time is the fixture's manual clock;
// the page's task runs when the store ticks.
#pragma once

#include "BoardTest.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "remote/scripts/ScriptFile.h"
#include "remote/scripts/TpScripts.h"
#include "system/TpMemories.h"
#include "ui/dialogs/TpDialogList.h"

#include <ctime>
#include <memory>
#include <string>
#include <vector>

class ScriptsTest : public BoardTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the scripts page (SetUp does it unless buildPage is false).
    void MakePage() { page = std::make_unique<TpScripts>(TpScripts::kCommandIds); }
    // Runs the page's task n times through the store's ticks.
    void RunTask(int n = 1);
    // Moves the wall clock on by whole seconds (the runner's time).
    void AdvanceSeconds(int seconds) { clock.SetWallSeconds(clock.WallSeconds() + seconds); }
    // Each second: the task runs `runs` times, then the clock moves on.
    void RunSeconds(int seconds, int runs = 1);

    // Through the store, as a client or a dialog would.
    const TpCommand* Cmd(unsigned id) const { return store->GetCmd(id); }
    int32_t Value(unsigned id) const { return store->GetValue(id); }
    std::string Text(unsigned id) const { return store->GetCmdText(id); }
    std::string ItemsText(unsigned id) const { return Cmd(id) != nullptr ? Cmd(id)->GetItemsText() : ""; }
    bool Enabled(unsigned id) const { return Cmd(id) != nullptr && Cmd(id)->IsEnabled(); }
    bool Visible(unsigned id) const { return Cmd(id) != nullptr && Cmd(id)->IsVisible(); }
    void Set(unsigned id, int32_t value) { store->SetValue(id, value); }
    void SetText(unsigned id, const std::string& text) { store->SetText(id, text); }
    void Press(unsigned id) { Set(id, 1); }
    // Event-log entries that contain the fragment.
    int Events(const std::string& fragment) const;

    static void WriteScript(const std::string& name, const std::string& text) { WriteText(ScriptPath(name), text); }
    static std::string ScriptText(const std::string& name) { return ReadText(ScriptPath(name)); }
    // Writes the script, lets the page find it and selects it.
    void LoadScript(const std::string& name, const std::string& text);
    // Puts the steps into the page's script, as loading a file would.
    void UseScript(const std::vector<std::string>& lines, int loopCount = 1);

    static bool Exists(const std::string& path);
    static void SetModified(const std::string& path, std::time_t when);
    bool DialogOpen(const std::string& name) const;

    // The header lines of a script written with the default options.
    static inline const std::string kHeader = "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n";

    bool buildPage = true;
    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpLogger> logger;
    std::unique_ptr<TpDialogList> dialogs;
    std::unique_ptr<TpMemories> memories;
    std::unique_ptr<TpScripts> page;
};
