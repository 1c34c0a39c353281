#include "WebPageExpectations.h"
#include "RemoteTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/TpWebDirList.h"
#include "remote/TpWebFileList.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::time_t kWhen = 1700000000; // 2023-11-14 22:13:20 UTC
constexpr const char* kWhenText = "2023-11-14 22:13:20";

const std::string kFooter = "</table>\n</body></html>\n";

std::string BmpRow(const std::string& name, const std::string& description)
{
    return "<tr><td><div><a href=\"javascript:ShowBmp('" + name + "')\">" + name + "</a></div></td><td><div>" +
           description + "</div></td></tr>\n";
}

std::string PlainRow(const std::string& name, const std::string& description)
{
    return "<tr><td><div><a href='" + name + "'>" + name + "</a></div></td><td><div>" + description +
           "</div></td></tr>\n";
}

class WebFileListTest : public RemoteTest {
protected:
    void MakeFile(const std::string& path, std::time_t when = kWhen)
    {
        WriteText(path, "x");
        SetModified(path, when);
    }

    bool Begin(TpWebFileList& list, const std::string& index = "shots/index.html")
    {
        return list.Begin(index, "T", "H", "<div>I</div>", "No files");
    }

    // Runs Step to the end; the results of every call.
    static std::vector<bool> RunSteps(TpWebFileList& list)
    {
        std::vector<bool> results;
        for (int i = 0; i < 1000; ++i) {
            results.push_back(list.Step());
            if (!results.back())
                break;
        }
        return results;
    }
};

TEST_F(WebFileListTest, EmptyOrMissingFolderGivesTheEmptyText)
{
    ASSERT_TRUE(MakeFolder("shots"));
    TpWebFileList list("shots/*.bmp");
    ASSERT_TRUE(Begin(list));
    EXPECT_FALSE(list.Step());
    EXPECT_EQ(ReadText("shots/index.html"), web_page::IndexHead("T", "H", "<div>I</div>") + "<div>No files</div>\n" + kFooter);
    EXPECT_FALSE(list.Step());

    TpWebFileList missing("nosuch/*.bmp");
    ASSERT_TRUE(Begin(missing, "missing.html"));
    EXPECT_EQ(RunSteps(missing), std::vector<bool>{false});
    EXPECT_EQ(ReadText("missing.html"), web_page::IndexHead("T", "H", "<div>I</div>") + "<div>No files</div>\n" + kFooter);
}

TEST_F(WebFileListTest, BmpPatternRowsOpenTheImageThroughShowBmp)
{
    ASSERT_TRUE(MakeFolder("shots"));
    MakeFile("shots/b.bmp", kWhen + 60);
    MakeFile("shots/a.bmp");
    MakeFile("shots/c.txt");
    MakeFile("shots/d.bmpx");
    ASSERT_TRUE(MakeFolder("shots/e.bmp"));
    TpWebFileList list("shots/*.bmp");
    ASSERT_TRUE(Begin(list));
    EXPECT_EQ(RunSteps(list), (std::vector<bool>{true, false}));
    EXPECT_EQ(ReadText("shots/index.html"), web_page::IndexHead("T", "H", "<div>I</div>") + BmpRow("a.bmp", kWhenText) +
                                                BmpRow("b.bmp", "2023-11-14 22:14:20") + kFooter);
}

TEST_F(WebFileListTest, OtherExtensionsAndPrefixesGivePlainLinks)
{
    ASSERT_TRUE(MakeFolder("shots"));
    MakeFile("shots/scr1.png");
    MakeFile("shots/scr2.png");
    MakeFile("shots/other.png");
    MakeFile("shots/scr3.bmp");
    TpWebFileList list("shots/scr*.png");
    ASSERT_TRUE(Begin(list, "index.html"));
    RunSteps(list);
    EXPECT_EQ(ReadText("index.html"),
              web_page::IndexHead("T", "H", "<div>I</div>") + PlainRow("scr1.png", kWhenText) + PlainRow("scr2.png", kWhenText) +
                  kFooter);
}

TEST_F(WebFileListTest, StepsReadAHundredEntriesThenWriteTenRows)
{
    for (int count : {0, 1, 10, 11, 99, 100, 101, 250}) {
        SCOPED_TRACE(count);
        const std::string folder = "n" + std::to_string(count);
        ASSERT_TRUE(MakeFolder(folder));
        std::string rows;
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "f%03d.bmp", i);
            MakeFile(folder + "/" + name);
            rows += BmpRow(name, kWhenText);
        }
        TpWebFileList list(folder + "/*.bmp");
        ASSERT_TRUE(Begin(list, folder + ".html"));
        const size_t readSteps = count == 0 ? 1 : (count + 99) / 100;
        const size_t writeSteps = (count + 9) / 10;
        std::vector<bool> expected(readSteps + writeSteps, true);
        expected.back() = false;
        EXPECT_EQ(RunSteps(list), expected);
        EXPECT_EQ(ReadText(folder + ".html"), web_page::IndexHead("T", "H", "<div>I</div>") +
                                                  (count == 0 ? "<div>No files</div>\n" : rows) + kFooter);
    }
}

