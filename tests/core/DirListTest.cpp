// Folder listings: sorted names without the extension, files or folders only, read in steps; change times.
#include "KrZuApi.h"
#include "core/files/FileHelpers.h"
#include "core/commands/TpDirList.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "platform/FileSystem.h"
#include "support/ZuTest.h"

namespace {

class DirListTest : public ZuTest {
protected:
    void SetUp() override
    {
        ZuTest::SetUp();
        ASSERT_TRUE(MakeFolder("scripts"));
        for (const char* name : {"zeta.cmd", "Alpha.cmd", "beta.cmd", "readme.txt", "beta.cmd.bak"})
            WriteText(std::string("scripts/") + name, "x");
        ASSERT_TRUE(MakeFolder("scripts/folder.cmd"));
    }
};

TEST_F(DirListTest, ListsSortedFilesOrFoldersWithoutTheExtension)
{
    TpDirList list;
    EXPECT_EQ(list.ListFiles("scripts/*.cmd"), 3);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Alpha", "beta", "zeta"}));

    TpStore store;   // the names fill a list command; the index of the last match is returned
    TpTextListCmd cmd(nullptr, COM_SCRIPTS_CURRENT_SCRIPT, kKeepsValue);
    store.AddItem(COM_SCRIPTS_CURRENT_SCRIPT, "stale");
    EXPECT_EQ(list.FillCommandItems(&cmd, "beta"), 1);
    EXPECT_EQ(cmd.GetItemsText(), "Alpha\tbeta\tzeta");
    EXPECT_EQ(list.FillCommandItems(&cmd, "delta"), -1);
    EXPECT_EQ(list.FillCommandItems(nullptr, "beta"), -1);

    TpDirList steps;   // read in steps: true while more may follow
    ASSERT_TRUE(steps.Open("scripts/*.cmd", false));
    EXPECT_TRUE(steps.ReadEntries(2));
    EXPECT_FALSE(steps.ReadEntries(1));
    EXPECT_FALSE(steps.ReadEntries(10)) << "nothing more after the end";
    EXPECT_EQ(steps.Count(), 3);

    TpDirList dirs;
    ASSERT_TRUE(dirs.Open("scripts/*", true));
    EXPECT_FALSE(dirs.ReadEntries(100));
    EXPECT_EQ(dirs.Names(), (std::vector<std::string>{"folder.cmd"}));

    TpDirList missing;
    EXPECT_EQ(missing.ListFiles("nowhere/*.cmd"), 0);
    EXPECT_FALSE(missing.Open("nowhere/*", false));
    EXPECT_FALSE(missing.ReadEntries(100));
    EXPECT_EQ(missing.Count(), 0);
}

TEST_F(DirListTest, FileExistsAndAMissingPathKeepsItsChangeTime)
{
    EXPECT_EQ(FileExists("scripts/zeta.cmd"), 1);
    EXPECT_EQ(FileExists("scripts/none.cmd"), 0);
    std::time_t stored = 7;
    EXPECT_EQ(FileTimeChanged("missing", stored), 0);
    EXPECT_EQ(stored, 7);
    EXPECT_TRUE(debug->Contains("Couldn't stat 'missing'\n"));
    EXPECT_EQ(FileTimeChanged("scripts", stored), 1);
    EXPECT_EQ(FileTimeChanged("scripts", stored), 0);
}

} // namespace
