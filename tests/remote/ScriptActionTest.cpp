// Script actions: steps that other parts of the instrument add to the
// scripts, as the editor lists them, the files carry them and the runner
// drives them.
#include "ScriptsTest.h"

#include "analysis/TpAnalyser.h"
#include "core/threads/MessageQueue.h"
#include "core/text/TextTable.h"
#include "core/actions/TpScriptAction.h"

namespace {

// The meter-level texts of the shipped table: name, prompt, result, label.
constexpr TpScriptAction::Descriptor kMeterTexts{151, 0, 142, 143, 102};

// An action whose check counts errors as a subsystem's would.
class CountingAction : public TpScriptAction {
public:
    CountingAction() : TpScriptAction("Check Meter Levels", "CHECK_METER_LEVEL", kMeterTexts, 1, 0, 1) {}
    void CountErrors(uint32_t n) { errorCount_ += n; }
};

} // namespace

class ScriptsBeforePageTest : public ScriptsTest {
protected:
    ScriptsBeforePageTest() { buildPage = false; }
};

TEST_F(ScriptsTest, RegisteredActionsBecomeStepTypesAfterTheBuiltInOnes)
{
    CountingAction meters;
    TpScriptAction both("Check Both", "CHECK_BOTH", kMeterTexts, 1, 1, 0);
    EXPECT_EQ(TpScripts::Instance(), page.get());
    ASSERT_EQ(page->Actions().size(), 3u);
    EXPECT_EQ(page->ActionOfType(12)->Keyword(), "STR_CLOSING_WINDOW");
    EXPECT_EQ(page->ActionOfType(13), &meters);
    EXPECT_EQ(page->ActionOfType(14), &both);
    EXPECT_EQ(page->ActionOfType(kStepSelUser), nullptr);
    EXPECT_EQ(page->FindActionKeyword("CHECK"), -1);
    // The editor's step types: the built-in ones, then the actions.
    const TpCommand* types = Cmd(COM_SCRIPTS_EDIT_STEP_FUNCTION);
    ASSERT_EQ(types->GetItemCount(), 15);
    EXPECT_EQ(types->GetItemText(14), "Check Both");
    EXPECT_EQ(types->GetItemValue(14), 14);
    EXPECT_EQ(page->StepTypeName(13), GetText(151));
    EXPECT_EQ(page->StepTypeName(99), "???");

    // Files carry the keywords; the flags come from the action.
    const std::string text = kHeader + "30,CHECK_METER_LEVEL,Left channel\n2,CHECK_BOTH,7,\"x,y\"\n";
    WriteScript("acts", text);
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("acts")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->type, 13);
    EXPECT_EQ(script.Step(1)->text, "x,y");
    EXPECT_EQ(script.TotalStepTime(), 30u);
    ASSERT_TRUE(script.Write(ScriptPath("acts")));
    EXPECT_EQ(ScriptText("acts"), text);
    // An action that goes away keeps its step type taken; nothing names it.
    {
        TpScriptAction gone("Gone", "GONE", kMeterTexts, 0, 0, 0);
        EXPECT_EQ(page->FindActionKeyword("GONE"), 3);
    }
    EXPECT_EQ(page->ActionOfType(15), nullptr);
    EXPECT_EQ(page->FindActionKeyword("GONE"), -1);
    ScriptStep orphan;
    orphan.type = 15;
    EXPECT_EQ(orphan.FormatLine(), "1,ERROR:iEntry?");
    TpScriptAction later("Later", "LATER", kMeterTexts, 0, 0, 0);
    EXPECT_EQ(page->ActionOfType(16), &later);
    EXPECT_EQ(types->GetItemValue(16), 16);
}

TEST_F(ScriptsBeforePageTest, ActionMadeBeforeThePageIsNotAStep)
{
    TpScriptAction early("Early", "CHECK_EARLY", kMeterTexts, 1, 0, 1);
    MakePage();
    ASSERT_EQ(page->Actions().size(), 1u);
    EXPECT_EQ(Cmd(COM_SCRIPTS_EDIT_STEP_FUNCTION)->GetItemCount(), 13);
    WriteScript("early", "30,CHECK_EARLY,x\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("early")));
    ASSERT_EQ(script.StepCount(), 1);
    EXPECT_EQ(script.Step(0)->FormatLine(), "30,STR_CLOSING_WINDOW,");

    // A page made again starts from the same close-window action.
    TpScriptAction* closeWindow = page->Actions()[0];
    page.reset();
    MakePage();
    ASSERT_EQ(page->Actions().size(), 1u);
    EXPECT_EQ(page->Actions()[0], closeWindow);
    EXPECT_EQ(Cmd(COM_SCRIPTS_EDIT_STEP_FUNCTION)->GetItemText(12), "Close Window");
}

TEST_F(ScriptsTest, BaseActionShowsItsPromptAndEndsWithItsErrorCount)
{
    CountingAction action;
    ScriptStep step;
    step.type = 13;
    const std::string failed = GetText(143);
    EXPECT_EQ(action.CheckReady(9), 1);
    EXPECT_EQ(action.StartAction(step), 1u);
    EXPECT_TRUE(DialogOpen("ScriptPrompt"));
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), GetText(142));
    EXPECT_FALSE(Visible(COM_SCRIPTS_CONTINUE));

    // Never ready: one error, logged as an error and reported.
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    EXPECT_EQ(action.EndAction(0), 1u);
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    EXPECT_TRUE(Cmd(COM_SCRIPTS_RUN_SCRIPT)->IsFocused());
    EXPECT_EQ(page->ReportText(), "<div>" + failed + "</div>\n");
    ASSERT_EQ(Events(failed), 1);
    const std::string last = logger->EntryText(logger->EntryCount() - 1);
    EXPECT_TRUE(last[0] == 'E' && last.find(failed) != std::string::npos) << last; // an error event

    // Ready without errors: a pass, nothing logged, "OK" only when reporting.
    for (int report : {0, 1}) {
        Set(COM_SCRIPTS_MAKE_REPORT, report);
        const std::string before = page->ReportText();
        action.StartAction(step);
        EXPECT_EQ(action.EndAction(1), 0u) << report;
        EXPECT_EQ(page->ReportText(), report != 0 ? before + "<div>OK</div>\n" : before) << report;
    }
    EXPECT_EQ(Events(failed), 1);
    // Counted errors fail a ready step; the next start begins from none.
    action.StartAction(step);
    action.CountErrors(2);
    EXPECT_EQ(action.EndAction(1), 2u);
    EXPECT_EQ(Events(failed), 2);
    action.StartAction(step);
    EXPECT_EQ(action.ErrorCount(), 0u);
    action.LogResult("Left -3 dB");
    EXPECT_EQ(Events(failed + " Left -3 dB"), 1);
}

