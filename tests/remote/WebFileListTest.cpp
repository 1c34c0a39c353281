// The index pages of files and folders, built a few entries per step.
#include "WebPageExpectations.h"
#include "RemoteTest.h"

#include "platform/FileSystem.h"
#include "remote/web/TpWebDirList.h"
#include "remote/web/TpWebFileList.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::time_t kWhen = 1700000000;
constexpr const char* kWhenText = "2023-11-14 22:13:20";
const std::string kHead = web_page::IndexHead("T", "H", "<div>I</div>");
const std::string kNoFiles = "<div>No files</div>\n";
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

    // Lists pattern into index; the results of every Step to the end.
    static std::vector<bool> Build(TpWebFileList& list, const std::string& index)
    {
        std::vector<bool> results;
        if (!list.Begin(index, "T", "H", "<div>I</div>", "No files"))
            return results;
        for (int i = 0; i < 1000 && (results.empty() || results.back()); ++i)
            results.push_back(list.Step());
        return results;
    }
    static std::vector<bool> Build(const std::string& pattern, const std::string& index)
    {
        TpWebFileList list(pattern);
        return Build(list, index);
    }
};

TEST_F(WebFileListTest, EmptyOrMissingFoldersGiveTheEmptyText)
{
    ASSERT_TRUE(MakeFolder("shots"));
    EXPECT_EQ(Build("shots/*.bmp", "shots/index.html"), std::vector<bool>{false});
    EXPECT_EQ(ReadText("shots/index.html"), kHead + kNoFiles + kFooter);
    EXPECT_EQ(Build("nosuch/*.bmp", "missing.html"), std::vector<bool>{false});
    EXPECT_EQ(ReadText("missing.html"), kHead + kNoFiles + kFooter);

    // All rows at once: every file, without description.
    MakeFile("shots/b.bmp");
    MakeFile("shots/a.bmp");
    TpWebFileList all("shots/*.bmp");
    ASSERT_TRUE(all.Begin("all.html", "T", "H", "<div>I</div>", "No files"));
    EXPECT_TRUE(all.WriteAllRows());
    all.Finish();
    EXPECT_EQ(ReadText("all.html"), kHead + BmpRow("a.bmp", "") + BmpRow("b.bmp", "") + kFooter);
    TpWebFileList none("shots/*.gif");
    ASSERT_TRUE(none.Begin("none.html", "T", "H", "<div>I</div>", "No files"));
    EXPECT_FALSE(none.WriteAllRows());
    none.Finish();
    EXPECT_EQ(ReadText("none.html"), kHead + kNoFiles + kFooter);
}

TEST_F(WebFileListTest, BmpRowsOpenThroughShowBmpOthersArePlainLinksAndNamesAreEscaped)
{
    ASSERT_TRUE(MakeFolder("shots"));
    MakeFile("shots/b.bmp", kWhen + 60);
    MakeFile("shots/a.bmp");
    MakeFile("shots/c.txt");
    MakeFile("shots/d.bmpx");
    MakeFile("shots/scr1.png");
    MakeFile("shots/other.png");
    MakeFile("shots/scr3.bmp");
    ASSERT_TRUE(MakeFolder("shots/e.bmp"));
    EXPECT_EQ(Build("shots/*.bmp", "bmp.html"), (std::vector<bool>{true, false}));
    EXPECT_EQ(ReadText("bmp.html"), kHead + BmpRow("a.bmp", kWhenText) + BmpRow("b.bmp", "2023-11-14 22:14:20") +
                                        BmpRow("scr3.bmp", kWhenText) + kFooter);
    Build("shots/scr*.png", "png.html");
    EXPECT_EQ(ReadText("png.html"), kHead + PlainRow("scr1.png", kWhenText) + kFooter);

    ASSERT_TRUE(MakeFolder("odd"));
    MakeFile("odd/a'<b>&\".bmp");
    Build("odd/*.bmp", "odd.html");
    EXPECT_EQ(ReadText("odd.html"),
              kHead + "<tr><td><div><a href=\"javascript:ShowBmp('a\\&#39;&lt;b&gt;&amp;&quot;.bmp')\">"
                      "a&#39;&lt;b&gt;&amp;&quot;.bmp</a></div></td><td><div>" + kWhenText + "</div></td></tr>\n" +
                  kFooter);
    Build("odd/*", "plain.html");
    EXPECT_EQ(ReadText("plain.html"), kHead + PlainRow("a&#39;&lt;b&gt;&amp;&quot;.bmp", kWhenText) + kFooter);
}

TEST_F(WebFileListTest, StepsReadAHundredEntriesThenWriteTenRows)
{
    for (int count : {10, 11, 100, 101}) {
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
        std::vector<bool> expected((count + 99) / 100 + (count + 9) / 10, true);
        expected.back() = false;
        EXPECT_EQ(Build(folder + "/*.bmp", folder + ".html"), expected);
        EXPECT_EQ(ReadText(folder + ".html"), kHead + rows + kFooter);
    }
}

TEST_F(WebFileListTest, ThePageAppearsOnlyWhenFinishedOrNotAtAll)
{
    ASSERT_TRUE(MakeFolder("shots"));
    for (int i = 0; i < 30; ++i)
        MakeFile("shots/s" + std::to_string(i) + ".bmp");
    WriteText("shots/index.html", "old page");
    TpWebFileList list("shots/*.bmp");
    ASSERT_TRUE(list.Begin("shots/index.html", "T", "H", "I", "No files"));
    EXPECT_TRUE(list.Step());
    EXPECT_TRUE(list.Step());
    EXPECT_EQ(ReadText("shots/index.html"), "old page");
    EXPECT_TRUE(list.Step());
    EXPECT_FALSE(list.Step());
    EXPECT_NE(ReadText("shots/index.html"), "old page");

    // A page given up half-way leaves no file, not even a temporary one.
    {
        TpWebFileList dropped("shots/*.bmp");
        ASSERT_TRUE(dropped.Begin("shots/second.html", "T", "H", "I", "No files"));
        EXPECT_TRUE(dropped.Step());
    }
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory("shots", "*.html*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "index.html");

    TpWebFileList uncreatable("shots/*.bmp");
    EXPECT_FALSE(uncreatable.Begin("nofolder/index.html", "T", "H", "I", "No files"));
    EXPECT_TRUE(debug->Contains("Couldn't create report index: nofolder/index.html\n"));
    EXPECT_FALSE(uncreatable.Step());
    uncreatable.Finish();
    EXPECT_FALSE(RemoteTest::Exists("nofolder"));
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
    TpWebDirList dirs("reports/*");
    ASSERT_TRUE(dirs.Begin("reports/index.html", "Zu Report Index", "Zu Report Files available:",
                           "<div>intro</div>", "No files"));
    EXPECT_TRUE(dirs.Step());
    EXPECT_FALSE(dirs.Step());
    EXPECT_EQ(ReadText("reports/index.html"),
              web_page::IndexHead("Zu Report Index", "Zu Report Files available:", "<div>intro</div>") +
                  PlainRow("S-1", kWhenText) + PlainRow("S-2", "2023-11-14 23:13:20") + kFooter);
}

} // namespace
