// Requests over a real connection: the exact reply bytes of each kind of
// request, several requests in one write, headers split across writes, and
// malformed or oversized requests that leave the connection in step.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "sim/TpTFTBitmap.h"
#include "core/TpCommand.h"
#include "ui/TpDialogList.h"

namespace {

using RemoteRequestsOverTcp = RemoteServerTest;

std::string Word(uint32_t v)
{
    std::string s(4, '\0');
    PutU32(reinterpret_cast<uint8_t*>(s.data()), v);
    return s;
}

uint32_t U32At(const std::string& s, size_t at)
{
    return GetU32(reinterpret_cast<const uint8_t*>(s.data()) + at);
}

// Checks a BMP file of the LCD: signature, file size, 480 x 272, 24 bits.
void ExpectLcdBmp(const std::string& bmp)
{
    ASSERT_EQ(bmp.size(), TpTFTBitmap::GetBmpSize());
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(U32At(bmp, 2), 391734u);
    EXPECT_EQ(U32At(bmp, 18), 480u);
    EXPECT_EQ(U32At(bmp, 22), 272u);
    EXPECT_EQ(GetU16(reinterpret_cast<const uint8_t*>(bmp.data()) + 28), 24);
}

TEST_F(RemoteRequestsOverTcp, ReadSetTextListAndScreenRequestsAreAnsweredByteExactly)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    std::string bytes;

    // Read a value: the port.
    ASSERT_TRUE(c.Send(EncodeRequest(21, COM_REMOTE_PORT, 3)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 31, COM_REMOTE_PORT, 0, 3, port));

    // Set a value, read it back.
    ASSERT_TRUE(c.Send(EncodeRequest(5, COM_NETWORK_GATEWAY_4, 0, 254)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes.substr(0, 10), HeaderBytes(kRemoteMagic, 0, COM_NETWORK_GATEWAY_4, 0, 0, 0).substr(0, 10));
    ASSERT_TRUE(c.Send(EncodeRequest(21, COM_NETWORK_GATEWAY_4)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 31, COM_NETWORK_GATEWAY_4, 0, 0, 254));

    // Texts travel without a NUL.
    ASSERT_TRUE(c.Send(EncodeRequest(6, COM_NETWORK_NAME, 0, 0, "Zu Lab 4")));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 0, COM_NETWORK_NAME, 0, 0, 0));
    ASSERT_TRUE(c.Send(EncodeRequest(20, COM_NETWORK_NAME)));
    ASSERT_TRUE(c.Read(28, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 30, COM_NETWORK_NAME, 8, 0, 0) + "Zu Lab 4");

    // Lists: cleared, two values added, read as values and as texts.
    EXPECT_EQ(c.Request(10, COM_REMOTE_CONNECTIONS).header.type, 0);
    EXPECT_EQ(c.Request(11, COM_REMOTE_CONNECTIONS, 0, 5).header.type, 0);
    EXPECT_EQ(c.Request(11, COM_REMOTE_CONNECTIONS, 0, 7).header.type, 0);
    ASSERT_TRUE(c.Send(EncodeRequest(28, COM_REMOTE_CONNECTIONS)));
    ASSERT_TRUE(c.Read(28, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 38, COM_REMOTE_CONNECTIONS, 8, 0, 0) + Word(5) + Word(7));
    ASSERT_TRUE(c.Send(EncodeRequest(12, COM_REMOTE_CONNECTIONS, 1, 0, "B")));
    ASSERT_TRUE(c.Read(20, bytes));
    ASSERT_TRUE(c.Send(EncodeRequest(29, COM_REMOTE_CONNECTIONS)));
    ASSERT_TRUE(c.Read(22, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 39, COM_REMOTE_CONNECTIONS, 2, 2, 2) + "\tB");

    // A missing command.
    ASSERT_TRUE(c.Send(EncodeRequest(21, 8000, 9)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 1, 8000, 0, 9, 0xFFFFFFFE));

    // The screen: a header with the BMP size, then the BMP.
    ASSERT_TRUE(c.Send(EncodeRequest(70, 0)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 0x39, 0, 0, 391734, 0));
    ASSERT_TRUE(c.Read(391734, bytes));
    ExpectLcdBmp(bytes);

    // Type 4: a key with a command id gets a header; the LCD sub-code with
    // command id 0 and no payload gets the bare BMP.
    ASSERT_TRUE(c.Send(EncodeRequest(4, 7, 0, 12)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 0, 7, 0, 0, 0));
    ASSERT_TRUE(c.Send(EncodeRequest(4, 0, 0, 0x32)));
    ASSERT_TRUE(c.Read(391734, bytes));
    ExpectLcdBmp(bytes);
    ASSERT_TRUE(c.Send(EncodeRequest(4, 0, 0, 13)));
    ASSERT_TRUE(c.Read(391734, bytes));
    ExpectLcdBmp(bytes);

    // A console line is acknowledged at once.
    ASSERT_TRUE(c.Send(EncodeRequest(3, 0, 0, 0, "help")));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 0, 0, 0, 0, 0));
}

