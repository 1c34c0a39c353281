// The analyser: the levels handed on, and the periodic update.
#include "analysis/TpAnalyser.h"

#include "core/store/TpStore.h"
#include "support/ZuTest.h"

using Analyser = ZuTest;

TEST_F(Analyser, RefusesUnknownChannelsAndUpdatesEvery200ms)
{
    TpStore store;
    {
        TpAnalyser analyser;
        EXPECT_EQ(TpAnalyser::Instance(), &analyser);
        analyser.SetLevel(15, 0.5, 0x101);
        EXPECT_EQ(analyser.Meters().GetDest(15).flags, 0x101u);
        EXPECT_EQ(analyser.Phones().GetDest(15).flags, 0x101u);
        analyser.SetLevel(16, 1.0, 7);
        EXPECT_TRUE(debug->Contains("ERROR: Invalid Dest 16"));
        EXPECT_EQ(analyser.Meters().GetDest(16).flags, 0u);
        EXPECT_FALSE(analyser.IsIpModule()) << "no module seen yet";

        ASSERT_NE(store.FindTask(&analyser), nullptr);
        for (int i = 0; i < 9; ++i)
            store.Tick();
        EXPECT_EQ(analyser.UpdateCount(), 0u);
        store.Tick();
        EXPECT_EQ(analyser.UpdateCount(), 1u);
    }
    EXPECT_EQ(store.TaskCount(), 0) << "the task goes with the analyser";
    EXPECT_EQ(TpAnalyser::Instance(), nullptr);
}
