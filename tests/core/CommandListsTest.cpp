// Item lists as clients read them, and the list commands built on them.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/commands/TpMemListCmd.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "core/commands/TpValListCmd.h"
#include "support/ZuTest.h"

namespace {

class CommandLists : public ZuTest {
protected:
    TpStore store;
    RecordingParent parent;
};

TEST_F(CommandLists, ItemReadsStayWithinTheListAndItsCapacity)
{
    TpTextListCmd list(&parent, COM_REMOTE_CONNECTIONS, kKeepsText);
    store.AddItem(COM_REMOTE_CONNECTIONS, "A", 5);
    store.AddItem(COM_REMOTE_CONNECTIONS, "", 7);
    store.AddItem(COM_REMOTE_CONNECTIONS, "C", 9);
    store.SetItemEnabled(COM_REMOTE_CONNECTIONS, 1, false);
    EXPECT_EQ(list.GetEnabledItemCount(), 2);
    EXPECT_EQ(list.GetItemsText(), "A\t\tC");
    EXPECT_EQ(list.GetItemValue(3), 0);
    EXPECT_FALSE(list.GetItemEnabled(-1));
    EXPECT_EQ(list.GetColour(5), 0u);

    int32_t values[4] = {-1, -1, -1, -1};
    EXPECT_EQ(list.GetItemValues(values, 4), 3);
    EXPECT_EQ(values[2], 9);
    EXPECT_EQ(values[3], -1);
    EXPECT_EQ(list.GetItemValues(values, 2), 2);   // never beyond the capacity
    EXPECT_EQ(list.GetItemValues(nullptr, 4), 0);

    TpCommand plain(0, kKeepsValue, 0);   // items without the list flag are not joined
    plain.AddItem("x");
    EXPECT_EQ(plain.GetItemsText(), "");
    EXPECT_EQ(plain.GetItemText(1), "");
    EXPECT_TRUE(debug->Contains("Invalid ItemIndex (GIT)"));

    TpMemListCmd self(nullptr, COM_SCRIPTS_USER_LIST, kKeepsValue, COM_SCRIPTS_USER_LIST);   // a list showing itself
    EXPECT_EQ(self.GetItemCount(), 0);
}

TEST_F(CommandLists, AValueListCopiesItsChainAndKeepsItsSelectionOnEnabledItems)
{
    TpCommand tabs(COM_MAIN_TAB_SELECT, kKeepsValue, 0);
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

} // namespace
