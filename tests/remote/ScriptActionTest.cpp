// Script actions: steps that other parts of the instrument add to the
// scripts, as the editor lists them, the files carry them and the runner
// drives them.
#include "ScriptsTest.h"

#include "analysis/TpAnalyser.h"
#include "core/MessageQueue.h"
#include "core/TextTable.h"
#include "platform/Paths.h"
#include "remote/TpScriptAction.h"

#include <string>

namespace {

// The meter-level texts of the shipped table: name, prompt, result, label.
constexpr TpScriptAction::Descriptor kMeterTexts{151, 0, 142, 143, 102};

// An action whose check counts errors as a subsystem's would.
class CountingAction : public TpScriptAction {
public:
    CountingAction(const char* name, const std::string& keyword)
        : TpScriptAction(name, keyword, kMeterTexts, 1, 0, 1)
    {
    }
    void CountErrors(uint32_t n) { errorCount_ += n; }
};

std::string PathOf(const std::string& name)
{
    return Paths::ScriptsFolder() + "/" + name + ".cmd";
}

// Entries of the event log that contain the fragment.
int EventsWith(const TpLogger& logger, const std::string& fragment)
{
    int count = 0;
    for (int i = 0; i < logger.EntryCount(); ++i) {
        if (logger.EntryText(i).find(fragment) != std::string::npos)
            ++count;
    }
    return count;
}

} // namespace

class ScriptsBeforePageTest : public ScriptsTest {
protected:
    ScriptsBeforePageTest() { buildPage = false; }
};

