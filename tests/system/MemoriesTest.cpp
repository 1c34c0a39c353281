// The memories page: save and recall through the store, the backup list, and a restore finishing on a later tick.
#include "BoardTest.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "system/TpMemories.h"

#include <memory>

namespace {

constexpr unsigned kSetting = 3100;   // a memory-stored setting

class Memories : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        store = std::make_unique<TpStore>();
        store->DefineEntry(kSetting, kStoreValue, kStoreMemory, 0);
        setting = std::make_unique<TpCommand>(kSetting, kKeepsValue, 0);
        ASSERT_TRUE(Paths::MakeDataFolders());
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
    void Recall(int32_t memory)
    {
        store->SetValue(COM_MEMORY_SEL, memory - 1);
        store->SetValue(COM_MEMORY_RECALL, 1);
    }
    static std::string Backup(const std::string& name) { return Paths::BackupsFolder() + "/" + name + ".mem"; }

    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpCommand> setting;
};

} // namespace

TEST_F(Memories, RecallTakesTheSelectedMemoryEveryTime)
{
    TpMemories memories;
    SaveMemory(3, 33);
    SaveMemory(1, 11);
    EXPECT_EQ(store->GetValue(COM_MEMORY_SAVE), 0);

    store->SetValue(kSetting, 0);
    Recall(3);
    EXPECT_EQ(store->GetValue(kSetting), 33);
    EXPECT_EQ(store->GetValue(COM_MEMORY_RECALL), 0) << "the recall command falls back like a button";
    store->SetValue(kSetting, 0);
    store->SetValue(COM_MEMORY_RECALL, 1);
    EXPECT_EQ(store->GetValue(kSetting), 33) << "a second recall of the same memory recalls again";

    Recall(5);
    EXPECT_TRUE(debug->Contains("memory 5 is empty"));
    EXPECT_EQ(store->GetValue(kSetting), 33);
}

TEST_F(Memories, BackupListAndSavingABackup)
{
    WriteText(Backup("b"), "");
    WriteText(Backup("a"), "");
    WriteText(Paths::BackupsFolder() + "/notes.txt", "x");
    TpMemories memories;
    const TpCommand* files = store->GetCmd(COM_MEMORY_BACKUP_FILELIST);
    ASSERT_EQ(files->GetItemCount(), 2);
    EXPECT_EQ(files->GetItemText(0), "a");
    EXPECT_EQ(files->GetItemText(1), "b");
    EXPECT_EQ(files->GetValue(), 0);

    SaveMemory(2, 7);
    store->SetValue(COM_MEMORY_BACKUP_SAVE, 1);
    const std::string text = ReadText(Backup("a"));
    EXPECT_NE(text.find("[Memory2]"), std::string::npos);
    EXPECT_NE(text.find("V3100=7"), std::string::npos);
}

TEST_F(Memories, RestoreFinishesOnALaterTickEvenWhenItFails)
{
    WriteText(Backup("studio"), "[Memory4]\nName=Studio\nV3100=44\n");
    TpMemories memories;
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 1) << "not finished when the set returns";
    EXPECT_TRUE(memories.RestorePending());
    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    ASSERT_NE(memories.Memories().Find(4), nullptr);
    EXPECT_EQ(memories.Memories().Find(4)->name, "Studio");
    Recall(4);
    EXPECT_EQ(store->GetValue(kSetting), 44) << "the restored memory recalls";

    // A corrupt backup, then none at all.
    WriteText(Backup("studio"), "not a memory file\n");
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_TRUE(debug->Contains("Text file corrupt"));
    DeleteFile(Backup("studio"));
    memories.RefreshBackupList();
    store->SetValue(COM_MEMORY_BACKUP_LOAD, 1);
    store->Tick();
    EXPECT_EQ(store->GetValue(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_TRUE(debug->Contains("no backup file selected to restore"));
}
