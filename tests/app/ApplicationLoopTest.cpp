#include "app/AppTest.h"
#include "core/TpCommand.h"
#include "core/TpCommandLine.h"
#include "core/TpStore.h"
#include "platform/FileSystem.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"
#include "sim/LcdImageFiles.h"
#include "ui/TpDialog.h"
#include "ui/TpDialogList.h"

#include "KrZuApi.h"

namespace {

// Counts its task runs.
class Ticker : public TpCommand {
public:
    Ticker() : TpCommand(0, 0) {}
    void OnTask() override { ++runs; }
    int runs = 0;
};

class ApplicationLoopTest : public AppTest {
protected:
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
};

TEST_F(ApplicationLoopTest, StartsWithItsMessagesAndTheDataFolders)
{
    EXPECT_TRUE(debug->Contains("Default settings\n"));
    EXPECT_TRUE(debug->Contains("Loading saved settings\n"));
    EXPECT_TRUE(debug->Contains("finished GuiInit\n"));
    EXPECT_TRUE(FolderExists(ScreenDumpFolder()));
}

TEST_F(ApplicationLoopTest, UpdateMessagesTickTheTasks)
{
    Ticker ticker;
    app->Store().AddTask(&ticker, "TEST", 100, false, false);   // every 5 ticks
    for (int i = 0; i < 10; ++i) {
        PostLocal(kAppMsgUpdate, 0, "", true);
        app->ProcessPending();
    }
    EXPECT_EQ(ticker.runs, 2);
    app->Store().RemoveTask(&ticker);
}

TEST_F(ApplicationLoopTest, ConsoleLinesRunFromTypeThreeAndKeyPayloads)
{
    int runs = 0;
    int32_t arg = 0;
    ASSERT_TRUE(AddCommand("beep", 2, 0, [&](int) {
        ++runs;
        arg = TpCommandLine::ArgWord(0);
    }));
    PostLocal(3, 0, "beep 7");
    app->ProcessPending();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(arg, 7);

    // A remote type-4 message with a payload is a console line; its sender is
    // answered.
    ASSERT_TRUE(Post(slot, 4, 0, 0, 0, "be 9"));
    app->ProcessPending();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(arg, 9);
    EXPECT_TRUE(Collect(slot).answered);
}

TEST_F(ApplicationLoopTest, RemoteKeysAreAnsweredEvenWhenTheKeyboardIsLocked)
{
    ASSERT_TRUE(Post(slot, 4, 0, 0, kKeyPressFlag | kKeyUp, ""));
    app->ProcessPending();
    Reply pressed = Collect(slot);
    ASSERT_TRUE(pressed.answered);
    EXPECT_EQ(pressed.header.type, 0);

    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    ASSERT_EQ(app->Store().GetValue(COM_REMOTE_DISABLE_KEYBOARD), 1);
    ASSERT_TRUE(Post(slot, 4, 0, 0, kKeyPressFlag | kKeyLongOk, ""));
    app->ProcessPending();
    EXPECT_TRUE(Collect(slot).answered) << "a dropped key still frees its requester";
    std::vector<DirEntry> dumps;
    ListDirectory(ScreenDumpFolder(), "scrndump*.bmp", dumps);
    EXPECT_TRUE(dumps.empty()) << "the locked keyboard dropped the key";

    // Command id 50 carries no key; it is answered all the same.
    ASSERT_TRUE(Post(slot, 4, 50, 0, kKeyPressFlag | kKeyPowerOff, ""));
    app->ProcessPending();
    EXPECT_TRUE(Collect(slot).answered);
    EXPECT_FALSE(app->QuitRequested());
}

TEST_F(ApplicationLoopTest, LongOkWritesAScreenDump)
{
    PostLocal(4, kKeyPressFlag | kKeyLongOk);
    PostLocal(4, kKeyLongOk);
    app->ProcessPending();
    std::vector<DirEntry> dumps;
    ASSERT_TRUE(ListDirectory(ScreenDumpFolder(), "scrndump*.bmp", dumps));
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps[0].size, 391734u);
}

TEST_F(ApplicationLoopTest, StatusKeyWritesTheStatusFile)
{
    WriteText("xmlformat.ini", "");
    PostLocal(4, 0x34);
    app->ProcessPending();
    std::string xml = ReadText(TpZuApplication::StatusXmlPath());
    EXPECT_NE(xml.find("<?xml"), std::string::npos);
}

