// The status XML request over a real connection (KeySub::kStatusXml): the
// path once a complete new file is written, an error reply when it cannot be.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"
#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>

namespace {

const std::string kPathText = "/mnt/mmc/status.xml";

class StatusXmlRequest : public RemoteServerTest {
protected:
    void SetUp() override
    {
        RemoteServerTest::SetUp();
        WriteText("xmlformat.ini", "Port=" + std::to_string(COM_REMOTE_PORT) + ",1\nName=" +
                                       std::to_string(COM_NETWORK_NAME) + ",0\n");
    }

    std::string StatusFile() const { return TpZuApplication::StatusXmlPath(); }

    std::string ExpectedXml() const
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE ZU_STATUS [<!ELEMENT Field (#PCDATA)><!ATTLIST Field Name CDATA #REQUIRED Value CDATA "
               "#REQUIRED><!ELEMENT ZuStatus (Field)*>]>\n<ZuStatus>\n"
               "<Field><Name>Port</Name><Value>" + std::to_string(port) + "</Value></Field>\n"
               "<Field><Name>Name</Name><Value>CorvaneZu</Value></Field>\n"
               "</ZuStatus>\n";
    }
};

TEST_F(StatusXmlRequest, TheClientIsToldThePathOfANewCompleteFile)
{
    ASSERT_TRUE(MakeApp("", true));
    // A file of an earlier export is there; it must not be taken for the new
    // one.
    WriteText(StatusFile(), "<?xml version=\"1.0\"?>\n<ZuStatus>\n<Field><Name>Old");
    app->Store().SetValue(COM_REMOTE_ENABLE, 0);   // not needed for web requests
    RunLoop();
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 0, 0, KeySub::kStatusXml)));
    std::string reply;
    ASSERT_TRUE(c.Read(19, reply));
    EXPECT_EQ(reply, kPathText);
    EXPECT_EQ(ReadText(StatusFile()), ExpectedXml());
    EXPECT_EQ(std::system(("xmllint --noout '" + StatusFile() + "' 2>/dev/null").c_str()), 0);

    // Nothing else came: the next request's reply follows at once.
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 7, 0, KeySub::kStatusXml)));
    ASSERT_TRUE(c.Read(19, reply));
    EXPECT_EQ(reply, kPathText);
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 7, 0, KeySub::kLcdImage)));
    ASSERT_TRUE(c.Read(20, reply));
    EXPECT_EQ(reply, HeaderBytes(kRemoteMagic, ReplyType::kOk, 7, 0, 0, 0));
}

TEST_F(StatusXmlRequest, ClientsAskingAtTheSameTimeAreEachToldOfACompleteFile)
{
    ASSERT_TRUE(StartApp());
    constexpr int kClients = 4;
    constexpr int kRounds = 10;
    std::vector<TestClient> clients(kClients);
    for (TestClient& c : clients)
        ASSERT_TRUE(c.Connect(port));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            TestClient& c = clients[static_cast<size_t>(i)];
            std::string reply;
            const std::string request = EncodeRequest(MsgType::kKey, 0, 0, KeySub::kStatusXml);
            for (int round = 0; round < kRounds; ++round)
                wrong += !c.Send(request) || !c.Read(19, reply) || reply != kPathText;
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(ReadText(StatusFile()), ExpectedXml());
}

TEST_F(StatusXmlRequest, AFileThatCannotBeWrittenGetsAnErrorReply)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // The memory card's folder is gone: nothing can be written.
    std::filesystem::remove_all(Paths::InstrumentFolder());
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 9, 3, KeySub::kStatusXml)));
    std::string reply;
    ASSERT_TRUE(c.Read(20, reply));
    EXPECT_EQ(reply, HeaderBytes(kRemoteMagic, ReplyType::kError, 9, 0, 3, ResultWord::kRefused));

    // A folder stands where the file goes: it cannot be replaced.
    std::filesystem::create_directories(StatusFile() + "/inside");
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 9, 3, KeySub::kStatusXml)));
    ASSERT_TRUE(c.Read(20, reply));
    EXPECT_EQ(reply, HeaderBytes(kRemoteMagic, ReplyType::kError, 9, 0, 3, ResultWord::kRefused));

    // Once the file can be written again, the path comes back.
    std::filesystem::remove_all(StatusFile());
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 0, 0, KeySub::kStatusXml)));
    ASSERT_TRUE(c.Read(19, reply));
    EXPECT_EQ(reply, kPathText);
}

} // namespace
