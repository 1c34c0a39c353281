// The application loop: ticks, console lines, keys (also while locked), and power-off saving the system data.
#include "app/AppTest.h"
#include "core/CommandProbes.h"
#include "core/store/TpCommand.h"
#include "core/log/TpCommandLine.h"
#include "core/store/TpStore.h"
#include "platform/FileSystem.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"
#include "sim/LcdImageFiles.h"
#include "ui/widgets/TpDialog.h"
#include "ui/dialogs/TpDialogList.h"

#include "KrZuApi.h"

#include <algorithm>

namespace {

class ApplicationLoopTest : public AppTest {
protected:
    // Posts a message as the host's own threads do (no reply wanted).
    static void PostLocal(uint16_t type, uint32_t value, const std::string& payload = std::string(),
                          bool force = false)
    {
        RemoteMsgHeader h;
        h.type = type;
        h.value = value;
        h.length = static_cast<uint16_t>(payload.size());
        MessageQueue q;
        q.Open("/msgq");
        ASSERT_TRUE(q.Send(h, payload.data(), force));
    }
    static void Press(uint16_t key)
    {
        PostLocal(MsgType::kKey, kKeyPressFlag | key);
        PostLocal(MsgType::kKey, key);
    }
    static size_t ScreenDumps()
    {
        std::vector<DirEntry> dumps;
        ListDirectory(ScreenDumpFolder(), "scrndump*.bmp", dumps);
        return dumps.size();
    }
};
using ApplicationKeysTest = ApplicationLoopTest;

TEST_F(ApplicationLoopTest, UpdateMessagesTickTheTasks)
{
    TaskOwner ticker;
    app->Store().AddTask(&ticker, "TEST", 100, false, false);   // every 5 ticks
    for (int i = 0; i < 10; ++i) {
        PostLocal(MsgType::kUpdate, 0, "", true);
        app->ProcessPending();
    }
    EXPECT_EQ(ticker.runs, 2);
    app->Store().RemoveTask(&ticker);
}

// The one test on the real clock: the key-scan thread's updates make a tick
// 20 ms of wall time. Loose bounds, so a loaded machine still passes.
TEST_F(ApplicationLoopTest, OnTheRealClockA100msTaskRunsAboutTenTimesASecond)
{
    // Static: the key-scan thread still reads the clock after the test's body.
    static RealClock real;
    SetClock(&real);
    TaskOwner ticker;
    app->Store().AddTask(&ticker, "TEST", 100, false, false);
    const uint64_t start = real.MonotonicMs();
    while (real.MonotonicMs() - start < 1000) {
        app->ProcessPending();
        Sleep(2);
    }
    app->Store().RemoveTask(&ticker);
    EXPECT_GE(ticker.runs, 5);
    EXPECT_LE(ticker.runs, 15);
}

TEST_F(ApplicationLoopTest, ConsoleLinesAndUnknownTypesAreHandledAndAnswered)
{
    std::vector<int32_t> args;
    ASSERT_TRUE(AddCommand("beep", 2, 0, [&](int) { args.push_back(TpCommandLine::ArgWord(0)); }));
    PostLocal(MsgType::kConsole, 0, "beep 7");
    app->ProcessPending();
    // A remote key message with a payload is a console line; its sender is answered.
    EXPECT_TRUE(Request(MsgType::kKey, 0, 0, 0, "be 9").answered);
    EXPECT_EQ(args, (std::vector<int32_t>{7, 9}));

    const Reply r = Request(60, 1);
    ASSERT_TRUE(r.answered);
    EXPECT_EQ(r.header.type, ReplyType::kError);
    EXPECT_EQ(r.header.value, ResultWord::kRefused);
}

TEST_F(ApplicationLoopTest, InputStandardRefusesNumbersBeyondTheTableHoweverLarge)
{
    auto console = [&](const std::string& line) {
        PostLocal(MsgType::kConsole, 0, line);
        app->ProcessPending();
    };
    console("inputstd 11");
    ASSERT_TRUE(debug->Contains("Input standard 11: 1080i50\n"));
    // Numbers that wrap round to a row, or to -1, when narrowed are no row.
    for (const char* bad : {"inputstd 4294967296", "inputstd 4294967295", "inputstd -4294967296"}) {
        debug->Clear();
        console(bad);
        EXPECT_TRUE(debug->Contains("Usage: inputstd [N] (N: -1 for no input, 0-54 a video standard)\n")) << bad;
        EXPECT_FALSE(debug->Contains("Input standard")) << bad;
    }
    console("inputstd");
    EXPECT_TRUE(debug->Contains("Input standard 11: 1080i50\n"));
}

TEST_F(ApplicationKeysTest, ClientKeysAreAnsweredAndDroppedOnlyWhileTheKeyboardIsLocked)
{
    const Reply pressed = Request(MsgType::kKey, 0, 0, kKeyPressFlag | kKeyUp);
    EXPECT_TRUE(pressed.answered && pressed.header.type == ReplyType::kOk);

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    ASSERT_EQ(app->Store().GetValue(COM_REMOTE_DISABLE_KEYBOARD), 1);
    EXPECT_TRUE(Request(MsgType::kKey, 0, 0, kKeyPressFlag | kKeyLongOk).answered) << "a dropped key still frees its requester";
    EXPECT_EQ(ScreenDumps(), 0u) << "the locked keyboard dropped the key";
    EXPECT_TRUE(Request(MsgType::kKey, 0, 0, kKeyPressFlag | kKeyPowerOff).answered);
    EXPECT_TRUE(Request(MsgType::kKey, KeySub::kNoKeyCmdId, 0, kKeyPressFlag | kKeyPowerOff).answered)
        << "id 50 carries no key";
    EXPECT_FALSE(app->QuitRequested());

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 0);
    EXPECT_TRUE(Request(MsgType::kKey, 0, 0, kKeyPressFlag | kKeyLongOk).answered);
    EXPECT_EQ(ScreenDumps(), 1u);

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    PostLocal(MsgType::kKey, kKeyPressFlag | kKeyPowerOff);   // the host's quit is not locked out
    EXPECT_FALSE(app->ProcessPending());
    EXPECT_TRUE(app->QuitRequested());
}

