// Page captions and widgets joining the chain of an id late or at its head.
#include "UiTest.h"

#include "KrZuApi.h"
#include "ui/widgets/TpComboBox.h"
#include "ui/widgets/TpPageControl.h"

namespace {

class Widgets : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("items|COM_STATUS_TAB_SELECT|Status|Video|Misc|Timing|ANC|Insp|SFP|Module\n"
             "dialog|Main\n"
             "pages|Status|COM_STATUS_TAB_SELECT\n"
             "number|Edit|3001\n"
             "label|Heading|3002\n"
             "end\n");
    }
};

} // namespace

TEST_F(Widgets, PageCaptionsZeroToSevenOnly)
{
    auto* pages = dynamic_cast<TpPageControl*>(FirstWidget(COM_STATUS_TAB_SELECT, kWidgetPageControl));
    ASSERT_NE(pages, nullptr);
    EXPECT_TRUE(pages->SetPageText(7, "EDID Info"));
    for (int i = 0; i < 7; ++i)
        EXPECT_NE(pages->PageText(i), "EDID Info") << i;
    EXPECT_EQ(pages->PageText(7), "EDID Info");
    EXPECT_FALSE(pages->SetPageText(8, "Nine"));
    EXPECT_FALSE(pages->SetPageText(-1, "None"));
    EXPECT_EQ(pages->GetItemCount(), 8);

    TpPageControl few(nullptr, 0);
    few.AddItem("One");
    EXPECT_FALSE(few.SetPageText(3, "Four")) << "a page the control does not have";
    EXPECT_EQ(few.GetItemCount(), 1);
}

TEST_F(Widgets, AWidgetJoiningLateOrAtTheHeadOfItsChainShowsWhatItsIdHolds)
{
    TpCommand page(3003, kKeepsValueText, 0);
    page.SetValue(42);
    page.SetText("forty-two");
    TpComboBox late(nullptr, 3003);
    EXPECT_EQ(late.GetValue(), 42);
    EXPECT_EQ(late.GetText(), "forty-two");

    // The dialogs come before the pages: reads of the id reach the widget.
    TpCommand heading(3002, kKeepsValueText, 0);
    store->SetValue(3002, 7);
    store->SetText(3002, "seven");
    ASSERT_EQ(store->GetCmd(3002), list->Find("Main")->FindControl("Heading"));
    EXPECT_EQ(store->GetValue(3002), 7);
    EXPECT_EQ(list->Find("Main")->FindControl("Heading")->ValueText(), "seven");
    EXPECT_EQ(list->Find("Main")->FindControl("Edit")->ValueText(), "0") << "a number field shows the value";
}