TEST_F(ScriptsTest, RegisteredActionsBecomeStepTypesAfterTheBuiltInOnes)
{
    CountingAction meters("Check Meter Levels", "CHECK_METER_LEVEL");
    TpScriptAction both("Check Both", "CHECK_BOTH", kMeterTexts, 1, 1, 0);

    ASSERT_EQ(page->Actions().size(), 3u);
    EXPECT_EQ(page->ActionOfType(12)->Keyword(), "STR_CLOSING_WINDOW");
    EXPECT_EQ(page->ActionOfType(13), &meters);
    EXPECT_EQ(page->ActionOfType(14), &both);
    EXPECT_EQ(page->ActionOfType(15), nullptr);
    EXPECT_EQ(page->ActionOfType(kStepSelUser), nullptr);
    EXPECT_EQ(page->FindActionKeyword("CHECK_BOTH"), 2);
    EXPECT_EQ(page->FindActionKeyword("CHECK"), -1);

    // The editor's step-type list: the built-in steps, then the actions with
    // their step types as values.
    const TpCommand* types = store->GetCmd(COM_SCRIPTS_EDIT_STEP_FUNCTION);
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->GetItemCount(), 15);
    EXPECT_EQ(types->GetItemText(12), "Close Window");
    EXPECT_EQ(types->GetItemText(13), "Check Meter Levels");
    EXPECT_EQ(types->GetItemValue(13), 13);
    EXPECT_EQ(types->GetItemText(14), "Check Both");
    EXPECT_EQ(types->GetItemValue(14), 14);
    EXPECT_EQ(page->StepTypeName(13), GetText(151));
    EXPECT_EQ(page->StepTypeName(kStepPause), GetText(123));
    EXPECT_EQ(page->StepTypeName(15), "???");

    // Files carry the keywords; the flags come from the action.
    WriteScript("acts", "30,CHECK_METER_LEVEL,Left channel\n2,CHECK_BOTH,7,\"x,y\"\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("acts")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->type, 13);
    EXPECT_EQ(script.Step(0)->text, "Left channel");
    EXPECT_EQ(script.Step(0)->HasDuration(), 1);
    EXPECT_EQ(script.Step(0)->HasNumber(), 0);
    EXPECT_EQ(script.Step(1)->type, 14);
    EXPECT_EQ(script.Step(1)->numeric, 7);
    EXPECT_EQ(script.Step(1)->text, "x,y");
    EXPECT_EQ(script.TotalStepTime(), 30u);
    ASSERT_TRUE(script.Write(PathOf("acts")));
    EXPECT_EQ(ScriptText("acts"),
              "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n30,CHECK_METER_LEVEL,Left channel\n2,CHECK_BOTH,7,\"x,y\"\n");

    // An action that goes away keeps its step type taken; its steps no
    // longer name it.
    {
        TpScriptAction gone("Gone", "GONE", kMeterTexts, 0, 0, 0);
        EXPECT_EQ(page->FindActionKeyword("GONE"), 3);
    }
    EXPECT_EQ(page->ActionOfType(15), nullptr);
    EXPECT_EQ(page->FindActionKeyword("GONE"), -1);
    EXPECT_EQ(page->StepTypeName(15), "???");
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
    EXPECT_EQ(page->Actions()[0]->Keyword(), "STR_CLOSING_WINDOW");
    EXPECT_EQ(store->GetCmd(COM_SCRIPTS_EDIT_STEP_FUNCTION)->GetItemCount(), 13);
    EXPECT_EQ(page->FindActionKeyword("CHECK_EARLY"), -1);

    WriteScript("early", "30,CHECK_EARLY,x\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("early")));
    ASSERT_EQ(script.StepCount(), 1);
    EXPECT_EQ(script.Step(0)->type, 12);
    EXPECT_EQ(script.Step(0)->FormatLine(), "30,STR_CLOSING_WINDOW,");

    // A page made again starts from the same close-window action.
    TpScriptAction* closeWindow = page->Actions()[0];
    page.reset();
    MakePage();
    ASSERT_EQ(page->Actions().size(), 1u);
    EXPECT_EQ(page->Actions()[0], closeWindow);
    EXPECT_EQ(store->GetCmd(COM_SCRIPTS_EDIT_STEP_FUNCTION)->GetItemText(12), "Close Window");
}

TEST_F(ScriptsTest, BaseActionEndsWithItsErrorCount)
{
    CountingAction action("Check Meter Levels", "CHECK_METER_LEVEL");
    ScriptStep step;
    step.type = 13;
    const std::string failed = GetText(143);

    EXPECT_EQ(action.CheckReady(0), 1);
    EXPECT_EQ(action.CheckReady(9), 1);
    EXPECT_EQ(action.StartAction(step), 1u);
    EXPECT_TRUE(action.IsRunning());
    EXPECT_TRUE(debug->Contains("Start Action Check Meter Levels\n"));

    // Never ready: one error, the result logged and reported, no pass.
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    EXPECT_EQ(action.EndAction(0), 1u);
    EXPECT_FALSE(action.IsRunning());
    EXPECT_TRUE(debug->Contains("End Action Ready=0 ErrorCount=0\n"));
    EXPECT_EQ(page->ReportText(), "<div>" + failed + "</div>\n");
    ASSERT_EQ(EventsWith(*logger, failed), 1);
    for (int i = 0; i < logger->EntryCount(); ++i) {
        if (logger->EntryText(i).find(failed) != std::string::npos) {
            EXPECT_EQ(logger->EntryText(i)[0], 'E');
        }
    }

    // Ready and no errors: a pass, nothing logged; "OK" in the report only
    // with reporting on.
    for (int report : {0, 1}) {
        Set(COM_SCRIPTS_MAKE_REPORT, report);
        const std::string before = page->ReportText();
        EXPECT_EQ(action.StartAction(step), 1u);
        EXPECT_EQ(action.ErrorCount(), 0u);
        EXPECT_EQ(action.EndAction(1), 0u) << report;
        EXPECT_EQ(EventsWith(*logger, failed), 1) << report;
        EXPECT_EQ(page->ReportText(), report != 0 ? before + "<div>OK</div>\n" : before) << report;
    }

    // Errors the check counted fail the step even when it was ready; the
    // next start begins from none.
    action.StartAction(step);
    action.CountErrors(2);
    EXPECT_EQ(action.EndAction(1), 2u);
    EXPECT_TRUE(debug->Contains("End Action Ready=1 ErrorCount=2\n"));
    EXPECT_EQ(EventsWith(*logger, failed), 2);
    action.StartAction(step);
    EXPECT_EQ(action.ErrorCount(), 0u);

    // The base cancel does nothing; a subsystem's result goes with its text.
    action.CancelAction();
    EXPECT_EQ(EventsWith(*logger, failed), 2);
    action.LogResult("Left -3 dB");
    EXPECT_EQ(EventsWith(*logger, failed + " Left -3 dB"), 1);
}

// Needs the runner's prompt window (Prompt and ReleaseAction).
TEST_F(ScriptsTest, ActionShowsItsPromptUntilItEnds)
{
    CountingAction action("Check Meter Levels", "CHECK_METER_LEVEL");
    ScriptStep step;
    step.type = 13;
    action.StartAction(step);
    EXPECT_TRUE(DialogOpen("ScriptPrompt"));
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), GetText(142));
    EXPECT_FALSE(store->GetCmd(COM_SCRIPTS_CONTINUE)->IsVisible());
    action.EndAction(1);
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    EXPECT_TRUE(store->GetCmd(COM_SCRIPTS_RUN_SCRIPT)->IsFocused());
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
    ASSERT_NE(report, nullptr);
    ASSERT_TRUE(report->ClosesOnKey());
    MessageQueue::Reset();
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_FALSE(closeWindow->IsRunning());
    EXPECT_EQ(closeWindow->ErrorCount(), 0u);
    ASSERT_EQ(MessageQueue::PendingCount(), 1u);
    MessageQueue queue;
    ASSERT_TRUE(queue.Open("/msgq"));
    AppMessage message;
    ASSERT_TRUE(queue.ReceiveFor(message, 0));
    EXPECT_EQ(message.header.magic, kOriginLocal);
    EXPECT_EQ(message.header.type, 4);
    EXPECT_EQ(message.header.cmdId, 0);
    EXPECT_EQ(message.header.length, 0);
    EXPECT_EQ(message.header.item, 0u);
    EXPECT_EQ(message.header.value, 0x8008u);
    EXPECT_EQ(message.payloadSize, 0u);
    // The key closes the window as the application routes it.
    EXPECT_EQ(dialogs->RouteKey(static_cast<uint16_t>(message.header.value)), TpKeyResult::WindowClosed);
    EXPECT_FALSE(IsWindowOpen(report));
    // Its other operations are the base ones: the step passes.
    EXPECT_EQ(closeWindow->CheckReady(0), 1);
    EXPECT_EQ(closeWindow->EndAction(1), 0u);

    // No window, or one that menu key 8 does not close: nothing is posted,
    // and the step still starts.
    ASSERT_EQ(TopWindow(), nullptr);
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
    TpDialog* box = ShowDialog("ConfigureSFPBox");
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(box->ClosesOnKey());
    MessageQueue::Reset();
    EXPECT_EQ(closeWindow->StartAction(step), 1u);
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
    EXPECT_FALSE(queue.ReceiveFor(message, 0));
    EXPECT_TRUE(IsWindowOpen(box));
}