TEST_F(ApplicationKeysTest, MenuKeyEightClosesTheTopDialogUnlessTheKeyboardIsLocked)
{
    ASSERT_NE(TopWindow(), nullptr);   // the start-up page is drawn
    EXPECT_EQ(TopWindow()->Name(), "Main");
    const std::vector<uint32_t> first = SimLcdFrame().Snapshot();
    EXPECT_TRUE(std::any_of(first.begin(), first.end(), [&](uint32_t px) { return px != first[0]; }));

    TpDialog* cancel = ShowDialog("CancelScript", 1);
    ASSERT_NE(cancel, nullptr);
    PostLocal(MsgType::kUpdate, 0, "", true);
    app->ProcessPending();
    const std::vector<uint32_t> withDialog = SimLcdFrame().Snapshot();

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    Press(kKeyMenu8);
    app->ProcessPending();
    EXPECT_TRUE(IsWindowOpen(cancel)) << "keys are locked";

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 0);
    Press(kKeyMenu8);
    app->ProcessPending();
    EXPECT_FALSE(IsWindowOpen(cancel));
    EXPECT_EQ(TopWindow()->Name(), "Main");
    EXPECT_NE(SimLcdFrame().Snapshot(), withDialog) << "the LCD shows the page again";

    // A client's key is handled before its reply is sent.
    cancel = ShowDialog("CancelScript", 1);
    ASSERT_TRUE(Post(slot, MsgType::kKey, 0, 0, kKeyPressFlag | kKeyMenu8, ""));
    EXPECT_TRUE(Request(MsgType::kKey, 0, 0, kKeyMenu8).answered);
    EXPECT_FALSE(IsWindowOpen(cancel));
}

TEST_F(ApplicationLoopTest, PowerOffEndsTheLoopAndSavesTheSystemData)
{
    app.reset();
    {
        TpZuApplication first;
        first.Store().DefineEntry(COM_AUDIO_TAB_SELECT, kStoreValue | kStoreText, kStoreSystem, 1, "a");
        TpCommand setting(COM_AUDIO_TAB_SELECT, kKeepsValueText);
        first.Store().SetValue(COM_AUDIO_TAB_SELECT, 4);
        first.Store().SetText(COM_AUDIO_TAB_SELECT, "four");
        PostLocal(MsgType::kKey, kKeyPressFlag | kKeyPowerOff);
        PostLocal(3, 0, "ignored after power off");
        first.ProcessMessages();   // returns after the power-off key
        EXPECT_TRUE(first.IsShutDown());
        EXPECT_TRUE(debug->Contains("Saving System data...\n"));
    }
    // The saved file holds the changed value and text for the next start.
    const std::string saved = ReadText(TpZuApplication::kSystemFile);
    EXPECT_NE(saved.find("V" + std::to_string(COM_AUDIO_TAB_SELECT) + "=4\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("T" + std::to_string(COM_AUDIO_TAB_SELECT) + "=four\n"), std::string::npos) << saved;
}

} // namespace
