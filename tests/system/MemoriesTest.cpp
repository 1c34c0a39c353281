// The memories page: saving and recalling set-ups through the store (also
// from the recall keys), the backup list, and the restore of a backup that
// finishes on a later tick.
#include "BoardTest.h"

#include "KrZuApi.h"
#include "core/TpChildCmd.h"
#include "core/TpParent.h"
#include "core/TpStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/KeyMailbox.h"
#include "system/TpMemories.h"
#include "ui/TpDialogList.h"

#include <memory>
#include <vector>

namespace {

constexpr unsigned kSetting = 3100;   // a memory-stored setting

// A page that hears the backup-load command as the scripts page does.
class Listener : public TpParent {
public:
    Listener() : TpParent(nullptr, 0, 0), load(this, COM_MEMORY_BACKUP_LOAD, 1) {}
    void OnChildChanged(TpCommand* child, int reason) override
    {
        if (child == &load && reason == kReasonValue)
            loadValues.push_back(load.GetValue());
    }
    TpChildCmd load;
    std::vector<int32_t> loadValues;
};

class Memories : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        store = std::make_unique<TpStore>();
        store->DefineEntry(kSetting, kStoreValue, kStoreMemory, 0);
        setting = std::make_unique<TpCommand>(kSetting, 1, 0);
    }
    void TearDown() override
    {
        setting.reset();
        store.reset();
        BoardTest::TearDown();
    }

    void SaveMemory(int32_t memory, int32_t value)
    {
        store->SetValue(kSetting, value);
        store->SetValue(COM_MEMORY_SEL, memory - 1);
        store->SetValue(COM_MEMORY_SAVE, 1);
    }

    void WriteBackup(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(Paths::MakeDataFolders());
        WriteText(Paths::BackupsFolder() + "/" + name + ".mem", text);
    }

    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpCommand> setting;
};

} // namespace

TEST_F(Memories, LoadMemoryRecallsTheSelectedMemoryEveryTime)
{
    TpMemories memories;
    SaveMemory(3, 33);
    SaveMemory(1, 11);
    EXPECT_EQ(store->GetValue(COM_MEMORY_SAVE), 0);

    // A LOADMEM 3 step: selection memory - 1, then the recall command.
    store->SetValue(kSetting, 0);
    store->SetValue(COM_MEMORY_SEL, 2);
    store->SetValue(COM_MEMORY_RECALL, 1);
    EXPECT_EQ(store->GetValue(kSetting), 33);
    EXPECT_EQ(store->GetValue(COM_MEMORY_RECALL), 0) << "the recall command falls back like a button";

    store->SetValue(kSetting, 0);
    store->SetValue(COM_MEMORY_RECALL, 1);
    EXPECT_EQ(store->GetValue(kSetting), 33) << "a second recall of the same memory recalls again";

    store->SetValue(COM_MEMORY_SEL, 4);
    store->SetValue(COM_MEMORY_RECALL, 1);
    EXPECT_TRUE(debug->Contains("memory 5 is empty"));
    EXPECT_EQ(store->GetValue(kSetting), 33);
}

TEST_F(Memories, TheRecallKeysReachThePage)
{
    TpDialogList list;
    ASSERT_TRUE(list.LoadText("dialog|Main\nlabel|A|0\nend\n", "test.dlg"));
    ShowDialog("Main", 1);
    TpMemories memories;
    SaveMemory(2, 22);
    store->SetValue(kSetting, 0);
    EXPECT_EQ(list.RouteKey(static_cast<uint16_t>(kKeyPressFlag | (kKeyRecallFirst + 1))), TpKeyResult::MemoryRecalled);
    EXPECT_EQ(store->GetValue(kSetting), 22);
}

TEST_F(Memories, TheBackupListShowsTheBackupFiles)
{
    WriteBackup("b", "");
    WriteBackup("a", "");
    WriteText(Paths::BackupsFolder() + "/notes.txt", "x");
    TpMemories memories;
    const TpCommand* files = store->GetCmd(COM_MEMORY_BACKUP_FILELIST);
    ASSERT_EQ(files->GetItemCount(), 2);
    EXPECT_EQ(files->GetItemText(0), "a");
    EXPECT_EQ(files->GetItemText(1), "b");
    EXPECT_EQ(files->GetValue(), 0);
}

TEST_F(Memories, ABackupLoadFallsBackToZeroOnALaterTick)
{
    WriteBackup("studio", "[Memory4]\nName=Studio\nV3100=44\n");
    TpMemories memories;
    Listener scripts;

    // The scripts' archive restore: 0, then 1.
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 0);
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 1) << "not finished when the set returns";
    EXPECT_TRUE(memories.RestorePending());
    EXPECT_EQ(scripts.loadValues, (std::vector<int32_t> {1}));

    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_EQ(scripts.loadValues, (std::vector<int32_t> {1, 0})) << "the fall to 0 is heard";
    ASSERT_NE(memories.Memories().Find(4), nullptr);
    EXPECT_EQ(memories.Memories().Find(4)->name, "Studio");

    store->SetValue(COM_MEMORY_SEL, 3);
    store->SetValue(COM_MEMORY_RECALL, 1);
    EXPECT_EQ(store->GetValue(kSetting), 44) << "the restored memory recalls";
}

TEST_F(Memories, AFailedRestoreStillFinishes)
{
    WriteBackup("broken", "not a memory file\n");
    TpMemories memories;
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_TRUE(debug->Contains("Text file corrupt"));

    // No backup at all.
    DeleteFile(Paths::BackupsFolder() + "/broken.mem");
    memories.RefreshBackupList();
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_TRUE(debug->Contains("no backup file selected to restore"));
}

TEST_F(Memories, SavingABackupWritesTheMemories)
{
    WriteBackup("saved", "");
    TpMemories memories;
    SaveMemory(2, 7);
    store->SetValue(COM_MEMORY_BACKUP_SAVE, 1);
    const std::string text = ReadText(Paths::BackupsFolder() + "/saved.mem");
    EXPECT_NE(text.find("[Memory2]"), std::string::npos);
    EXPECT_NE(text.find("V3100=7"), std::string::npos);
}
