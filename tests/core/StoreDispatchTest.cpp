// The store's chains: a change reaches every command of the id whose state differs, whatever they do when told.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/store/TpStore.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

class StoreDispatch : public ZuTest {
protected:
    std::vector<TpCommand*> Chain(unsigned id) const
    {
        std::vector<TpCommand*> chain;
        for (TpCommand* c = store.GetCmd(id); c != nullptr; c = c->NextInChain())
            chain.push_back(c);
        return chain;
    }
    static std::vector<int> Values(std::initializer_list<const CountingCmd*> cmds, bool sets = false)
    {
        std::vector<int> v;
        for (const CountingCmd* c : cmds)
            v.push_back(sets ? c->valueSets : c->GetValue());
        return v;
    }

    TpStore store;
    RecordingParent parent;
};

TEST_F(StoreDispatch, SetValueReachesOnlyTheCommandsWhoseValueDiffers)
{
    CountingCmd a(&parent, COM_GEN1_OUT_ENABLE), b(&parent, COM_GEN1_OUT_ENABLE), c(&parent, COM_GEN1_OUT_ENABLE);
    b.TpCommand::SetValue(5);   // already there, without telling anyone

    EXPECT_EQ(store.SetValue(COM_GEN1_OUT_ENABLE, 5), 5);
    EXPECT_EQ(Values({&a, &b, &c}, true), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(parent.notes.size(), 2u);
    EXPECT_EQ(parent.CountFor(&b, kReasonValue), 0);
    EXPECT_EQ(store.GetValue(COM_GEN1_OUT_ENABLE), 5);

    store.SetValue(COM_GEN1_OUT_ENABLE, 5);   // nothing differs any more
    a.SetValueAll(5);
    EXPECT_EQ(Values({&a, &b, &c}, true), (std::vector<int>{1, 0, 1}));
}

TEST_F(StoreDispatch, CommandsJoinAtHeadOrTailAndLeaveWhenDestroyed)
{
    TpCommand tail1(COM_GEN1_LINK_TYPE, kKeepsValue, 0);
    TpCommand tail2(COM_GEN1_LINK_TYPE, kKeepsValue, 0);
    auto head = std::make_unique<TpCommand>(COM_GEN1_LINK_TYPE, kKeepsValue, 1);
    head->SetValue(7);
    EXPECT_EQ(Chain(COM_GEN1_LINK_TYPE), (std::vector<TpCommand*>{head.get(), &tail1, &tail2}));
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 7);   // the head's value

    head.reset();
    EXPECT_EQ(Chain(COM_GEN1_LINK_TYPE), (std::vector<TpCommand*>{&tail1, &tail2}));
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 0);
    tail2.SetTextAll("t");   // through the store to every view
    EXPECT_EQ(tail1.GetText(), "t");
}

TEST_F(StoreDispatch, IdZeroAndIdsWithoutCommandsOrBeyondTheTableChangeNothing)
{
    TpCommand loose(0, kKeepsValue, 0);
    loose.SetText("own");
    EXPECT_FALSE(loose.IsInStore());
    EXPECT_EQ(store.GetCmd(0), nullptr);
    store.SetValue(0, 3);
    store.SetText(0, "x");
    store.SetItemText(COM_GEN2_OUT_ENABLE, 0, "x");
    EXPECT_EQ(loose.GetValue(), 0);
    EXPECT_EQ(loose.GetText(), "own");

    EXPECT_EQ(store.GetCmd(65000), nullptr);
    EXPECT_EQ(store.GetCmdText(65000), "");
    EXPECT_EQ(store.SetValue(65000, 1), 0);
    store.SetEnabled(65000, false);

    TpCommand beyond(static_cast<uint16_t>(TpCommandEntries::kEntryCount), kKeepsValue, 0);
    EXPECT_FALSE(beyond.IsInStore());
    EXPECT_TRUE(debug->Contains("beyond the store's table"));
}

