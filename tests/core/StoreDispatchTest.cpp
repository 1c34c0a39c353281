// The store's chains: a change given through the store reaches every command
// of the id whose state differs, and survives what the commands do while they
// are told of it.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/TpStore.h"
#include "support/ZuTest.h"

#include <fstream>
#include <memory>
#include <sstream>

namespace {

class StoreDispatch : public ZuTest {
protected:
    TpStore store;
    RecordingParent parent;
};

std::vector<TpCommand*> Chain(const TpStore& store, unsigned id)
{
    std::vector<TpCommand*> chain;
    for (TpCommand* c = store.GetCmd(id); c != nullptr; c = c->NextInChain())
        chain.push_back(c);
    return chain;
}

TEST_F(StoreDispatch, SetValueReachesOnlyTheCommandsWhoseValueDiffers)
{
    CountingCmd a(&parent, COM_GEN1_OUT_ENABLE), b(&parent, COM_GEN1_OUT_ENABLE), c(&parent, COM_GEN1_OUT_ENABLE);
    b.TpCommand::SetValue(5);   // already there, without telling anyone

    EXPECT_EQ(store.SetValue(COM_GEN1_OUT_ENABLE, 5), 5);

    EXPECT_EQ(a.valueSets, 1);
    EXPECT_EQ(b.valueSets, 0);
    EXPECT_EQ(c.valueSets, 1);
    EXPECT_EQ(parent.CountFor(&a, kReasonValue), 1);
    EXPECT_EQ(parent.CountFor(&b, kReasonValue), 0);
    EXPECT_EQ(parent.CountFor(&c, kReasonValue), 1);
    EXPECT_EQ(store.GetValue(COM_GEN1_OUT_ENABLE), 5);

    store.SetValue(COM_GEN1_OUT_ENABLE, 5);   // nothing differs any more
    EXPECT_EQ(a.valueSets + b.valueSets + c.valueSets, 2);
}

TEST_F(StoreDispatch, CommandsJoinAtHeadOrTailAndLeaveWhenDestroyed)
{
    TpCommand tail1(COM_GEN1_LINK_TYPE, 1, 0);
    TpCommand tail2(COM_GEN1_LINK_TYPE, 1, 0);
    auto head = std::make_unique<TpCommand>(COM_GEN1_LINK_TYPE, 1, 1);
    head->SetValue(7);
    EXPECT_EQ(Chain(store, COM_GEN1_LINK_TYPE), (std::vector<TpCommand*>{head.get(), &tail1, &tail2}));
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 7);   // the head's value
    EXPECT_TRUE(head->IsInStore());

    head.reset();
    EXPECT_EQ(Chain(store, COM_GEN1_LINK_TYPE), (std::vector<TpCommand*>{&tail1, &tail2}));
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 0);
}

TEST_F(StoreDispatch, IdZeroAndIdsWithoutCommandsChangeNothing)
{
    TpCommand loose(0, 1, 0);
    loose.SetText("own");
    EXPECT_FALSE(loose.IsInStore());
    EXPECT_EQ(store.GetCmd(0), nullptr);

    store.SetValue(0, 3);
    store.SetText(0, "x");
    store.SetItemText(COM_GEN2_OUT_ENABLE, 0, "x");
    EXPECT_EQ(loose.GetValue(), 0);
    EXPECT_EQ(loose.GetText(), "own");

    EXPECT_EQ(store.GetCmd(65000), nullptr);
    EXPECT_EQ(store.GetValue(65000), 0);
    EXPECT_EQ(store.GetCmdText(65000), "");
    EXPECT_EQ(store.SetValue(65000, 1), 0);
    store.SetEnabled(65000, false);
}

TEST_F(StoreDispatch, EveryApiIdFitsTheEntryTable)
{
    std::ifstream in(std::string(ZU_RESOURCES_DIR) + "/KrZuApi.h");
    ASSERT_TRUE(in.good());
    std::string line;
    long highest = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string define, name;
        long value = -1;
        if (words >> define >> name >> value && define == "#define")
            highest = std::max(highest, value);
    }
    EXPECT_GT(highest, 0);
    EXPECT_LT(static_cast<unsigned long>(highest), TpCommandEntries::kEntryCount);
}

