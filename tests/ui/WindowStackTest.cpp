// The window stack: dialogs opened by name go on top, the close hook runs for
// every window that closes, and focus marks clear from a named control on.
#include "UiTest.h"

#include "ui/widgets/TpButton.h"

namespace {

class WindowStack : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("dialog|Main\n"
             "label|Title|0\n"
             "end\n"
             "dialog|CancelScript|closekey\n"
             "button|Yes|2457\n"
             "button|No|2458|focus\n"
             "end\n"
             "dialog|IpPage\n"
             "label|Audio Flows|0\n"
             "button|A|3000\n"
             "label|Video Flows|0\n"
             "button|B|3001\n"
             "button|C|3002\n"
             "end\n");
    }
};

} // namespace

TEST_F(WindowStack, ADialogOpenedByNameIsOnTopAndUnknownNamesGiveNone)
{
    EXPECT_EQ(ShowDialog("NoSuch", 1), nullptr);
    EXPECT_TRUE(debug->Contains("no dialog \"NoSuch\""));
    EXPECT_EQ(TopWindow(), nullptr);
    CloseDialog(nullptr);
    EXPECT_FALSE(IsWindowOpen(nullptr));

    TpDialog* main = ShowDialog("Main", 1);
    TpDialog* cancel = ShowDialog("CancelScript", 1);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(TopWindow(), cancel);
    EXPECT_TRUE(IsWindowOpen(main) && cancel->IsVisible());
    EXPECT_EQ(cancel->Mode(), 1);
    CloseDialog(cancel);
    EXPECT_FALSE(IsWindowOpen(cancel) || cancel->IsVisible());
    EXPECT_EQ(TopWindow(), main);
    EXPECT_EQ(ShowDialog("CancelScript", 1), cancel) << "the same object each time";
    EXPECT_EQ(ShowDialog("Main", 0), main) << "an open dialog moves to the top";
    EXPECT_EQ(list->Stack(), (std::vector<TpDialog*> {cancel, main}));

    list.reset();
    EXPECT_EQ(ShowDialog("Main", 1), nullptr) << "no dialog list, no dialogs";
    EXPECT_EQ(TopWindow(), nullptr);
}

TEST_F(WindowStack, TheCloseHookRunsOncePerWindowClosed)
{
    int runs = 0;
    list->SetCloseAnyWindowHook([&] { ++runs; });
    TpDialog* main = ShowDialog("Main", 1);
    TpDialog* cancel = ShowDialog("CancelScript", 1);
    main->Close();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(TopWindow(), cancel) << "a window below the top can close";
    main->Close();
    EXPECT_EQ(runs, 1) << "a closed window does not close again";
    EXPECT_EQ(Press(kKeyMenu8), TpKeyResult::WindowClosed);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(TopWindow(), nullptr);

    // The hook may open a window itself.
    list->SetCloseAnyWindowHook([&] {
        ++runs;
        ShowDialog("Main", 1);
    });
    ShowDialog("CancelScript", 1)->Close();
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(TopWindow(), main);
}

TEST_F(WindowStack, ClearFocusClearsTheNamedControlAndTheOnesAfter)
{
    TpDialog* page = ShowDialog("IpPage", 1);
    TKrObject* a = page->FindControl("A");
    TKrObject* b = page->FindControl("B");
    TKrObject* c = page->FindControl("C");
    EXPECT_EQ(page->FocusedControl(), a) << "the first control that can take the focus";

    page->ClearFocus("Video Flows");
    EXPECT_EQ(page->FocusedControl(), a) << "a control before the name keeps its mark";

    store->SetFocused(3002, true);
    EXPECT_EQ(page->FocusedControl(), c);
    EXPECT_FALSE(a->IsFocused()) << "giving the focus takes it from the other control";

    page->ClearFocus("Video Flows");
    EXPECT_FALSE(c->IsFocused());
    EXPECT_FALSE(b->IsFocused());
    EXPECT_EQ(page->FocusedControl(), nullptr);

    store->SetFocused(3001, true);
    page->ClearFocus("Audio Flows");
    EXPECT_FALSE(b->IsFocused());
}
