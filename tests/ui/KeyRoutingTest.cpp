// Keys on their way from the application to the top window: focus moves,
// values change through the store (so the page that owns an id hears them),
// OK presses buttons, menu key 8 closes, and the keys no window takes.
#include "UiTest.h"

#include "KrZuApi.h"
#include "core/commands/TpButtonPress.h"
#include "core/store/TpParent.h"

#include <vector>

namespace {

// A page that records what its children tell it.
class RecordingPage : public TpParent {
public:
    RecordingPage() : TpParent(nullptr, 0, kKeepsNothing) {}
    void OnChildChanged(TpCommand* child, int reason) override
    {
        if (reason == kReasonValue)
            heard.push_back({child->CmdId(), child->GetValue()});
    }
    struct Heard {
        unsigned id;
        int32_t value;
        bool operator==(const Heard&) const = default;
    };
    std::vector<Heard> heard;
};

class KeyRouting : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Load("items|100|Off|Low|Mid|High\n"
             "items|2|Menu|Gen|Mon\n"
             "dialog|Main\n"
             "pages|Tabs|2|caption=\n"
             "combo|Level|100|page=Tabs:0\n"
             "number|Gain|101|min=0|max=3|page=Tabs:0\n"
             "check|Mute|102|page=Tabs:0\n"
             "button|Go|103|page=Tabs:0\n"
             "label|Note|0|page=Tabs:0\n"
             "button|Gen Only|104|page=Tabs:1\n"
             "button|Memory Five|105|key=18\n"
             "end\n"
             "dialog|Popup|closekey\n"
             "button|Close|0|action=close\n"
             "end\n"
             "dialog|Sticky\n"
             "button|Eight|106|key=8\n"
             "end\n");
        main = ShowDialog("Main", 1);
    }

    TpDialog* main = nullptr;
};

} // namespace

TEST_F(KeyRouting, UpAndDownMoveTheFocusOverControlsOfTheTopWindowThatCanTakeIt)
{
    EXPECT_EQ(main->FocusedControl(), main->FindControl("Tabs"));
    const char* order[] = {"Level", "Gain", "Mute", "Go", "Memory Five", "Tabs"};
    for (const char* name : order) {
        EXPECT_EQ(Press(kKeyDown), TpKeyResult::Taken);
        EXPECT_EQ(main->FocusedControl(), main->FindControl(name)) << name << ": labels and other pages are passed by";
    }
    EXPECT_EQ(Press(kKeyUp), TpKeyResult::Taken);
    EXPECT_EQ(main->FocusedControl(), main->FindControl("Memory Five")) << "the focus goes round";

    store->SetEnabled(105, false);
    EXPECT_EQ(main->FocusedControl(), nullptr) << "a disabled control holds no focus";
    EXPECT_EQ(Press(kKeyDown), TpKeyResult::Taken);
    EXPECT_EQ(main->FocusedControl(), main->FindControl("Tabs"));

    // Releases are ignored; keys reach only the top window.
    EXPECT_EQ(list->RouteKey(kKeyDown), TpKeyResult::Ignored);
    EXPECT_EQ(main->FocusedControl(), main->FindControl("Tabs"));
    ShowDialog("Popup", 1);
    Press(kKeyDown);
    EXPECT_EQ(main->FocusedControl(), main->FindControl("Tabs")) << "the main menu is not on top";
}

