// Defaults, memories and backup files: what the store gives its commands when it loads, and who hears of it.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/memories/TpMemoryFile.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "platform/Paths.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

class StoreRestore : public ZuTest {
protected:
    void SetUp() override
    {
        ZuTest::SetUp();
        ASSERT_TRUE(Paths::MakeDataFolders());
        store.DefineEntry(COM_GEN1_OUT_ENABLE, kStoreValue, kStoreMemory, 1);
        store.DefineEntry(COM_GEN1_STD_LONG_TEXT, kStoreText, kStoreMemory, 0, "1080i50");
        store.DefineEntry(COM_REMOTE_DISABLE_KEYBOARD, kStoreValue, kStoreSystem, 0);
        parent.onChange = [this](TpCommand*, int) { statesSeen.push_back(store.LoadState()); };
        choice.AddItem("kept");
    }

    TpStore store;
    RecordingParent parent;
    TpChildCmd enable{&parent, COM_GEN1_OUT_ENABLE, kKeepsValue};
    TpChildCmd standard{&parent, COM_GEN1_STD_LONG_TEXT, kKeepsText};
    TpChildCmd keyLock{&parent, COM_REMOTE_DISABLE_KEYBOARD, kKeepsValue};
    std::vector<int> statesSeen;   // the load state each change was told in
    TpTextListCmd choice{nullptr, COM_SCRIPTS_EDIT_STEP_MEMORY, kKeepsValue};
};

TEST_F(StoreRestore, DefaultsReachEveryDefinedEntryThenTheRestoreHandlers)
{
    keyLock.SetValue(1);
    statesSeen.clear();
    TaskOwner handler, third;
    auto second = std::make_unique<TaskOwner>();
    struct Deleter : TaskOwner {   // deletes the next handler before its turn
        std::unique_ptr<TaskOwner>* target = nullptr;
        void OnRestored() override { target->reset(); }
    } deleter;
    deleter.target = &second;
    for (TaskOwner* h : {&handler, &handler, static_cast<TaskOwner*>(&deleter), second.get(), &third})
        store.AddRestoreHandler(h);   // the same handler twice is kept once

    EXPECT_EQ(store.LoadState(), kLoadInit);
    store.ApplyDefaults();
    EXPECT_EQ(enable.GetValue(), 1);
    EXPECT_EQ(standard.GetText(), "1080i50");
    EXPECT_EQ(keyLock.GetValue(), 0);
    EXPECT_EQ(statesSeen, (std::vector<int>{kLoadDefaults, kLoadDefaults, kLoadDefaults}));
    EXPECT_EQ(store.LoadState(), kLoadNormal);
    EXPECT_EQ(handler.restores, 1);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(third.restores, 1);
    store.ApplyDefaults();
    EXPECT_EQ(third.restores, 2);
}

TEST_F(StoreRestore, AMemoryGoesThroughABackupFileAndComesBack)
{
    store.SetValue(COM_GEN1_OUT_ENABLE, 7);
    store.SetText(COM_GEN1_STD_LONG_TEXT, "720p59");
    TpMemoryFile saved;
    ASSERT_TRUE(saved.SetMemory(store.CaptureMemory(2, "Studio A")));
    ASSERT_TRUE(saved.SetMemory(store.CaptureMemory(1, "Default")));
    ASSERT_TRUE(saved.ExportMemory("studio"));
    EXPECT_EQ(ReadText(Paths::BackupsFolder() + "/studio.mem").substr(0, 23), "[Memory1]\nName=Default\n");

    store.SetValue(COM_GEN1_OUT_ENABLE, 0);
    store.SetText(COM_GEN1_STD_LONG_TEXT, "");
    store.SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    TpMemoryFile loaded;
    ASSERT_TRUE(loaded.ImportMemory("studio", &choice));
    EXPECT_EQ(choice.GetItemsText(), "Default\tStudio A");
    EXPECT_EQ(choice.GetItemValue(1), 2);

    TaskOwner handler;
    store.AddRestoreHandler(&handler);
    statesSeen.clear();
    ASSERT_NE(loaded.Find(2), nullptr);
    store.RecallMemory(*loaded.Find(2));
    EXPECT_EQ(enable.GetValue(), 7);
    EXPECT_EQ(standard.GetText(), "720p59");
    EXPECT_EQ(keyLock.GetValue(), 1);   // not a memory setting
    EXPECT_EQ(statesSeen, (std::vector<int>{kLoadMemory, kLoadMemory}));
    EXPECT_EQ(store.LoadState(), kLoadNormal);
    EXPECT_EQ(handler.restores, 1);
}

TEST_F(StoreRestore, BackupNamesThatLeaveTheFolderAndCorruptFilesChangeNothing)
{
    WriteText(Paths::DataFolder() + "/outside.mem", "[Memory1]\nName=x\n");
    TpMemoryFile file;
    for (const char* name : {"../outside", "a/b", "a\\b", "..", ""}) {
        debug->Clear();
        EXPECT_FALSE(file.ImportMemory(name, &choice)) << name;
        EXPECT_TRUE(debug->Contains("Error when importing memories between")) << name;
        EXPECT_FALSE(file.ExportMemory(name)) << name;
    }
    EXPECT_FALSE(file.ImportMemory("missing", &choice));

    TpMemory kept;
    kept.number = 4;
    kept.name = "kept";
    file.SetMemory(kept);
    for (const char* text : {"Name=no section\n", "[Memory1]\nV290\n", "[Memory1]\nV290=abc\n", "[Memory1]\nV0=1\n",
                             "[Memory1]\nV70000=1\n", "[Memory1]\nV290=99999999999\n", "[Memory1]\nX290=1\n",
                             "[Memory0]\n", "[Memory1\n", "[Memory1]\n[Memory1]\n", "[Memoryx]\n"}) {
        WriteText(Paths::BackupsFolder() + "/bad.mem", text);
        debug->Clear();
        EXPECT_FALSE(file.ImportMemory("bad", &choice)) << text;
        EXPECT_TRUE(debug->Contains("Text file corrupt")) << text;
    }
    ASSERT_EQ(file.Memories().size(), 1u);
    EXPECT_EQ(file.Memories()[0].name, "kept");
    EXPECT_EQ(choice.GetItemsText(), "kept");

    // Blank lines and CR-LF ends are fine.
    WriteText(Paths::BackupsFolder() + "/good.mem", "\r\n[Memory3]\r\nName=Three\r\n\r\nV290=-2\r\nT38=a=b\r\n");
    ASSERT_TRUE(file.ImportMemory("good", &choice));
    ASSERT_NE(file.Find(3), nullptr);
    ASSERT_EQ(file.Find(3)->values.size(), 2u);
    EXPECT_EQ(file.Find(3)->values[0].value, -2);
    EXPECT_EQ(file.Find(3)->values[1].text, "a=b");
    EXPECT_EQ(choice.GetItemsText(), "Three");
}

} // namespace