TEST_F(ScriptsTest, CloseWindowStepPostsMenuKey8ToAClosableWindow)
{
    TpScriptAction* closeWindow = page->ActionOfType(12);
    ASSERT_NE(closeWindow, nullptr);
    ScriptStep step;
    step.type = 12;
    while (TopWindow() != nullptr)
        CloseDialog(TopWindow());

    TpDialog* report = ShowDialog("Report");
    ASSERT_TRUE(report != nullptr && report->ClosesOnKey());
    MessageQueue::Reset();
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_FALSE(closeWindow->IsRunning());
    ASSERT_EQ(MessageQueue::PendingCount(), 1u);
    MessageQueue queue;
    ASSERT_TRUE(queue.Open("/msgq"));
    AppMessage message;
    ASSERT_TRUE(queue.ReceiveFor(message, 0));
    EXPECT_EQ(message.header.magic, Origin::kLocal);
    EXPECT_EQ(message.header.type, MsgType::kKey);
    EXPECT_EQ(message.header.cmdId, 0);
    EXPECT_EQ(message.header.value, 0x8008u);
    EXPECT_EQ(message.payloadSize, 0u);
    // The key closes the window as the application routes it.
    EXPECT_EQ(dialogs->RouteKey(static_cast<uint16_t>(message.header.value)), TpKeyResult::WindowClosed);
    EXPECT_FALSE(IsWindowOpen(report));
    EXPECT_EQ(closeWindow->EndAction(1), 0u);
    // No window, or one that menu key 8 does not close: nothing is posted.
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
    TpDialog* box = ShowDialog("ConfigureSFPBox");
    ASSERT_TRUE(box != nullptr && !box->ClosesOnKey());
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
    EXPECT_TRUE(IsWindowOpen(box));
}

TEST_F(ScriptsTest, AnalyserAddsTheCrcChecksAsSteps)
{
    auto analyser = std::make_unique<TpAnalyser>();
    // The CRC checks come first, then the meter checks and the AES input check.
    ASSERT_EQ(page->Actions().size(), 6u);
    EXPECT_EQ(page->ActionOfType(15)->Keyword(), "CHECK_METER_LEVEL");
    EXPECT_EQ(page->ActionOfType(16)->Keyword(), "CHECK_METER_OFF_LEVEL");
    EXPECT_EQ(page->ActionOfType(17)->Keyword(), "CHECK_AES_INP");
    TpScriptAction* sdi = page->ActionOfType(13);
    TpScriptAction* ap = page->ActionOfType(14);
    ASSERT_EQ(sdi, &analyser->SdiCrcAction());
    ASSERT_EQ(ap, &analyser->ApCrcAction());
    EXPECT_EQ(page->StepTypeName(13), "Check SDI CRC");
    const std::string text = kHeader + "30,CHECKERRS,\n20,CHECK_AP_CRC,\"Input A, B\"\n";
    WriteScript("crc", text);
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("crc")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.TotalStepTime(), 50u);
    ASSERT_TRUE(script.Write(ScriptPath("crc")));
    EXPECT_EQ(ScriptText("crc"), text);
    // Always ready; a cancel logs the report line, a failure the result.
    EXPECT_EQ(sdi->CheckReady(0), 1);
    sdi->CancelAction();
    EXPECT_EQ(Events(GetText(sdi->DescriptorText(TpScriptAction::kReportLine))), 1);
    sdi->StartAction(*script.Step(0));
    EXPECT_EQ(sdi->EndAction(0), 1u);
    EXPECT_EQ(Events(GetText(sdi->DescriptorText(TpScriptAction::kResult))), 1);
    ap->StartAction(*script.Step(1));
    EXPECT_EQ(ap->EndAction(1), 0u);
    analyser.reset();
    EXPECT_EQ(page->ActionOfType(13), nullptr);
    EXPECT_EQ(page->FindActionKeyword("CHECKERRS"), -1);
}