TEST_F(RemoteRequestsOverTcp, RequestsSentInOneWriteAreAnsweredInOrder)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    std::string batch;
    for (int i = 0; i < 8; ++i)
        batch += EncodeRequest(5, COM_NETWORK_IP_2, 0, 10 + i) + EncodeRequest(21, COM_NETWORK_IP_2, i);
    batch += EncodeRequest(20, COM_NETWORK_NAME) + EncodeRequest(16, COM_NETWORK_NAME) + EncodeRequest(1, 44);
    ASSERT_TRUE(c.Send(batch));
    for (int i = 0; i < 8; ++i) {
        WireReply set = c.ReadReply();
        ASSERT_TRUE(set.ok);
        EXPECT_EQ(set.header.type, 0);
        WireReply read = c.ReadReply();
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.header.type, 31);
        EXPECT_EQ(read.header.item, static_cast<uint32_t>(i));
        EXPECT_EQ(read.header.value, static_cast<uint32_t>(10 + i));
    }
    WireReply text = c.ReadReply();
    EXPECT_EQ(text.header.type, 30);
    EXPECT_EQ(text.payload, "CorvaneZu");
    WireReply noOperation = c.ReadReply();
    EXPECT_EQ(noOperation.header.type, 1);
    EXPECT_EQ(noOperation.header.value, 0xFFFFFFFFu);
    WireReply notAccepted = c.ReadReply();
    EXPECT_EQ(notAccepted.header.type, 1);
    EXPECT_EQ(notAccepted.header.cmdId, 44);
    EXPECT_EQ(notAccepted.header.value, 0xFFFFFFFFu);
    EXPECT_TRUE(debug->Contains("Remote Control: CommandType 1"));
}

TEST_F(RemoteRequestsOverTcp, HeadersAndPayloadsSplitAcrossWritesAreServed)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));
    const std::string set = EncodeRequest(6, COM_NETWORK_NAME, 0, 0, "split-name");
    for (size_t at = 0; at < set.size(); at += 3)
        ASSERT_TRUE(c.Send(set.substr(at, 3)));
    WireReply r = c.ReadReply();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.header.type, 0);

    const std::string read = EncodeRequest(20, COM_NETWORK_NAME);
    ASSERT_TRUE(c.Send(read.substr(0, 1)));
    ASSERT_TRUE(c.Send(read.substr(1, 18)));
    ASSERT_TRUE(c.Send(read.substr(19)));
    r = c.ReadReply();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.payload, "split-name");
}

