// What children tell their parents; buttons that act once per press; objects deleted while being told.
#include "CommandProbes.h"
#include "KrZuApi.h"
#include "core/commands/TpButtonPress.h"
#include "core/store/TpStore.h"
#include "core/commands/TpSysDialog.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

class CommandNotify : public ZuTest {
protected:
    TpStore store;
    RecordingParent parent;
};

TEST_F(CommandNotify, ValueKindsAndReasonsDecideWhatIsStoredAndReported)
{
    // kind, stores the value, reports reason 1
    static constexpr struct { uint32_t kind; bool stores, reports; } kRows[] = {
        {0, false, false}, {1, true, true}, {2, false, false}, {3, true, true}, {4, true, false},
    };
    for (const auto& row : kRows) {
        RecordingParent p;
        TpChildCmd child(&p, 0, static_cast<CmdValueKind>(row.kind));
        EXPECT_EQ(child.SetValue(6), row.stores ? 6 : 0) << "kind " << row.kind;
        EXPECT_EQ(child.GetValue(), row.stores ? 6 : 0) << "kind " << row.kind;
        EXPECT_EQ(p.CountFor(&child, kReasonValue), row.reports ? 1 : 0) << "kind " << row.kind;
    }

    TpChildCmd child(&parent, COM_GEN1_STD_LONG_TEXT, kKeepsValueText);
    store.SetText(COM_GEN1_STD_LONG_TEXT, "1080i50");
    store.SetEnabled(COM_GEN1_STD_LONG_TEXT, false);
    store.SetVisible(COM_GEN1_STD_LONG_TEXT, false);
    store.SetVisible(COM_GEN1_STD_LONG_TEXT, false);   // no change: nobody told
    std::vector<int> reasons;
    for (const auto& note : parent.notes)
        reasons.push_back(note.reason);
    EXPECT_EQ(reasons, (std::vector<int>{kReasonText, kReasonEnabled, kReasonVisible}));
}

TEST_F(CommandNotify, AButtonActsOncePerPressAndEveryViewReturnsToZero)
{
    TpButtonPress button(&parent, COM_STATUS_CLEAR_AES_ERRORS);
    TpCommand view(COM_STATUS_CLEAR_AES_ERRORS, kKeepsValue, 0);   // a widget showing the button

    EXPECT_EQ(store.SetValue(COM_STATUS_CLEAR_AES_ERRORS, 1), 0);
    EXPECT_EQ(parent.CountFor(&button, kReasonValue), 1);
    EXPECT_EQ(parent.notes[0].value, 1);   // the parent sees the press
    EXPECT_EQ(button.GetValue(), 0);
    EXPECT_EQ(view.GetValue(), 0);

    store.SetValue(COM_STATUS_CLEAR_AES_ERRORS, 1);   // a second press acts again
    EXPECT_EQ(parent.CountFor(&button, kReasonValue), 2);
    EXPECT_EQ(button.SetValue(0), 0);                 // a release acts not at all
    EXPECT_EQ(parent.CountFor(&button, kReasonValue), 2);

    TpButtonPress loose(&parent, 0);   // outside the store it resets itself
    EXPECT_EQ(loose.SetValue(5), 0);
    EXPECT_EQ(parent.CountFor(&loose, kReasonValue), 1);
}

TEST_F(CommandNotify, ObjectsDeletedWhileTheyAreToldAreLeftAlone)
{
    auto button = std::make_unique<TpButtonPress>(&parent, COM_SFP_IP_DEFAULT_FLOW_BTN);
    TpCommand view(COM_SFP_IP_DEFAULT_FLOW_BTN, kKeepsValue, 0);
    parent.onChange = [&](TpCommand*, int) { button.reset(); };
    EXPECT_EQ(store.SetValue(COM_SFP_IP_DEFAULT_FLOW_BTN, 1), 0);
    EXPECT_EQ(button, nullptr);
    EXPECT_EQ(view.GetValue(), 0);
    EXPECT_EQ(parent.notes.size(), 1u);

    auto confirm = std::make_unique<TpSysDialog>(&parent);
    int answer = -1;
    parent.onChange = [&](TpCommand* child, int reason) {
        if (child == confirm.get() && reason == kReasonValue) {
            answer = child->GetValue();
            confirm.reset();
        }
    };
    EXPECT_EQ(confirm->SetValue(1), 1);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(confirm, nullptr);
}

TEST_F(CommandNotify, AChildOutlivingItsParentTellsNobody)
{
    auto p = std::make_unique<RecordingParent>();
    TpChildCmd child(p.get(), COM_GEN1_OUT_ENABLE, kKeepsValue);
    EXPECT_EQ(child.Parent(), p.get());
    p.reset();
    EXPECT_EQ(child.Parent(), nullptr);
    store.SetValue(COM_GEN1_OUT_ENABLE, 1);
    EXPECT_EQ(child.GetValue(), 1);
}

} // namespace
