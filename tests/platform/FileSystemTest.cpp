#include "platform/FileSystem.h"
#include "support/ZuTest.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

using FileSystemTest = ZuTest;

TEST_F(FileSystemTest, ListsEntriesWhoseWholeNameMatches)
{
    // pattern, name, matches
    for (const auto& [pattern, name, matches] :
         {std::tuple{"*.cmd", "test.cmd", true}, {"*.cmd", ".cmd", true}, {"*.cmd", "test.cmd.bak", false},
          {"scrndump*.bmp", "xscrndump12.bmp", false}, {"a?c", "abc", true}, {"a?c", "ac", false},
          {"*a*b*", "xxaYYbzz", true}})
        EXPECT_EQ(WildcardMatch(pattern, name), matches) << pattern << " " << name;

    WriteText("one.cmd", "12345");
    WriteText("two.txt", "x");
    ASSERT_TRUE(MakeFolder("sub.cmd"));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(".", "*.cmd", entries));
    ASSERT_EQ(entries.size(), 2u);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    EXPECT_EQ(entries[0].name, "one.cmd");
    EXPECT_FALSE(entries[0].isDirectory);
    EXPECT_EQ(entries[0].size, 5u);
    EXPECT_GT(entries[0].modified, 0);
    EXPECT_EQ(entries[1].name, "sub.cmd");
    EXPECT_TRUE(entries[1].isDirectory);

    std::vector<DirEntry> none;
    EXPECT_FALSE(ListDirectory("missing", "*", none));
    EXPECT_TRUE(none.empty());
}

TEST_F(FileSystemTest, AtomicWriteReplacesOrKeepsTheOldFile)
{
    ASSERT_TRUE(WriteFileAtomic("data.txt", "first"));
    ASSERT_TRUE(WriteFileAtomic("data.txt", "second"));
    EXPECT_EQ(ReadText("data.txt"), "second");

    // A folder that cannot be written to: the write fails, the file stays.
    ASSERT_TRUE(MakeFolder("locked"));
    ASSERT_TRUE(WriteFileAtomic("locked/data.txt", "old"));
    ASSERT_EQ(chmod("locked", 0500), 0);
    const bool wrote = WriteFileAtomic("locked/data.txt", "new");
    chmod("locked", 0700);
    if (geteuid() != 0) {   // root ignores permissions
        EXPECT_FALSE(wrote);
        EXPECT_EQ(ReadText("locked/data.txt"), "old");
    }
    EXPECT_FALSE(WriteFileAtomic("no/such/folder/file", "x"));

    std::vector<DirEntry> left;
    ASSERT_TRUE(ListDirectory(".", "*.tmp*", left));
    EXPECT_TRUE(left.empty()) << "no temporary files are left behind";
}

} // namespace