TEST_F(RemoteRequestsOverTcp, MalformedAndOversizedRequestsKeepTheConnectionInStep)
{
    ASSERT_TRUE(StartApp());
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // A wrong magic word: no reply; the next header is read right after it.
    ASSERT_TRUE(c.Send(EncodeRequest(21, COM_REMOTE_PORT, 0, 0, "", 0x12345678) + EncodeRequest(21, COM_REMOTE_PORT)));
    WireReply r = c.ReadReply();
    EXPECT_EQ(r.header.type, 31);
    EXPECT_EQ(r.header.value, port);
    EXPECT_TRUE(debug->Contains("Remote Control: MagicNo 305419896"));

    // A payload longer than the receive buffer is read and dropped.
    ASSERT_TRUE(c.Send(EncodeRequest(6, COM_NETWORK_NAME, 0, 0, std::string(5000, 'x'))));
    r = c.ReadReply();
    EXPECT_EQ(r.header.type, 1);
    EXPECT_EQ(r.header.value, 0xFFFFFFFFu);
    r = c.Request(20, COM_NETWORK_NAME);
    EXPECT_EQ(r.header.type, 30);
    EXPECT_EQ(r.payload, "CorvaneZu") << "the dropped request changed nothing";

    // Payloads the application queue cannot take are refused, not lost.
    r = c.Request(6, COM_NETWORK_NAME, 0, 0, std::string(371, 'y'));
    EXPECT_EQ(r.header.type, 1);
    EXPECT_EQ(r.header.value, 0xFFFFFFFFu);
    r = c.Request(3, 0, 0, 0, std::string(400, 'z'));
    EXPECT_EQ(r.header.type, 1);
    EXPECT_EQ(r.header.value, 0xFFFFFFFFu);

    // Types 0 to 2 are not accepted.
    for (uint16_t type : {0, 1, 2}) {
        r = c.Request(type, COM_REMOTE_PORT, 5, 6);
        EXPECT_EQ(r.header.type, 1);
        EXPECT_EQ(r.header.item, 0u);
        EXPECT_EQ(r.header.value, 0xFFFFFFFFu);
    }
    EXPECT_TRUE(debug->Contains("Remote Control: CommandType 2"));

    // A payload that ends early ends the connection without running.
    ASSERT_TRUE(c.Send(HeaderBytes(kRemoteMagic, 6, COM_NETWORK_NAME, 10, 0, 0) + "abc"));
    c.socket.Shutdown();
    TestClient d;
    ASSERT_TRUE(d.Connect(port));
    ASSERT_TRUE(WaitFor([&] { return debug->Contains("Remote Control: Get text 10"); }));
    r = d.Request(20, COM_NETWORK_NAME);
    EXPECT_EQ(r.payload, "CorvaneZu");
}

TEST_F(RemoteRequestsOverTcp, TheNoButtonOfADialogThatClosesOnAKeyIsAnsweredAsKeyEight)
{
    ASSERT_TRUE(MakeApp("", true));
    // A yes/no question is open before the loop runs (the test thread may not
    // touch the windows once it does).
    TpCommand answer(0, 1);
    answer.SetValue(7);
    TpDialog* question = ShowCheckDialog(245, 246, &answer);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(TopWindowClosesOnKey());
    RunLoop();
    TestClient c;
    ASSERT_TRUE(c.Connect(port));

    // A read of the No button is a plain read, whatever is open.
    WireReply r = c.Request(21, COM_CHECK_NO);
    EXPECT_EQ(r.header.type, 31);

    // A set is answered as menu key 8: a bare type-0 header, and the
    // question closes with the answer "no".
    std::string bytes;
    ASSERT_TRUE(c.Send(EncodeRequest(5, COM_CHECK_NO, 2, 1)));
    ASSERT_TRUE(c.Read(20, bytes));
    EXPECT_EQ(bytes, HeaderBytes(kRemoteMagic, 0, COM_CHECK_NO, 0, 2, 0));
    ASSERT_TRUE(WaitFor([] { return !TopWindowClosesOnKey(); }, 5000)) << "the question closed";
    ASSERT_TRUE(StopApp());
    EXPECT_EQ(answer.GetValue(), 0);
}

} // namespace
