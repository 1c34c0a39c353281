#include "core/FileHelpers.h"
#include "core/TpDirList.h"
#include "platform/FileSystem.h"
#include "support/ZuTest.h"

#include <sys/stat.h>
#include <utime.h>

namespace {

class DirListTest : public ZuTest {
protected:
    void SetUp() override
    {
        ZuTest::SetUp();
        ASSERT_TRUE(MakeFolder("scripts"));
        for (const char* name : {"zeta.cmd", "Alpha.cmd", "beta.cmd", "notes.txt", "beta.cmd.bak"})
            WriteText(std::string("scripts/") + name, "x");
        ASSERT_TRUE(MakeFolder("scripts/folder.cmd"));
    }
};

TEST_F(DirListTest, ListFilesSortsAndDropsTheExtension)
{
    TpDirList list;
    EXPECT_EQ(list.ListFiles("scripts/*.cmd"), 3);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(list.Count(), 3);

    TpDirList prefixed;
    EXPECT_EQ(prefixed.ListFiles("scripts/b*.cmd"), 1);
    EXPECT_EQ(prefixed.Names()[0], "beta");

    TpDirList missing;
    EXPECT_EQ(missing.ListFiles("nowhere/*.cmd"), 0);
    EXPECT_EQ(missing.Count(), 0);
}

TEST_F(DirListTest, StepwiseReadingInBatches)
{
    for (int i = 0; i < 25; ++i)
        WriteText("scripts/dump" + std::to_string(i) + ".bmp", "x");
    TpDirList list;
    ASSERT_TRUE(list.Open("scripts/dump*.bmp", false));
    int calls = 1;
    while (list.ReadEntries(10))
        ++calls;
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(list.Count(), 25);
    EXPECT_EQ(list.Entries().size(), 25u);

    TpDirList exact;
    ASSERT_TRUE(exact.Open("scripts/dump*.bmp", false));
    EXPECT_TRUE(exact.ReadEntries(24));
    EXPECT_FALSE(exact.ReadEntries(1));
    EXPECT_FALSE(exact.ReadEntries(10)) << "nothing more after the end";
    EXPECT_EQ(exact.Count(), 25);
}

TEST_F(DirListTest, FoldersOnlyOrFilesOnly)
{
    TpDirList dirs;
    ASSERT_TRUE(dirs.Open("scripts/*", true));
    EXPECT_FALSE(dirs.ReadEntries(100));
    EXPECT_EQ(dirs.Names(), (std::vector<std::string>{"folder.cmd"}));

    TpDirList files;
    ASSERT_TRUE(files.Open("scripts/*.cmd", false));
    files.ReadEntries(100);
    EXPECT_EQ(files.Count(), 3);

    TpDirList none;
    EXPECT_FALSE(none.Open("nowhere/*", false));
    EXPECT_FALSE(none.ReadEntries(100));
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(DirListTest, FileExistsAndChangeTimes)
{
    EXPECT_EQ(FileExists("scripts/zeta.cmd"), 1);
    EXPECT_EQ(FileExists("scripts/none.cmd"), 0);

    std::time_t stored = 0;
    EXPECT_EQ(FileTimeChanged("scripts", stored), 1);
    EXPECT_NE(stored, 0);
    EXPECT_EQ(FileTimeChanged("scripts", stored), 0);
    // The folder's time moves (as it does when a file is added).
    struct utimbuf times {stored + 5, stored + 5};
    ASSERT_EQ(utime("scripts", &times), 0);
    EXPECT_EQ(FileTimeChanged("scripts", stored), 1);
    EXPECT_EQ(FileTimeChanged("scripts", stored), 0);

    std::time_t before = stored;
    EXPECT_EQ(FileTimeChanged("missing", stored), 0);
    EXPECT_EQ(stored, before);
    EXPECT_TRUE(debug->Contains("Couldn't stat 'missing'\n"));
}

} // namespace
