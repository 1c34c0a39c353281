// The yes/no question: two lines of the text table; "Yes" answers 1, "No",
// menu key 8 and a remote COM_CHECK_NO answer 0, after the dialog closed.
#include "UiTest.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/store/TpParent.h"
#include "core/commands/TpSysDialog.h"

#include <memory>
#include <vector>

namespace {

// A page that asks a question and hears the answer, as the generators do.
class AskingPage : public TpParent {
public:
    AskingPage() : TpParent(nullptr, 0, kKeepsNothing) {}
    void OnChildChanged(TpCommand* child, int reason) override
    {
        if (reason != kReasonValue || child != confirm.get())
            return;
        answers.push_back(child->GetValue());
        dialogOpenWhenTold = IsWindowOpen(TopWindow()) && TopWindow()->Name() == "CheckDialog";
        if (deleteOnAnswer)
            confirm.reset();   // the confirmation goes in its own notification
    }
    void Ask()
    {
        if (!confirm)
            confirm = std::make_unique<TpSysDialog>(this);
        ShowCheckDialog(245, 246, confirm.get());
    }
    std::unique_ptr<TpSysDialog> confirm;
    std::vector<int32_t> answers;
    bool deleteOnAnswer = false;
    bool dialogOpenWhenTold = true;
};

class CheckDialog : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("text|245|Default every program?\n"
             "text|246|All settings return to their defaults.\n"
             "text|284|Load the default flows?\n"
             "dialog|Main\nlabel|Title|0\nend\n"
             "dialog|CheckDialog|closekey\n"
             "label|Line1|0|caption=\n"
             "label|Line2|0|caption=\n"
             "button|Yes|0|action=yes|focus\n"
             "button|No|COM_CHECK_NO|action=no\n"
             "end\n");
        main = ShowDialog("Main", 1);
    }
    TpDialog* main = nullptr;
};

} // namespace

TEST_F(CheckDialog, YesAnswersOneAndNoKeyEightOrRemoteNoAnswerZero)
{
    AskingPage page;
    page.Ask();
    TpDialog* check = TopWindow();
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->Name(), "CheckDialog");
    EXPECT_EQ(check->FindControl("Line1")->GetText(), "Default every program?");
    EXPECT_EQ(check->FindControl("Line2")->GetText(), "All settings return to their defaults.");
    EXPECT_TRUE(page.answers.empty()) << "no answer before the user gives one";

    EXPECT_EQ(Press(kKeyOk), TpKeyResult::Taken);   // Yes has the focus
    EXPECT_EQ(page.answers, (std::vector<int32_t> {1}));
    EXPECT_FALSE(page.dialogOpenWhenTold) << "closed before the answer";
    EXPECT_EQ(TopWindow(), main);

    page.Ask();
    Press(kKeyDown);
    Press(kKeyOk);   // No
    page.Ask();
    EXPECT_EQ(Press(kKeyMenu8), TpKeyResult::WindowClosed);
    page.Ask();
    store->SetValue(COM_CHECK_NO, 1);   // a remote client's No
    EXPECT_EQ(page.answers, (std::vector<int32_t> {1, 0, 0, 0}));
    EXPECT_EQ(store->GetValue(COM_CHECK_NO), 0) << "the No button shows released";
    EXPECT_EQ(TopWindow(), main);
}

TEST_F(CheckDialog, ADroppedOrClosedQuestionAnswersNobody)
{
    AskingPage page;
    page.deleteOnAnswer = true;
    page.Ask();
    Press(kKeyOk);
    EXPECT_EQ(page.answers, (std::vector<int32_t> {1}));
    EXPECT_EQ(page.confirm, nullptr);

    page.deleteOnAnswer = false;
    page.Ask();
    page.confirm.reset();   // gone while the question is open
    Press(kKeyOk);
    EXPECT_EQ(page.answers.size(), 1u) << "nobody left to answer";
    EXPECT_EQ(TopWindow(), main);

    page.Ask();
    CloseDialog(TopWindow());
    ShowDialog("CheckDialog", 1);
    Press(kKeyOk);
    EXPECT_EQ(page.answers.size(), 1u) << "the closed question is unbound";
    EXPECT_EQ(TopWindow(), main);
}

TEST_F(CheckDialog, AskingAgainBindsTheNewAsker)
{
    AskingPage first, second;
    first.Ask();
    second.confirm = std::make_unique<TpSysDialog>(&second);
    ShowCheckDialog(284, 0, second.confirm.get());
    EXPECT_EQ(TopWindow()->FindControl("Line1")->GetText(), "Load the default flows?");
    EXPECT_EQ(TopWindow()->FindControl("Line2")->GetText(), "");
    Press(kKeyOk);
    EXPECT_TRUE(first.answers.empty());
    EXPECT_EQ(second.answers, (std::vector<int32_t> {1}));

    list.reset();
    EXPECT_EQ(ShowCheckDialog(245, 246, second.confirm.get()), nullptr);
}
