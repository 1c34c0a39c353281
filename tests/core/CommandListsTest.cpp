// Item lists as clients read them, and the list commands built on them.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/TpDirList.h"
#include "core/TpMemListCmd.h"
#include "core/TpStore.h"
#include "core/TpTextListCmd.h"
#include "core/TpValListCmd.h"
#include "support/ZuTest.h"

namespace {

class CommandLists : public ZuTest {
protected:
    TpStore store;
    RecordingParent parent;
};

TEST_F(CommandLists, ItemReadsGiveTextsValuesStatesAndColours)
{
    TpTextListCmd list(&parent, COM_REMOTE_CONNECTIONS, 2);
    store.AddItem(COM_REMOTE_CONNECTIONS, "A", 5);
    store.AddItem(COM_REMOTE_CONNECTIONS, "B", 7);
    store.AddItem(COM_REMOTE_CONNECTIONS, "C", 9);
    store.SetItemEnabled(COM_REMOTE_CONNECTIONS, 1, false);
    store.SetItemColours(COM_REMOTE_CONNECTIONS, 2, 0xFF0000, 0x5A92CD);

    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetEnabledItemCount(), 2);
    EXPECT_EQ(list.GetItemsText(), "A\tB\tC");
    EXPECT_EQ(list.GetItemValue(2), 9);
    EXPECT_EQ(list.GetItemValue(3), 0);
    EXPECT_FALSE(list.GetItemEnabled(1));
    EXPECT_FALSE(list.GetItemEnabled(-1));
    EXPECT_EQ(list.GetColour(2), 0xFF0000u);
    EXPECT_EQ(list.GetBackColour(2), 0x5A92CDu);
    EXPECT_EQ(list.GetColour(5), 0u);

    int32_t values[4] = {-1, -1, -1, -1};
    EXPECT_EQ(list.GetItemValues(values, 4), 3);
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(values[2], 9);
    EXPECT_EQ(values[3], -1);
    EXPECT_EQ(list.GetItemValues(values, 2), 2);   // never beyond the capacity
    EXPECT_EQ(list.GetItemValues(nullptr, 4), 0);
}

TEST_F(CommandLists, JoinedItemTextsNeedAList)
{
    TpTextListCmd list(&parent, 0, 1);
    EXPECT_EQ(list.GetItemsText(), "");
    list.AddItem("only");
    EXPECT_EQ(list.GetItemsText(), "only");
    list.AddItem("");
    EXPECT_EQ(list.GetItemsText(), "only\t");

    TpCommand plain(0, 1, 0);   // items without the list flag
    plain.AddItem("a");
    plain.AddItem("b");
    EXPECT_EQ(plain.GetItemsText(), "");
    EXPECT_EQ(plain.GetItemCount(), 2);
}

TEST_F(CommandLists, AnItemIndexOutOfRangeGivesAnEmptyText)
{
    TpCommand valued(0, 1, 0);
    valued.AddItem("x");
    EXPECT_EQ(valued.GetItemText(0), "x");
    EXPECT_EQ(valued.GetItemText(1), "");
    EXPECT_TRUE(debug->Contains("Invalid ItemIndex (GIT)"));

    debug->Clear();
    TpCommand text(0, 2, 0);
    EXPECT_EQ(text.GetItemText(-1), "");
    EXPECT_FALSE(debug->Contains("Invalid ItemIndex (GIT)"));
}

TEST_F(CommandLists, AValueListCopiesItsChainAndKeepsItsSelectionOnEnabledItems)
{
    TpCommand tabs(COM_MAIN_TAB_SELECT, 1, 0);
    for (const char* t : {"Gen", "Mon", "Status", "Setup"})
        tabs.AddItem(t);
    TpValListCmd list(&parent, COM_MAIN_TAB_SELECT);
    EXPECT_EQ(list.GetItemsText(), "Gen\tMon\tStatus\tSetup");

    store.SetValue(COM_MAIN_TAB_SELECT, 1);
    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 1, false);   // the selected one goes
    EXPECT_EQ(list.GetValue(), 2);
    EXPECT_EQ(tabs.GetValue(), 2);   // every view follows

    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 3, false);
    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 2, false);   // nothing after: back to the nearest before
    EXPECT_EQ(list.GetValue(), 0);

    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 0, false);   // nothing left
    EXPECT_EQ(list.GetValue(), -1);
    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 3, true);    // the first to come back is selected
    EXPECT_EQ(list.GetValue(), 3);
    EXPECT_GE(parent.CountFor(&list, kReasonValue), 4);
}

TEST_F(CommandLists, AMemoryListShowsTheBackupListAsItChanges)
{
    TpMemListCmd archive(&parent, COM_SCRIPTS_ARCHIVE_FILE, 1);
    EXPECT_EQ(archive.GetItemCount(), 0);

    TpTextListCmd backups(nullptr, COM_MEMORY_BACKUP_FILELIST, 1);
    store.AddItem(COM_MEMORY_BACKUP_FILELIST, "a");
    store.AddItem(COM_MEMORY_BACKUP_FILELIST, "b");
    EXPECT_EQ(archive.GetItemsText(), "a\tb");
    EXPECT_EQ(archive.GetItemText(1), "b");

    store.ClearItems(COM_MEMORY_BACKUP_FILELIST);
    EXPECT_EQ(archive.GetItemCount(), 0);

    TpMemListCmd self(nullptr, COM_SCRIPTS_USER_LIST, 1, COM_SCRIPTS_USER_LIST);   // shows itself: nothing
    EXPECT_EQ(self.GetItemCount(), 0);
}

TEST_F(CommandLists, AFolderListFillsACommandAndFindsTheLastMatch)
{
    const std::string folder = WorkDir() + "/lists";
    ASSERT_TRUE(MakeFolder(folder));
    for (const char* name : {"beta.cmd", "alpha.cmd", "gamma.cmd", "alpha.txt"})
        WriteText(folder + "/" + name, "x");

    TpDirList dir;
    EXPECT_EQ(dir.ListFiles(folder + "/*.cmd"), 3);
    TpTextListCmd list(nullptr, COM_SCRIPTS_CURRENT_SCRIPT, 1);
    TpTextListCmd view(nullptr, COM_SCRIPTS_CURRENT_SCRIPT, 1);
    store.AddItem(COM_SCRIPTS_CURRENT_SCRIPT, "stale");
    EXPECT_EQ(dir.FillCommandItems(&list, "beta"), 1);
    EXPECT_EQ(list.GetItemsText(), "alpha\tbeta\tgamma");
    EXPECT_EQ(view.GetItemsText(), "alpha\tbeta\tgamma");
    EXPECT_EQ(dir.FillCommandItems(&list, "delta"), -1);
    EXPECT_EQ(dir.FillCommandItems(nullptr, "beta"), -1);

    EXPECT_EQ(dir.ListFiles(folder + "/*.txt"), 1);   // adds a second "alpha"
    EXPECT_EQ(dir.FillCommandItems(&list, "alpha"), 3);
}

} // namespace
