// Whether the top window closes on menu key 8 is published for connection
// threads, which read it while the application thread opens and closes windows.
#include "UiTest.h"

#include <atomic>
#include <thread>

namespace {

class TopWindowFlag : public UiTest {};

} // namespace

TEST_F(TopWindowFlag, OtherThreadsReadThePublishedState)
{
    Load("dialog|Main\nlabel|A|0\nend\n"
         "dialog|Popup|closekey\nlabel|B|0\nend\n");
    EXPECT_FALSE(TopWindowClosesOnKey());
    ShowDialog("Main", 1);
    EXPECT_FALSE(TopWindowClosesOnKey());
    TpDialog* popup = ShowDialog("Popup", 1);
    popup->SetClosesOnKey(false);
    EXPECT_FALSE(TopWindowClosesOnKey());
    popup->SetClosesOnKey(true);
    EXPECT_TRUE(TopWindowClosesOnKey());

    std::atomic<bool> stop{false};
    std::atomic<int> seenOpen{0};
    std::thread reader([&] {
        while (!stop.load())
            if (TopWindowClosesOnKey())
                seenOpen.fetch_add(1);
    });
    for (int i = 0; i < 2000; ++i) {
        TpDialog* popup = ShowDialog("Popup", 1);
        EXPECT_TRUE(TopWindowClosesOnKey());
        popup->Close();
        EXPECT_FALSE(TopWindowClosesOnKey());
    }
    ShowDialog("Popup", 1);
    // Bounded wait until the reader has seen the last state at least once.
    for (int i = 0; i < 100000 && seenOpen.load() == 0; ++i)
        std::this_thread::yield();
    stop.store(true);
    reader.join();
    EXPECT_GT(seenOpen.load(), 0);
    list.reset();
    EXPECT_FALSE(TopWindowClosesOnKey()) << "no windows without a dialog list";
}
