#include "ScriptsTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <sys/stat.h>
#include <utime.h>

void ScriptsTest::SetUp()
{
    BoardTest::SetUp();
    ASSERT_TRUE(Paths::MakeDataFolders());
    store = std::make_unique<TpStore>();
    logger = std::make_unique<TpLogger>();
    dialogs = std::make_unique<TpDialogList>();
    ASSERT_TRUE(dialogs->LoadDefinitions("Orb"));
    memories = std::make_unique<TpMemories>();
    logger->EnableEvents(true);
    store->SetLoadState(kLoadNormal);
    if (buildPage)
        MakePage();
}

void ScriptsTest::TearDown()
{
    page.reset();
    memories.reset();
    dialogs.reset();
    logger.reset();
    store.reset();
    BoardTest::TearDown();
}

void ScriptsTest::MakePage()
{
    page = std::make_unique<TpScripts>(TpScripts::kCommandIds);
}

int ScriptsTest::TicksPerTaskRun()
{
    return TpStore::PeriodTicks(TpScripts::kTaskPeriodMs);
}

void ScriptsTest::RunTask(int n)
{
    for (int i = 0; i < n * TicksPerTaskRun(); ++i)
        store->Tick();
}

void ScriptsTest::AdvanceSeconds(int seconds)
{
    clock.SetWallSeconds(clock.WallSeconds() + seconds);
}

std::string ScriptsTest::ItemsText(unsigned id) const
{
    const TpCommand* cmd = store->GetCmd(id);
    return cmd != nullptr ? cmd->GetItemsText() : std::string();
}

void ScriptsTest::WriteScript(const std::string& name, const std::string& text)
{
    WriteText(Paths::ScriptsFolder() + "/" + name + ".cmd", text);
}

std::string ScriptsTest::ScriptText(const std::string& name)
{
    return ReadText(Paths::ScriptsFolder() + "/" + name + ".cmd");
}

void ScriptsTest::LoadScript(const std::string& name, const std::string& text)
{
    WriteScript(name, text);
    page->RebuildScriptList();
    const TpCommand* list = store->GetCmd(COM_SCRIPTS_CURRENT_SCRIPT);
    ASSERT_NE(list, nullptr);
    int index = -1;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        if (list->GetItemText(i) == name)
            index = i;
    }
    ASSERT_GE(index, 0) << name << " is not in the script list";
    Set(COM_SCRIPTS_CURRENT_SCRIPT, index);
    ASSERT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), name);
}

bool ScriptsTest::DialogOpen(const std::string& name) const
{
    const TpDialog* dialog = dialogs->Find(name);
    return dialog != nullptr && dialogs->IsOpen(dialog);
}
