// LCD images sent to clients over loopback sockets: each gets exactly the
// 391,734 bytes of one whole picture, in pieces of at most 64 KiB, while
// others, a screen dump and the drawing thread work, and even when the file
// cannot be written.
#include "BoardTest.h"

#include "platform/FileSystem.h"
#include "platform/Socket.h"
#include "sim/LcdFrame.h"
#include "sim/LcdImageFiles.h"
#include "sim/TpTFTBitmap.h"
#include "sim/TpTFTBitmapStream.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kColourA = 0x102030;
constexpr uint32_t kColourB = 0xC0B0A0;

class LcdImageStream : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        listener = Socket::Listen("127.0.0.1", 0);
        ASSERT_TRUE(listener.IsValid());
        port = listener.LocalPort();
    }

    // Reads until the server closes the connection.
    static std::string ReceiveAll(Socket& client)
    {
        std::string bytes;
        char buffer[4096];
        for (;;) {
            long n = client.Recv(buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        return bytes;
    }

    // The whole picture in one colour, drawn in one go.
    static void DrawWhole(uint32_t colour)
    {
        SimLcdFrame().Draw([colour](uint32_t* pixels) {
            for (int i = 0; i < kLcdPixels; ++i)
                pixels[i] = colour;
        });
    }

    static std::string Encoded(uint32_t colour)
    {
        return TpTFTBitmap::Encode(std::vector<uint32_t>(kLcdPixels, colour), kLcdWidth, kLcdHeight);
    }

    // One client served by SendLcdImage; the bytes it received.
    std::string SendToOneClient()
    {
        std::string received;
        std::thread client([&] {
            Socket s = Socket::Connect("127.0.0.1", port);
            received = ReceiveAll(s);
        });
        {
            Socket server = listener.Accept();
            EXPECT_TRUE(server.IsValid());
            EXPECT_TRUE(SendLcdImage(server));
        }
        client.join();
        return received;
    }

    static int CountOf(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++n;
        return n;
    }

    Socket listener;
    uint16_t port = 0;
};

} // namespace

TEST_F(LcdImageStream, ClientReceivesTheImageIn64KiBPieces)
{
    DrawWhole(kColourA);
    const std::string received = SendToOneClient();
    EXPECT_EQ(received, Encoded(kColourA));
    const std::string text = debug->Text();
    EXPECT_EQ(CountOf(text, "\nSave Lcd Send n = 65536\n"), 5);
    EXPECT_EQ(CountOf(text, "\nSave Lcd Send n = 64054\n"), 1);
    EXPECT_EQ(CountOf(text, "\nSave Lcd Send n = "), 6);

    std::string file;
    ASSERT_TRUE(ReadWholeFile(LcdImagePath(), file));
    EXPECT_EQ(file, received);
}

TEST_F(LcdImageStream, FiveClientsAndAScreenDumpEachGetAWholePicture)
{
    constexpr int kClients = 5;
    DrawWhole(kColourA);
    std::vector<std::string> received(kClients);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i)
        clients.emplace_back([&, i] {
            Socket s = Socket::Connect("127.0.0.1", port);
            received[static_cast<size_t>(i)] = ReceiveAll(s);
        });

    std::vector<Socket> servers;
    for (int i = 0; i < kClients; ++i) {
        servers.push_back(listener.Accept());
        ASSERT_TRUE(servers.back().IsValid());
    }

    // The application thread keeps redrawing while the images go out.
    std::atomic<bool> stop {false};
    std::thread drawer([&] {
        for (int n = 0; !stop.load(); ++n)
            DrawWhole(n % 2 == 0 ? kColourB : kColourA);
    });
    std::atomic<int> sentOk {0};
    std::vector<std::thread> senders;
    for (int i = 0; i < kClients; ++i)
        senders.emplace_back([&, i] {
            if (SendLcdImage(servers[static_cast<size_t>(i)]))
                ++sentOk;
            servers[static_cast<size_t>(i)].Close();
        });
    std::string dumpName;
    std::thread dumper([&] { dumpName = ScreenDump(); });

    for (std::thread& t : senders)
        t.join();
    dumper.join();
    stop.store(true);
    drawer.join();
    for (std::thread& t : clients)
        t.join();

    EXPECT_EQ(sentOk.load(), kClients);
    const std::string a = Encoded(kColourA);
    const std::string b = Encoded(kColourB);
    for (const std::string& image : received) {
        ASSERT_EQ(image.size(), 391734u);
        EXPECT_TRUE(image == a || image == b) << "an image mixes two pictures";
    }
    ASSERT_EQ(dumpName, "scrndump0.bmp");
    std::string dump;
    ASSERT_TRUE(ReadWholeFile(ScreenDumpFolder() + "/" + dumpName, dump));
    EXPECT_TRUE(dump == a || dump == b);
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(LcdImagePath(), saved));
    EXPECT_TRUE(saved == a || saved == b) << "the saved file is one whole picture";
}

TEST_F(LcdImageStream, ClientGetsTheImageWhenTheFileCannotBeWrittenButNotOnABrokenConnection)
{
    // A file where the Documents folder should be: no data folder can exist.
    WriteText(Home() + "/Documents", "not a folder");
    DrawWhole(kColourB);
    EXPECT_EQ(SendToOneClient(), Encoded(kColourB));
    EXPECT_TRUE(debug->Contains("ERROR: Couldn't write LCD image"));

    // A connection already shut down is reported, and nothing is sent.
    debug->Clear();
    Socket client = Socket::Connect("127.0.0.1", port);
    Socket server = listener.Accept();
    ASSERT_TRUE(server.IsValid());
    server.Shutdown();
    EXPECT_FALSE(TpTFTBitmapStream(server).SendLcd());
    EXPECT_FALSE(debug->Contains("Save Lcd Send"));
}

TEST_F(LcdImageStream, ImageFileChangedBehindTheServerIsWrittenAgain)
{
    DrawWhole(kColourA);
    const std::string image = SendToOneClient();
    std::string file;
    // Replaced, then removed: the next fetch of the same picture puts it back.
    ASSERT_TRUE(WriteFileAtomic(LcdImagePath(), "other"));
    EXPECT_EQ(SendToOneClient(), image);
    ASSERT_TRUE(ReadWholeFile(LcdImagePath(), file));
    EXPECT_EQ(file, image);
    ASSERT_TRUE(DeleteFile(LcdImagePath()));
    EXPECT_EQ(SendToOneClient(), image);
    ASSERT_TRUE(ReadWholeFile(LcdImagePath(), file));
    EXPECT_EQ(file, image);
}
