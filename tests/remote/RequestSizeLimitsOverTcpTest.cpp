// Request payloads at the application's limit over a real connection: 370
// bytes are taken, 371 refused, for console lines and store requests alike;
// 1,480 bytes (the whole receive buffer) and 1,481 (more than it) are refused
// and the connection stays in step.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"

namespace {

using RequestSizeLimitsOverTcp = RemoteServerTest;

TEST_F(RequestSizeLimitsOverTcp, ConsoleLinesAndStorePayloadsOnBothSidesOfTheLimits)
{
    TestClient c;
    ASSERT_TRUE(StartApp() && c.Connect(port));
    WireReply r = c.Request(3, 0, 0, 0, std::string(370, 'q'));
    EXPECT_EQ(r.header.type, 0);
    ASSERT_TRUE(WaitFor([&] { return debug->Contains("Unknown command: " + std::string(370, 'q')); }))
        << "the longest line runs";
    r = c.Request(3, 0, 4, 0, std::string(371, 'r'));
    EXPECT_EQ(HeaderOf(r.header), HeaderBytes(0xA55ACB12, 1, 0, 0, 4, 0xFFFFFFFF));

    for (size_t size : {size_t {1480}, size_t {1481}}) {
        r = c.Request(6, COM_NETWORK_NAME, 2, 0, std::string(size, 'x'));
        EXPECT_EQ(HeaderOf(r.header), HeaderBytes(0xA55ACB12, 1, COM_NETWORK_NAME, 0, 2, 0xFFFFFFFF)) << size;
        r = c.Request(20, COM_NETWORK_NAME);
        EXPECT_EQ(r.header.type, 30) << size;
        EXPECT_EQ(r.payload, "CorvaneZu") << size;
    }
    EXPECT_FALSE(debug->Contains("Unknown command: r")) << "the refused line never ran";
}

} // namespace