TEST_F(ScriptsTest, AnalyserAddsTheCrcChecksAsSteps)
{
    auto analyser = std::make_unique<TpAnalyser>();
    ASSERT_EQ(page->Actions().size(), 3u);
    TpScriptAction* sdi = page->ActionOfType(13);
    TpScriptAction* ap = page->ActionOfType(14);
    ASSERT_EQ(sdi, &analyser->SdiCrcAction());
    ASSERT_EQ(ap, &analyser->ApCrcAction());
    EXPECT_STREQ(sdi->Name(), "Check SDI CRC");
    EXPECT_EQ(sdi->Keyword(), "CHECKERRS");
    EXPECT_STREQ(ap->Name(), "Check AP CRC");
    EXPECT_EQ(ap->Keyword(), "CHECK_AP_CRC");
    for (const TpScriptAction* crc : {sdi, ap}) {
        EXPECT_EQ(crc->TakesText(), 1);
        EXPECT_EQ(crc->TakesNumber(), 0);
        EXPECT_EQ(crc->HasDuration(), 1);
        // Every text it names is in the shipped table.
        for (int word = 0; word < 5; ++word) {
            const std::string text = GetText(crc->DescriptorText(word));
            EXPECT_FALSE(text.empty()) << crc->Keyword() << " " << word;
            EXPECT_NE(text.rfind("? ", 0), 0u) << crc->Keyword() << " " << word;
        }
    }
    const TpCommand* types = store->GetCmd(COM_SCRIPTS_EDIT_STEP_FUNCTION);
    ASSERT_EQ(types->GetItemCount(), 15);
    EXPECT_EQ(types->GetItemText(13), "Check SDI CRC");
    EXPECT_EQ(types->GetItemValue(13), 13);
    EXPECT_EQ(types->GetItemText(14), "Check AP CRC");
    EXPECT_EQ(types->GetItemValue(14), 14);
    EXPECT_EQ(page->StepTypeName(13), "Check SDI CRC");
    EXPECT_EQ(page->StepTypeName(14), "Check AP CRC");

    const std::string text = "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n30,CHECKERRS,\n20,CHECK_AP_CRC,\"Input A, B\"\n";
    WriteScript("crc", text);
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("crc")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->type, 13);
    EXPECT_EQ(script.Step(1)->type, 14);
    EXPECT_EQ(script.Step(1)->text, "Input A, B");
    EXPECT_EQ(script.TotalStepTime(), 50u);
    ASSERT_TRUE(script.Write(PathOf("crc")));
    EXPECT_EQ(ScriptText("crc"), text);

    // Always ready; a cancel logs the check's report line; a failure its
    // result.
    EXPECT_EQ(sdi->CheckReady(0), 1);
    EXPECT_EQ(sdi->CheckReady(12), 1);
    const std::string reportLine = GetText(sdi->DescriptorText(TpScriptAction::kReportLine));
    sdi->CancelAction();
    EXPECT_EQ(EventsWith(*logger, reportLine), 1);
    sdi->StartAction(*script.Step(0));
    EXPECT_EQ(sdi->EndAction(0), 1u);
    EXPECT_EQ(EventsWith(*logger, GetText(sdi->DescriptorText(TpScriptAction::kResult))), 1);
    ap->StartAction(*script.Step(1));
    EXPECT_EQ(ap->EndAction(1), 0u);

    // Gone with the analyser: their steps are no longer theirs.
    analyser.reset();
    EXPECT_EQ(page->ActionOfType(13), nullptr);
    EXPECT_EQ(page->FindActionKeyword("CHECKERRS"), -1);
}