TEST_F(WebFileListTest, PageAppearsOnlyWhenFinished)
{
    ASSERT_TRUE(MakeFolder("shots"));
    for (int i = 0; i < 30; ++i)
        MakeFile("shots/s" + std::to_string(i) + ".bmp");
    WriteText("shots/index.html", "old page");
    TpWebFileList list("shots/*.bmp");
    ASSERT_TRUE(Begin(list));
    EXPECT_TRUE(list.Step());
    EXPECT_TRUE(list.Step());
    EXPECT_EQ(ReadText("shots/index.html"), "old page");
    EXPECT_TRUE(list.Step());
    EXPECT_FALSE(list.Step());
    EXPECT_NE(ReadText("shots/index.html"), "old page");

    // A page given up half-way leaves the old one and no temporary file.
    {
        TpWebFileList dropped("shots/*.bmp");
        ASSERT_TRUE(Begin(dropped, "shots/second.html"));
        EXPECT_TRUE(dropped.Step());
    }
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory("shots", "*.html*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "index.html");
}

TEST_F(WebFileListTest, UncreatableIndexIsReported)
{
    TpWebFileList list("shots/*.bmp");
    EXPECT_FALSE(list.Begin("nofolder/index.html", "T", "H", "I", "No files"));
    EXPECT_TRUE(debug->Contains("Couldn't create report index: nofolder/index.html\n"));
    EXPECT_FALSE(list.Step());
    list.Finish();
    EXPECT_FALSE(RemoteTest::Exists("nofolder"));
}

TEST_F(WebFileListTest, WriteAllRowsListsEveryFileWithoutDescription)
{
    ASSERT_TRUE(MakeFolder("shots"));
    MakeFile("shots/b.bmp");
    MakeFile("shots/a.bmp");
    MakeFile("shots/c.txt");
    TpWebFileList list("shots/*.bmp");
    ASSERT_TRUE(Begin(list));
    EXPECT_TRUE(list.WriteAllRows());
    list.Finish();
    EXPECT_EQ(ReadText("shots/index.html"),
              web_page::IndexHead("T", "H", "<div>I</div>") + BmpRow("a.bmp", "") + BmpRow("b.bmp", "") + kFooter);

    TpWebFileList none("shots/*.gif");
    ASSERT_TRUE(Begin(none, "none.html"));
    EXPECT_FALSE(none.WriteAllRows());
    none.Finish();
    EXPECT_EQ(ReadText("none.html"), web_page::IndexHead("T", "H", "<div>I</div>") + "<div>No files</div>\n" + kFooter);
}

TEST_F(WebFileListTest, DirListHasARowPerSubFolder)
{
    ASSERT_TRUE(MakeFolder("reports"));
    ASSERT_TRUE(MakeFolder("reports/S-2"));
    ASSERT_TRUE(MakeFolder("reports/S-1"));
    MakeFile("reports/S-1/index.html");
    MakeFile("reports/logo.jpg");
    SetModified("reports/S-1", kWhen);
    SetModified("reports/S-2", kWhen + 3600);
    TpWebDirList list("reports/*");
    ASSERT_TRUE(list.Begin("reports/index.html", "Zu Report Index", "Zu Report Files available:",
                           "<div>intro</div>", "No files"));
    EXPECT_EQ(RunSteps(list), (std::vector<bool>{true, false}));
    EXPECT_EQ(ReadText("reports/index.html"),
              web_page::IndexHead("Zu Report Index", "Zu Report Files available:", "<div>intro</div>") +
                  PlainRow("S-1", kWhenText) + PlainRow("S-2", "2023-11-14 23:13:20") + kFooter);
}

TEST_F(WebFileListTest, NamesAreEscapedInRows)
{
    ASSERT_TRUE(MakeFolder("shots"));
    MakeFile("shots/a'<b>&\".bmp");
    TpWebFileList bmp("shots/*.bmp");
    ASSERT_TRUE(Begin(bmp, "bmp.html"));
    RunSteps(bmp);
    EXPECT_EQ(ReadText("bmp.html"),
              web_page::IndexHead("T", "H", "<div>I</div>") +
                  "<tr><td><div><a href=\"javascript:ShowBmp('a\\&#39;&lt;b&gt;&amp;&quot;.bmp')\">"
                  "a&#39;&lt;b&gt;&amp;&quot;.bmp</a></div></td><td><div>" + kWhenText + "</div></td></tr>\n" +
                  kFooter);
    TpWebFileList plain("shots/*");
    ASSERT_TRUE(Begin(plain, "plain.html"));
    RunSteps(plain);
    EXPECT_EQ(ReadText("plain.html"),
              web_page::IndexHead("T", "H", "<div>I</div>") + PlainRow("a&#39;&lt;b&gt;&amp;&quot;.bmp", kWhenText) + kFooter);
}

TEST_F(WebFileListTest, ScreenDumpFolderOfTheInstrumentIsMapped)
{
    ASSERT_TRUE(Paths::MakeDataFolders());
    const std::string folder = Paths::InstrumentFolder() + "/screendumps";
    ASSERT_TRUE(MakeFolder(folder));
    MakeFile(folder + "/main.bmp");
    TpWebFileList list("/mnt/mmc/screendumps/*.bmp");
    ASSERT_TRUE(list.Begin("/mnt/mmc/screendumps/index.html", "Zu Screen-Dump Index", "Zu Screen-Dumps available:",
                           "<div>I</div>", "No files"));
    RunSteps(list);
    EXPECT_EQ(ReadText(folder + "/index.html"),
              web_page::IndexHead("Zu Screen-Dump Index", "Zu Screen-Dumps available:", "<div>I</div>") +
                  BmpRow("main.bmp", kWhenText) + kFooter);
}

} // namespace