TEST_F(StoreDispatch, AnIdBeyondTheTableIsNotLinked)
{
    TpCommand beyond(static_cast<uint16_t>(TpCommandEntries::kEntryCount), 1, 0);
    EXPECT_FALSE(beyond.IsInStore());
    EXPECT_TRUE(debug->Contains("beyond the store's table"));
}

TEST_F(StoreDispatch, EveryDispatcherReachesEveryViewOfTheId)
{
    const unsigned id = COM_SFP_TAB_SELECT;
    TpCommand a(id, 1, 0), b(id, 1, 0);
    const uint32_t mac[3] = {0xFF0000, 0x00FF00, 0x0000FF};

    store.AddItem(id, "one", 10);
    store.AddItemValue(id, 20);
    store.SetItemText(id, 1, "two");
    store.SetItemValue(id, 0, 11);
    store.SetItemEnabled(id, 1, false);
    store.SetItemColours(id, 0, 0xFF7F00, 0x5A92CD);
    store.SetText(id, "caption");
    store.SetEnabled(id, false);
    store.SetVisible(id, false);
    store.SetColour(id, 0xFF0000);
    store.SetBackColour(id, 0x123456);
    store.SetCharColours(id, mac, 3);
    store.SetFocused(id, true);
    store.SetRangeEnabled(id, true);
    store.SetColumnCount(id, 6);
    store.SetRowCount(id, 19);
    store.SetEvenColumnWidth(id, 65);
    store.SetOddColumnWidth(id, 95);

    for (TpCommand* c : {&a, &b}) {
        ASSERT_EQ(c->GetItemCount(), 2);
        EXPECT_EQ(c->GetItemText(0), "one");
        EXPECT_EQ(c->GetItemText(1), "two");
        EXPECT_EQ(c->GetItemValue(0), 11);
        EXPECT_EQ(c->GetItemValue(1), 20);
        EXPECT_TRUE(c->GetItemEnabled(0));
        EXPECT_FALSE(c->GetItemEnabled(1));
        EXPECT_EQ(c->GetColour(0), 0xFF7F00u);
        EXPECT_EQ(c->GetBackColour(0), 0x5A92CDu);
        EXPECT_EQ(c->GetText(), "caption");
        EXPECT_FALSE(c->IsEnabled());
        EXPECT_FALSE(c->IsVisible());
        EXPECT_EQ(c->GetColour(), 0xFF0000u);
        EXPECT_EQ(c->GetBackColour(), 0x123456u);
        EXPECT_EQ(c->GetCharColours(), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
        EXPECT_TRUE(c->IsFocused());
        EXPECT_TRUE(c->IsRangeEnabled());
        EXPECT_EQ(c->GetColumnCount(), 6);
        EXPECT_EQ(c->GetRowCount(), 19);
        EXPECT_EQ(c->GetEvenColumnWidth(), 65);
        EXPECT_EQ(c->GetOddColumnWidth(), 95);
    }
    EXPECT_EQ(store.GetCmdText(id), "caption");

    store.ClearItems(id);
    EXPECT_EQ(a.GetItemCount() + b.GetItemCount(), 0);
}

TEST_F(StoreDispatch, ItemChangesPassOverCommandsWithoutThatItem)
{
    const unsigned id = COM_MAIN_TAB_SELECT;
    TpCommand shortList(id, 1, 0), longList(id, 1, 0);
    shortList.AddItem("a");
    for (const char* t : {"a", "b", "c"})
        longList.AddItem(t);

    store.SetItemText(id, 2, "changed");
    store.SetItemEnabled(id, 2, false);
    store.SetItemText(id, -1, "never");

    EXPECT_EQ(shortList.GetItemCount(), 1);
    EXPECT_EQ(longList.GetItemText(2), "changed");
    EXPECT_FALSE(longList.GetItemEnabled(2));
    EXPECT_EQ(longList.GetItemText(0), "a");
}

TEST_F(StoreDispatch, TheAllOperationsGoThroughTheStoreOrStayWithALooseCommand)
{
    TpCommand a(COM_GEN1_PAYLOAD_ID, 1, 0), b(COM_GEN1_PAYLOAD_ID, 1, 0);
    a.SetValueAll(4);
    a.SetTextAll("t");
    b.SetVisibleAll(false);
    EXPECT_EQ(b.GetValue(), 4);
    EXPECT_EQ(b.GetText(), "t");
    EXPECT_FALSE(a.IsVisible());

    TpCommand loose(0, 1, 0);
    loose.SetValueAll(9);
    loose.SetEnabledAll(false);
    EXPECT_EQ(loose.GetValue(), 9);
    EXPECT_FALSE(loose.IsEnabled());
    EXPECT_EQ(a.GetValue(), 4);
}

// --- re-entrancy ------------------------------------------------------------------

TEST_F(StoreDispatch, ACommandDeletedDuringItsOwnNotificationDoesNotStopTheWalk)
{
    auto first = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    CountingCmd second(&parent, COM_GEN1_OUT_ENABLE), third(&parent, COM_GEN1_OUT_ENABLE);
    TpCommand* firstSeen = first.get();
    parent.onChange = [&](TpCommand* child, int) {
        if (child == firstSeen)
            first.reset();
    };

    store.SetValue(COM_GEN1_OUT_ENABLE, 1);

    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second.GetValue(), 1);
    EXPECT_EQ(third.GetValue(), 1);
    EXPECT_EQ(Chain(store, COM_GEN1_OUT_ENABLE), (std::vector<TpCommand*>{&second, &third}));
}

