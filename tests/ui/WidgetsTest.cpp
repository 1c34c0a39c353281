// What pages read and write on the widgets: type codes, the combo box's flag
// byte, coloured lists, page captions and the lookups of an id's widgets.
#include "UiTest.h"

#include "KrZuApi.h"
#include "ui/TpColouredList.h"
#include "ui/TpComboBox.h"
#include "ui/TpPageControl.h"

namespace {

class Widgets : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("items|COM_STATUS_TAB_SELECT|Status|Video|Misc|Timing|ANC|Insp|SFP|Module\n"
             "blankitems|COM_ANLYS_SFP_STATUS|8\n"
             "dialog|Main\n"
             "pages|Status|COM_STATUS_TAB_SELECT\n"
             "combo|Plain|1720\n"
             "combo|Flagged|1720|flag=1\n"
             "clist|Sfp|COM_ANLYS_SFP_STATUS|flags=2\n"
             "field|Label|3000\n"
             "number|Edit|3001\n"
             "box|Box|3001\n"
             "label|Heading|3002\n"
             "end\n");
    }
};

} // namespace

TEST_F(Widgets, EveryCommandAnswersItsWidgetTypeAndFlags)
{
    TpCommand plain(3001, 1, 1);   // at the head of the chain
    TpDialog* main = list->Find("Main");
    EXPECT_EQ(GetWidgetType(&plain), 0);
    EXPECT_EQ(GetWidgetType(nullptr), 0);
    EXPECT_EQ(GetWidgetType(main), kWidgetDialog);
    EXPECT_EQ(GetWidgetType(main->FindControl("Edit")), 15);
    EXPECT_EQ(GetWidgetType(main->FindControl("Box")), 21);
    EXPECT_EQ(GetWidgetType(main->FindControl("Label")), 15) << "a text field is an edit box";

    EXPECT_EQ(FirstWidget(3001), main->FindControl("Edit")) << "the plain head is no widget";
    EXPECT_EQ(FirstWidget(3001, kWidgetColouredBox), main->FindControl("Box"));
    EXPECT_EQ(FirstWidget(3001, kWidgetPageControl), nullptr);
    EXPECT_EQ(FirstDisplayWidget(3001), main->FindControl("Edit"));
    EXPECT_EQ(InputWidget(3002), nullptr) << "a label takes no input";
    EXPECT_EQ(FirstDisplayWidget(3002), main->FindControl("Heading"));
    EXPECT_EQ(FirstWidget(4000), nullptr);

    // The combo box's flag byte is zero unless the file sets it.
    auto* plainCombo = dynamic_cast<TpComboBox*>(main->FindControl("Plain"));
    auto* flaggedCombo = dynamic_cast<TpComboBox*>(main->FindControl("Flagged"));
    ASSERT_TRUE(plainCombo != nullptr && flaggedCombo != nullptr);
    EXPECT_EQ(plainCombo->ExtraFlag(), 0);
    EXPECT_NE(flaggedCombo->ExtraFlag(), 0);
}

TEST_F(Widgets, AColouredListTakesColoursAndLayoutThroughTheStore)
{
    auto* sfp = dynamic_cast<TpColouredList*>(list->Find("Main")->FindControl("Sfp"));
    ASSERT_NE(sfp, nullptr);
    EXPECT_EQ(sfp->ListFlags(), 2u);
    store->SetItemColours(COM_ANLYS_SFP_STATUS, 3, 0xFF0000, 0x5A92CD);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(sfp->GetColour(i), i == 3 ? 0xFF0000u : 0u) << i;
        EXPECT_EQ(sfp->GetBackColour(i), i == 3 ? 0x5A92CDu : 0u) << i;
    }
    store->SetColumnCount(COM_ANLYS_SFP_STATUS, 6);
    store->SetRowCount(COM_ANLYS_SFP_STATUS, 19);
    store->SetEvenColumnWidth(COM_ANLYS_SFP_STATUS, 65);
    store->SetOddColumnWidth(COM_ANLYS_SFP_STATUS, 95);
    EXPECT_EQ(sfp->GetColumnCount(), 6);
    EXPECT_EQ(sfp->GridRows(), 19);
    EXPECT_EQ(sfp->GetOddColumnWidth(), 95);

    // A page built on the list, outside any window, joins the same chain.
    TpColouredList page(COM_ANLYS_SFP_STATUS, 2);
    EXPECT_EQ(page.Window(), nullptr);
    page.AddItemValue(0);
    store->SetItemText(COM_ANLYS_SFP_STATUS, 0, "SFP Type");
    EXPECT_EQ(page.GetItemText(0), "SFP Type");
    EXPECT_EQ(sfp->GetItemText(0), "SFP Type");
}

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
    TpCommand page(3003, 3, 0);
    page.SetValue(42);
    page.SetText("forty-two");
    TpComboBox late(nullptr, 3003);
    EXPECT_EQ(late.GetValue(), 42);
    EXPECT_EQ(late.GetText(), "forty-two");

    // The dialogs come before the pages: reads of the id reach the widget.
    TpCommand heading(3002, 3, 0);
    store->SetValue(3002, 7);
    store->SetText(3002, "seven");
    ASSERT_EQ(store->GetCmd(3002), list->Find("Main")->FindControl("Heading"));
    EXPECT_EQ(store->GetValue(3002), 7);
    EXPECT_EQ(list->Find("Main")->FindControl("Heading")->ValueText(), "seven");
    EXPECT_EQ(list->Find("Main")->FindControl("Edit")->ValueText(), "0") << "a number field shows the value";
}