TEST_F(KeyRouting, LeftAndRightChangeTheValueOrThePageThroughTheStore)
{
    RecordingPage page;
    TpChildCmd level(&page, 100, kKeepsValue);
    TpChildCmd gain(&page, 101, kKeepsValue);
    store->SetItemEnabled(100, 1, false);

    Press(kKeyDown);   // Level
    EXPECT_EQ(Press(kKeyRight), TpKeyResult::Taken);
    EXPECT_EQ(level.GetValue(), 2) << "the disabled item is passed by";
    EXPECT_EQ(store->GetValue(100), 2);
    Press(kKeyRight);
    EXPECT_EQ(Press(kKeyRight), TpKeyResult::Taken) << "taken, though there is no item beyond the last";
    EXPECT_EQ(level.GetValue(), 3);
    Press(kKeyLeft);
    EXPECT_EQ(main->FindControl("Level")->ValueText(), "Mid");

    Press(kKeyDown);   // Gain
    for (int i = 0; i < 5; ++i)
        Press(kKeyRight);
    EXPECT_EQ(gain.GetValue(), 3) << "stops at the maximum";
    EXPECT_EQ((page.heard),
              (std::vector<RecordingPage::Heard> {{100, 2}, {100, 3}, {100, 2}, {101, 1}, {101, 2}, {101, 3}}));

    // On the page tabs, a page shows its own controls only.
    TKrObject* genOnly = main->FindControl("Gen Only");
    EXPECT_FALSE(genOnly->IsShownOnScreen());
    store->SetFocused(COM_MAIN_TAB_SELECT, true);
    Press(kKeyRight);
    EXPECT_EQ(store->GetValue(COM_MAIN_TAB_SELECT), 1);
    EXPECT_TRUE(genOnly->IsShownOnScreen());
    EXPECT_FALSE(main->FindControl("Level")->IsShownOnScreen());
    Press(kKeyDown);
    EXPECT_EQ(main->FocusedControl(), genOnly);
}

TEST_F(KeyRouting, OkPressesAButtonOnceAndTurnsASwitchOver)
{
    RecordingPage page;
    TpButtonPress go(&page, 103);
    TpChildCmd mute(&page, 102, kKeepsValue);
    store->SetFocused(103, true);
    EXPECT_EQ(Press(kKeyOk), TpKeyResult::Taken);
    EXPECT_EQ(Press(kKeyOk), TpKeyResult::Taken);
    EXPECT_EQ((page.heard), (std::vector<RecordingPage::Heard> {{103, 1}, {103, 1}})) << "each press is heard";
    EXPECT_EQ(store->GetValue(103), 0) << "the button shows released";

    store->SetFocused(102, true);
    Press(kKeyOk);
    EXPECT_EQ(mute.GetValue(), 1);
    Press(kKeyLeft);
    EXPECT_EQ(mute.GetValue(), 0);
}

TEST_F(KeyRouting, MenuKeyEightClosesOnlyADialogThatClosesOnIt)
{
    ShowDialog("Popup", 1);
    EXPECT_EQ(Press(kKeyMenu8), TpKeyResult::WindowClosed);
    EXPECT_EQ(Press(kKeyMenu8), TpKeyResult::Ignored) << "the main menu stays";
    EXPECT_EQ(TopWindow(), main);

    RecordingPage page;
    TpButtonPress eight(&page, 106);
    ShowDialog("Sticky", 1);
    EXPECT_EQ(Press(kKeyMenu8), TpKeyResult::Taken) << "on other dialogs key 8 is a key like any";
    EXPECT_EQ(page.heard.size(), 1u);

    ShowDialog("Popup", 1);
    EXPECT_EQ(Press(kKeyOk), TpKeyResult::Taken);
    EXPECT_EQ(TopWindow(), list->Find("Sticky")) << "the Close button closed the popup";
}

TEST_F(KeyRouting, KeysNoControlTakesRecallMemoriesDumpTheScreenOrPowerOff)
{
    RecordingPage memories;
    TpChildCmd select(&memories, COM_MEMORY_SEL, kKeepsValue);
    TpButtonPress recall(&memories, COM_MEMORY_RECALL);
    EXPECT_EQ(Press(kKeyRecallFirst + 2), TpKeyResult::MemoryRecalled);
    EXPECT_EQ((memories.heard), (std::vector<RecordingPage::Heard> {{COM_MEMORY_SEL, 2}, {COM_MEMORY_RECALL, 1}}));

    RecordingPage page;
    TpButtonPress five(&page, 105);
    memories.heard.clear();
    EXPECT_EQ(Press(kKeyRecallFirst + 4), TpKeyResult::Taken) << "a control bound to the key takes it";
    EXPECT_TRUE(memories.heard.empty());
    EXPECT_EQ(page.heard.size(), 1u);

    ShowDialog("Popup", 1);
    EXPECT_EQ(Press(kKeyRecallLast), TpKeyResult::MemoryRecalled);
    EXPECT_EQ(select.GetValue(), 7);
    EXPECT_EQ(Press(kKeyLongOk), TpKeyResult::ScreenDump);
    EXPECT_EQ(Press(kKeyPowerOff), TpKeyResult::PowerOff);
}