TEST_F(StoreDispatch, CommandsDeletedAheadOfTheWalkAreStepped)
{
    CountingCmd first(&parent, COM_GEN1_OUT_ENABLE);
    auto second = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    auto third = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    CountingCmd fourth(&parent, COM_GEN1_OUT_ENABLE);
    parent.onChange = [&](TpCommand* child, int) {
        if (child == &first) {
            second.reset();
            third.reset();
        }
    };

    store.SetValue(COM_GEN1_OUT_ENABLE, 2);

    EXPECT_EQ(fourth.valueSets, 1);
    EXPECT_EQ(fourth.GetValue(), 2);
    EXPECT_EQ(parent.notes.size(), 2u);
}

TEST_F(StoreDispatch, ANewerChangeOfTheSameIdLeavesTheChainConsistent)
{
    CountingCmd a(&parent, COM_GEN1_OUT_ENABLE), b(&parent, COM_GEN1_OUT_ENABLE), c(&parent, COM_GEN1_OUT_ENABLE);
    // The first command's parent overrules a value of 1 with 3.
    parent.onChange = [&](TpCommand* child, int) {
        if (child == &a && a.GetValue() == 1)
            store.SetValue(COM_GEN1_OUT_ENABLE, 3);
    };

    store.SetValue(COM_GEN1_OUT_ENABLE, 1);

    EXPECT_EQ(a.GetValue(), 3);
    EXPECT_EQ(b.GetValue(), 3);
    EXPECT_EQ(c.GetValue(), 3);
    EXPECT_EQ(b.valueSets, 1);   // given 3 once, never the stale 1
    EXPECT_EQ(c.valueSets, 1);
}

TEST_F(StoreDispatch, HandlersMayChangeOtherIdsAndAddCommandsWhileTold)
{
    CountingCmd a(&parent, COM_GEN1_OUT_ENABLE), b(&parent, COM_GEN1_OUT_ENABLE);
    CountingCmd other(&parent, COM_GEN2_OUT_ENABLE);
    std::vector<std::unique_ptr<TpCommand>> added;
    parent.onChange = [&](TpCommand* child, int reason) {
        if (child == &a && reason == kReasonValue) {
            store.SetText(COM_GEN1_OUT_ENABLE, "on");
            store.SetValue(COM_GEN2_OUT_ENABLE, 8);
            added.push_back(std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, 1, 1));
            added.push_back(std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, 1, 0));
        }
    };

    store.SetValue(COM_GEN1_OUT_ENABLE, 1);

    EXPECT_EQ(b.GetValue(), 1);
    EXPECT_EQ(b.GetText(), "on");
    EXPECT_EQ(other.GetValue(), 8);
    EXPECT_EQ(Chain(store, COM_GEN1_OUT_ENABLE).size(), 4u);
}

TEST_F(StoreDispatch, CommandsOutliveTheStore)
{
    auto own = std::make_unique<TpStore>();
    auto cmd = std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, 1, 0);
    EXPECT_TRUE(cmd->IsInStore());
    EXPECT_EQ(TpStore::Instance(), own.get());
    own.reset();
    EXPECT_EQ(TpStore::Instance(), nullptr);
    EXPECT_FALSE(cmd->IsInStore());
    cmd->SetValueAll(3);   // changes itself only
    EXPECT_EQ(cmd->GetValue(), 3);
}

} // namespace
