// The scripts page as the application builds it: its place in the program,
// its task and the step types it offers.
#include "ScriptsTest.h"

#include "remote/TpScriptAction.h"

TEST_F(ScriptsTest, PageOffersTheBuiltInStepsThenCloseWindow)
{
    EXPECT_EQ(TpScripts::Instance(), page.get());
    ASSERT_GE(page->Actions().size(), 1u);
    EXPECT_STREQ(page->Actions()[0]->Keyword().c_str(), "STR_CLOSING_WINDOW");
    EXPECT_EQ(page->StepTypeName(12), "Close Window");
    EXPECT_EQ(page->StepTypeName(99), "???");
    const TpCommand* types = store->GetCmd(COM_SCRIPTS_EDIT_STEP_FUNCTION);
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->GetItemCount(), 13);
    EXPECT_EQ(types->GetItemText(12), "Close Window");
    EXPECT_EQ(types->GetItemValue(12), 12);
}