TEST_F(StoreDispatch, ItemChangesReachEveryViewThatHasTheItem)
{
    const unsigned id = COM_SFP_TAB_SELECT;
    TpCommand a(id, kKeepsValue, 0), b(id, kKeepsValue, 0);
    store.AddItem(id, "one", 10);
    store.AddItemValue(id, 20);
    store.SetItemText(id, 1, "two");
    store.SetItemEnabled(id, 1, false);
    for (const TpCommand* c : {&a, &b}) {
        ASSERT_EQ(c->GetItemCount(), 2);
        EXPECT_EQ(c->GetItemText(1), "two");
        EXPECT_FALSE(c->GetItemEnabled(1));
    }
    store.ClearItems(id);
    EXPECT_EQ(a.GetItemCount() + b.GetItemCount(), 0);

    // Item changes pass over the views without that item.
    TpCommand shortList(COM_MAIN_TAB_SELECT, kKeepsValue, 0), longList(COM_MAIN_TAB_SELECT, kKeepsValue, 0);
    shortList.AddItem("a");
    for (const char* t : {"a", "b", "c"})
        longList.AddItem(t);
    store.SetItemText(COM_MAIN_TAB_SELECT, 2, "changed");
    store.SetItemEnabled(COM_MAIN_TAB_SELECT, 2, false);
    store.SetItemText(COM_MAIN_TAB_SELECT, -1, "never");
    EXPECT_EQ(shortList.GetItemCount(), 1);
    EXPECT_EQ(longList.GetItemText(2), "changed");
    EXPECT_FALSE(longList.GetItemEnabled(2));
    EXPECT_EQ(longList.GetItemText(0), "a");
}

TEST_F(StoreDispatch, CommandsDeletedDuringTheWalkAreStepped)
{
    // The first deletes itself while told; the second deletes the two after it.
    auto first = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    CountingCmd second(&parent, COM_GEN1_OUT_ENABLE);
    auto third = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    auto fourth = std::make_unique<CountingCmd>(&parent, COM_GEN1_OUT_ENABLE);
    CountingCmd fifth(&parent, COM_GEN1_OUT_ENABLE);
    TpCommand* firstSeen = first.get();
    parent.onChange = [&](TpCommand* child, int) {
        if (child == firstSeen)
            first.reset();
        if (child == &second) {
            third.reset();
            fourth.reset();
        }
    };

    store.SetValue(COM_GEN1_OUT_ENABLE, 2);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(Values({&second, &fifth}), (std::vector<int>{2, 2}));
    EXPECT_EQ(fifth.valueSets, 1);
    EXPECT_EQ(parent.notes.size(), 3u);
    EXPECT_EQ(Chain(COM_GEN1_OUT_ENABLE), (std::vector<TpCommand*>{&second, &fifth}));
}

TEST_F(StoreDispatch, HandlersMayChangeTheSameOrOtherIdsAndAddCommandsWhileTold)
{
    CountingCmd a(&parent, COM_GEN1_OUT_ENABLE), b(&parent, COM_GEN1_OUT_ENABLE), c(&parent, COM_GEN1_OUT_ENABLE);
    parent.onChange = [&](TpCommand* child, int) {   // the first's parent overrules 1 with 3
        if (child == &a && a.GetValue() == 1)
            store.SetValue(COM_GEN1_OUT_ENABLE, 3);
    };
    store.SetValue(COM_GEN1_OUT_ENABLE, 1);
    EXPECT_EQ(Values({&a, &b, &c}), (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(Values({&b, &c}, true), (std::vector<int>{1, 1})) << "given 3 once, never the stale 1";

    CountingCmd other(&parent, COM_GEN2_OUT_ENABLE);
    std::vector<std::unique_ptr<TpCommand>> added;
    parent.onChange = [&](TpCommand* child, int reason) {
        if (child == &a && reason == kReasonValue) {
            store.SetText(COM_GEN1_OUT_ENABLE, "on");
            store.SetValue(COM_GEN2_OUT_ENABLE, 8);
            added.push_back(std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, kKeepsValue, 1));
            added.push_back(std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, kKeepsValue, 0));
        }
    };
    store.SetValue(COM_GEN1_OUT_ENABLE, 4);
    EXPECT_EQ(Values({&b, &c, &other}), (std::vector<int>{4, 4, 8}));
    EXPECT_EQ(c.GetText(), "on");
    EXPECT_EQ(Chain(COM_GEN1_OUT_ENABLE).size(), 5u);
}

TEST_F(StoreDispatch, CommandsOutliveTheStore)
{
    auto own = std::make_unique<TpStore>();
    auto cmd = std::make_unique<TpCommand>(COM_GEN1_OUT_ENABLE, kKeepsValue, 0);
    EXPECT_TRUE(cmd->IsInStore());
    EXPECT_EQ(TpStore::Instance(), own.get());
    own.reset();
    EXPECT_EQ(TpStore::Instance(), nullptr);
    EXPECT_FALSE(cmd->IsInStore());
    cmd->SetValueAll(3);   // changes itself only
    EXPECT_EQ(cmd->GetValue(), 3);
}

} // namespace
