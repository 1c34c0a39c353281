// Fixture of the scripts tests: a store, the event log, the dialog list with
// the shipped definitions (dialogs, text table, item lists), the memories
// page and the scripts page, in a temporary HOME with its data folders.
// Time is the fixture's manual clock; the page's task runs when the store
// ticks.
#pragma once

#include "BoardTest.h"

#include "KrZuApi.h"
#include "core/TpLogger.h"
#include "core/TpStore.h"
#include "remote/TpScripts.h"
#include "system/TpMemories.h"
#include "ui/TpDialogList.h"

#include <memory>
#include <string>

class ScriptsTest : public BoardTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the scripts page (SetUp does it unless buildPage is false).
    void MakePage();

    // Store ticks per run of the page's task (100 ms of 20-ms ticks).
    static int TicksPerTaskRun();
    // Runs the page's task n times through the store's ticks.
    void RunTask(int n = 1);
    // Moves the wall clock on by whole seconds (the runner's time).
    void AdvanceSeconds(int seconds);

    // Through the store, as a client or a dialog would.
    int32_t Value(unsigned id) const { return store->GetValue(id); }
    std::string Text(unsigned id) const { return store->GetCmdText(id); }
    void Set(unsigned id, int32_t value) { store->SetValue(id, value); }
    void SetText(unsigned id, const std::string& text) { store->SetText(id, text); }
    std::string ItemsText(unsigned id) const;

    // Writes scripts folder + "/" + name + ".cmd".
    static void WriteScript(const std::string& name, const std::string& text);
    static std::string ScriptText(const std::string& name);
    // Writes the script, lets the page find it and selects it.
    void LoadScript(const std::string& name, const std::string& text);

    // Whether the named dialog is open.
    bool DialogOpen(const std::string& name) const;

    bool buildPage = true;
    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpLogger> logger;
    std::unique_ptr<TpDialogList> dialogs;
    std::unique_ptr<TpMemories> memories;
    std::unique_ptr<TpScripts> page;
};