TEST_F(ApplicationLoopTest, UnknownMessageTypesAreAnswered)
{
    ASSERT_TRUE(Post(slot, 60, 1, 0, 0, ""));
    app->ProcessPending();
    Reply r = Collect(slot);
    ASSERT_TRUE(r.answered);
    EXPECT_EQ(r.header.type, 1);
    EXPECT_EQ(r.header.value, 0xFFFFFFFFu);
}

TEST_F(ApplicationLoopTest, PowerOffEndsTheLoopAndSavesTheSystemData)
{
    // A system-kept setting changed from its default is saved at power-off.
    app.reset();
    {
        TpZuApplication first;
        first.Store().DefineEntry(COM_AUDIO_TAB_SELECT, kStoreValue | kStoreText, kStoreSystem, 1, "a");
        TpCommand setting(COM_AUDIO_TAB_SELECT, 3);
        first.Store().SetValue(COM_AUDIO_TAB_SELECT, 4);
        first.Store().SetText(COM_AUDIO_TAB_SELECT, "four");
        PostLocal(4, kKeyPressFlag | kKeyPowerOff);
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

namespace {

class ApplicationKeysTest : public AppTest {
protected:
    static void PostKey(uint16_t code)
    {
        RemoteMsgHeader h;
        h.type = 4;
        h.value = code;
        MessageQueue q;
        q.Open("/msgq");
        ASSERT_TRUE(q.Send(h, nullptr));
    }
    static void Press(uint16_t key)
    {
        PostKey(kKeyPressFlag | key);
        PostKey(key);
    }
};

TEST_F(ApplicationKeysTest, StartsOnTheMainPageDrawnIntoTheLcd)
{
    ASSERT_NE(TopWindow(), nullptr);
    EXPECT_EQ(TopWindow()->Name(), "Main");
    std::vector<uint32_t> frame = SimLcdFrame().Snapshot();
    bool drawn = false;
    for (uint32_t px : frame)
        drawn = drawn || px != frame[0];
    EXPECT_TRUE(drawn) << "the first screen is drawn at start-up";
}

TEST_F(ApplicationKeysTest, MenuKeyEightClosesTheTopDialogUnlessTheKeyboardIsLocked)
{
    TpDialog* cancel = ShowDialog("CancelScript", 1);
    ASSERT_NE(cancel, nullptr);
    RemoteMsgHeader update;
    update.type = kAppMsgUpdate;
    MessageQueue q;
    q.Open("/msgq");
    ASSERT_TRUE(q.Send(update, nullptr, true));
    app->ProcessPending();
    std::vector<uint32_t> withDialog = SimLcdFrame().Snapshot();

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
}

TEST_F(ApplicationKeysTest, RemoteClientSeesTheKeyHandledBeforeItsReply)
{
    TpDialog* cancel = ShowDialog("CancelScript", 1);
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(Post(slot, 4, 0, 0, kKeyPressFlag | kKeyMenu8, ""));
    ASSERT_TRUE(Post(slot, 4, 0, 0, kKeyMenu8, ""));
    app->ProcessPending();
    ASSERT_TRUE(Collect(slot).answered);
    EXPECT_FALSE(IsWindowOpen(cancel));
}

TEST_F(ApplicationKeysTest, PowerKeyEndsTheLoop)
{
    Press(kKeyPowerOff);
    EXPECT_FALSE(app->ProcessPending());
    EXPECT_TRUE(app->QuitRequested());
}

TEST_F(ApplicationKeysTest, HostPowerOffWorksWhileClientsLockTheKeyboard)
{
    app->Store().SetValue(COM_REMOTE_DISABLE_KEYBOARD, 1);
    // A client's power key is a key like any other: locked out.
    ASSERT_TRUE(Post(slot, 4, 0, 0, kKeyPressFlag | kKeyPowerOff, ""));
    app->ProcessPending();
    EXPECT_TRUE(Collect(slot).answered);
    EXPECT_FALSE(app->QuitRequested());
    // The host's quit is not.
    PostKey(kKeyPressFlag | kKeyPowerOff);
    EXPECT_FALSE(app->ProcessPending());
    EXPECT_TRUE(app->QuitRequested());
}

} // namespace
