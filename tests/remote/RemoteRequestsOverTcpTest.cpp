// Requests over a real connection: reply bytes, several requests in one
// write, headers split across writes, and malformed or oversized requests
// that leave the connection in step.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "sim/TpTFTBitmap.h"
#include "core/store/TpCommand.h"
#include "ui/dialogs/TpDialogList.h"

namespace {

using RemoteRequestsOverTcp = RemoteServerTest;

// Replies the Python client does not check.
TEST_F(RemoteRequestsOverTcp, LcdSubCodeThirteenAndConsoleLinesAreAnswered)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    std::string bytes;
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kKey, 0, 0, 13)));
    ASSERT_TRUE(c.Read(TpTFTBitmap::GetBmpSize(), bytes));
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(GetU32(reinterpret_cast<const uint8_t*>(bytes.data()) + 2), 391734u);
    ASSERT_TRUE(c.Send(EncodeRequest(MsgType::kConsole, 0, 0, 0, "help")));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, ReplyType::kOk, 0, 0, 0, 0))
        << "a console line is acknowledged at once";
}

TEST_F(RemoteRequestsOverTcp, RequestsInOneWriteOrSplitAcrossWritesAreAnsweredInOrder)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    std::string batch;
    for (int i = 0; i < 8; ++i)
        batch += EncodeRequest(StoreType::kSetValue, COM_NETWORK_IP_2, 0, 10 + i) +
                 EncodeRequest(StoreType::kGetValue, COM_NETWORK_IP_2, i);
    batch += EncodeRequest(StoreType::kGetText, COM_NETWORK_NAME) + EncodeRequest(16, COM_NETWORK_NAME) +
             EncodeRequest(1, 44);
    ASSERT_TRUE(c.Send(batch));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(c.ReadReply().header.type, ReplyType::kOk);
        WireReply read = c.ReadReply();
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.header.type, ReplyType::kValue);
        EXPECT_EQ(read.header.item, static_cast<uint32_t>(i));
        EXPECT_EQ(read.header.value, static_cast<uint32_t>(10 + i));
    }
    WireReply text = c.ReadReply();
    EXPECT_EQ(text.header.type, ReplyType::kText);
    EXPECT_EQ(text.payload, "CorvaneZu");
    WireReply noOperation = c.ReadReply();
    EXPECT_EQ(noOperation.header.type, ReplyType::kError);
    EXPECT_EQ(noOperation.header.value, ResultWord::kRefused);
    WireReply notAccepted = c.ReadReply();
    EXPECT_EQ(notAccepted.header.type, ReplyType::kError);
    EXPECT_EQ(notAccepted.header.cmdId, 44);
    EXPECT_EQ(notAccepted.header.value, ResultWord::kRefused);
    EXPECT_TRUE(debug->Contains("Remote Control: CommandType 1"));

    // Headers and payloads split across writes.
    const std::string set = EncodeRequest(StoreType::kSetText, COM_NETWORK_NAME, 0, 0, "split-name");
    for (size_t at = 0; at < set.size(); at += 3)
        ASSERT_TRUE(c.Send(set.substr(at, 3)));
    EXPECT_EQ(c.ReadReply().header.type, ReplyType::kOk);
    const std::string read = EncodeRequest(StoreType::kGetText, COM_NETWORK_NAME);
    ASSERT_TRUE(c.Send(read.substr(0, 1)));
    ASSERT_TRUE(c.Send(read.substr(1, 18)));
    ASSERT_TRUE(c.Send(read.substr(19)));
    EXPECT_EQ(c.ReadReply().payload, "split-name");
}

