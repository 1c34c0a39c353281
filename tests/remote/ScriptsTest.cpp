#include "ScriptsTest.h"

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

void ScriptsTest::RunTask(int n)
{
    for (int i = 0; i < n * TpStore::PeriodTicks(TpScripts::kTaskPeriodMs); ++i)
        store->Tick();
}

void ScriptsTest::RunSeconds(int seconds, int runs)
{
    for (int second = 0; second < seconds; ++second) {
        RunTask(runs);
        AdvanceSeconds(1);
    }
}

int ScriptsTest::Events(const std::string& fragment) const
{
    int count = 0;
    for (int i = 0; i < logger->EntryCount(); ++i) {
        if (logger->EntryText(i).find(fragment) != std::string::npos)
            ++count;
    }
    return count;
}

void ScriptsTest::LoadScript(const std::string& name, const std::string& text)
{
    WriteScript(name, text);
    page->RebuildScriptList();
    const TpCommand* list = Cmd(COM_SCRIPTS_CURRENT_SCRIPT);
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

void ScriptsTest::UseScript(const std::vector<std::string>& lines, int loopCount)
{
    ScriptFile& script = page->Script();
    script.ClearSteps();
    for (const std::string& line : lines)
        EXPECT_TRUE(script.AddStep(line, std::string())) << line;
    script.loopCount = loopCount;
    script.loopForever = loopCount == 0;
    script.loaded = true;
}

bool ScriptsTest::Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void ScriptsTest::SetModified(const std::string& path, std::time_t when)
{
    struct utimbuf times {};
    times.actime = when;
    times.modtime = when;
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

bool ScriptsTest::DialogOpen(const std::string& name) const
{
    const TpDialog* dialog = dialogs->Find(name);
    return dialog != nullptr && dialogs->IsOpen(dialog);
}
