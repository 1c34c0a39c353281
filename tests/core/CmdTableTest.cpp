// A page's command table: entries by index, reads through the store, writes to every command of the id.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/store/TpCmdTable.h"
#include "core/store/TpStore.h"
#include "support/ZuTest.h"

namespace {

using CmdTable = ZuTest;

TEST_F(CmdTable, EntriesReadThroughTheStoreAndIdZeroOrMissingEntriesChangeNothing)
{
    TpStore store;
    RecordingParent parent;
    const uint16_t ids[] = {COM_GEN1_OUT_ENABLE, 0, COM_REMOTE_PORT};
    TpCommand otherView(COM_GEN1_OUT_ENABLE, kKeepsValue);   // the head of the id's chain
    TpCmdTable table(ids);
    TpCommand* first = table.Make<TpChildCmd>(0, &parent, kKeepsValue);
    TpCommand* local = table.Make<TpChildCmd>(1, &parent, kKeepsValue);
    EXPECT_EQ(table.Make<TpChildCmd>(3, &parent, kKeepsValue), nullptr);

    table.SetValue(0, 7);
    EXPECT_EQ(otherView.GetValue(), 7) << "every command of the id";
    EXPECT_EQ(table.IndexOf(parent.notes.at(0).child), 0);
    EXPECT_EQ(table.IndexOf(&otherView), -1);
    otherView.SetValue(9);
    EXPECT_EQ(table.Value(0), 9) << "read through the store, not the entry's own command";
    EXPECT_EQ(first->GetValue(), 7);

    local->SetValue(3);
    table.SetValue(1, 4);
    EXPECT_EQ(table.Value(1), 3) << "id 0: its own command, never written";
    EXPECT_EQ(table.Cmd(2), nullptr);
    EXPECT_EQ(table.Value(2), 0);
    table.SetValue(2, 5);
    EXPECT_EQ(table.Id(-1), 0);
    EXPECT_EQ(table.Text(7), "");
}

} // namespace