TEST_F(RemoteRequestsOverTcp, MalformedAndOversizedRequestsKeepTheConnectionInStep)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // A wrong magic word: no reply; the next header is read right after it.
    ASSERT_TRUE(c.Send(EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT, 0, 0, "", 0x12345678) +
                       EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT)));
    WireReply r = c.ReadReply();
    EXPECT_EQ(r.header.type, ReplyType::kValue);
    EXPECT_EQ(r.header.value, port);
    EXPECT_TRUE(debug->Contains("Remote Control: MagicNo 305419896"));

    // Stray bytes before a request cost that request alone: the next header
    // is the one at the magic word, whether it starts inside the first bad
    // header or at its last bytes.
    const std::string junk = "\x12\xCB\x5A" + std::string(4, 'j');
    for (const std::string& stray : {junk, std::string(20, 'k') + junk + std::string(10, 'j')}) {
        ASSERT_TRUE(c.Send(stray + EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT, 1) +
                           EncodeRequest(StoreType::kGetValue, COM_REMOTE_PORT, 2)));
        for (uint32_t item : {1u, 2u}) {
            r = c.ReadReply();
            EXPECT_EQ(HeaderOf(r.header), HeaderBytes(kRemoteMagic, 31, COM_REMOTE_PORT, 0, item, port))
                << stray.size() << " stray bytes";
        }
    }
    EXPECT_TRUE(debug->Contains("Remote Control: MagicNo 1784335122"));

    // A payload longer than the receive buffer is read and dropped.
    ASSERT_TRUE(c.Send(EncodeRequest(StoreType::kSetText, COM_NETWORK_NAME, 0, 0, std::string(5000, 'x'))));
    r = c.ReadReply();
    EXPECT_EQ(r.header.type, ReplyType::kError);
    EXPECT_EQ(r.header.value, ResultWord::kRefused);
    r = c.Request(StoreType::kGetText, COM_NETWORK_NAME);
    EXPECT_EQ(r.header.type, ReplyType::kText);
    EXPECT_EQ(r.payload, "CorvaneZu") << "the dropped request changed nothing";

    // Payloads the application queue cannot take are refused, not lost; the
    // largest it takes is carried out.
    r = c.Request(StoreType::kSetText, COM_NETWORK_NAME, 0, 0, std::string(370, 'y'));
    EXPECT_EQ(HeaderOf(r.header), HeaderBytes(kRemoteMagic, 0, COM_NETWORK_NAME, 0, 0, 0));
    EXPECT_EQ(c.Request(StoreType::kGetText, COM_NETWORK_NAME).payload, std::string(370, 'y'));
    ASSERT_EQ(c.Request(StoreType::kSetText, COM_NETWORK_NAME, 0, 0, "CorvaneZu").header.type, 0);
    r = c.Request(StoreType::kSetText, COM_NETWORK_NAME, 0, 0, std::string(371, 'y'));
    EXPECT_EQ(r.header.type, ReplyType::kError);
    EXPECT_EQ(r.header.value, ResultWord::kRefused);
    r = c.Request(MsgType::kConsole, 0, 0, 0, std::string(400, 'z'));
    EXPECT_EQ(r.header.type, ReplyType::kError);
    EXPECT_EQ(r.header.value, ResultWord::kRefused);

    // Types 0 to 2 are not accepted.
    for (uint16_t type : {0, 1, 2}) {
        r = c.Request(type, COM_REMOTE_PORT, 5, 6);
        EXPECT_EQ(r.header.type, ReplyType::kError);
        EXPECT_EQ(r.header.item, 0u);
        EXPECT_EQ(r.header.value, ResultWord::kRefused);
    }
    // One run of refused types: its first is logged.
    EXPECT_TRUE(debug->Contains("Remote Control: CommandType 0"));
    // The last store type goes to the store (item echoed), not to the screen.
    r = c.Request(MsgType::kStoreLast, COM_REMOTE_PORT, 5);
    EXPECT_EQ(HeaderOf(r.header),
              HeaderBytes(kRemoteMagic, ReplyType::kError, COM_REMOTE_PORT, 0, 5, ResultWord::kRefused));
    EXPECT_TRUE(debug->Contains("ERROR: RetXXX (55)"));

    // A payload that ends early ends the connection without running.
    ASSERT_TRUE(c.Send(HeaderBytes(kRemoteMagic, StoreType::kSetText, COM_NETWORK_NAME, 10, 0, 0) + "abc"));
    c.socket.Shutdown();
    TestClient d;
    ASSERT_TRUE(d.Connect(port));
    ASSERT_TRUE(WaitFor([&] { return debug->Contains("Remote Control: Get text 10"); }));
    r = d.Request(StoreType::kGetText, COM_NETWORK_NAME);
    EXPECT_EQ(r.payload, "CorvaneZu");
}

TEST_F(RemoteRequestsOverTcp, TheNoButtonOfADialogThatClosesOnAKeyIsAnsweredAsKeyEight)
{
    ASSERT_TRUE(MakeApp("", true));
    // A yes/no question is open before the loop runs (the test thread may not
    // touch the windows once it does).
    TpCommand answer(0, kKeepsValue);
    answer.SetValue(7);
    TpDialog* question = ShowCheckDialog(245, 246, &answer);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(TopWindowClosesOnKey());
    RunLoop();
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // A read of the No button is a plain read, whatever is open.
    WireReply r = c.Request(StoreType::kGetValue, COM_CHECK_NO);
    EXPECT_EQ(r.header.type, ReplyType::kValue);

    // A set is answered as menu key 8: a bare type-0 header, and the
    // question closes with the answer "no".
    std::string bytes;
    ASSERT_TRUE(c.Send(EncodeRequest(StoreType::kSetValue, COM_CHECK_NO, 2, 1)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, ReplyType::kOk, COM_CHECK_NO, 0, 2, 0));
    ASSERT_TRUE(WaitFor([] { return !TopWindowClosesOnKey(); }, 5000)) << "the question closed";
    ASSERT_TRUE(StopApp());
    EXPECT_EQ(answer.GetValue(), 0);
}

} // namespace
