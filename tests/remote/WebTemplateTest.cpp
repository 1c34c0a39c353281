// Report pages filled in from templates with <#TOKEN> markers; the clock
// stands at 2023-11-14 22:13:20 UTC.
#include "RemoteTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/web/TpWebTemplate.h"

#include <string>

namespace {

class WebTemplateTest : public RemoteTest {
protected:
    // Expands template text with the given texts; the output file's bytes.
    std::string Expand(const std::string& text, const std::string& name = "S-1",
                       const std::string& user = "Ann", const std::string& body = "<div>OK</div>\n")
    {
        WriteText("in.tpl.html", text);
        TpWebTemplate page(name, user, body);
        EXPECT_TRUE(page.Create("in.tpl.html", "out.html"));
        return ReadText("out.html");
    }
};

TEST_F(WebTemplateTest, DefaultReportTemplateIsFilledIn)
{
    std::string tpl;
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/report_template.html", tpl));
    EXPECT_EQ(Expand(tpl, "Level-3", "Ann", "<div>Script Completed</div>\n"),
              "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
              "<title>Scripting Report: Level-3</title>\n"
              "<link rel=\"stylesheet\" type=\"text/css\" href=\"../../files/style.css\">\n"
              "</head>\n<body>\n<img src=\"../logo.jpg\" alt=\"\">\n"
              "<h1>Scripting Report: Level-3</h1>\n"
              "<p>22.13 - November 14 2023 by Ann</p>\n"
              "<div>Script Completed</div>\n\n"
              "</body>\n</html>\n");
    EXPECT_TRUE(debug->Contains("Creating report: out.html\n using template: in.tpl.html\n"));
}

TEST_F(WebTemplateTest, DateTokenFormatsAndTheirBuffer)
{
    EXPECT_EQ(Expand("x <#DATE format='%Y'> y\n"), "x 2023 y\n");
    EXPECT_EQ(Expand("x <#date format=%Y> y\n"), "x 2023 y\n");
    EXPECT_EQ(Expand("x <#Date format=\"%d/%m\">y\n"), "x 14/11y\n");
    EXPECT_EQ(Expand("<#DATE>\n"), "November 14 2023 - 22.13\n");
    EXPECT_EQ(Expand("<#DATE format=''>\n"), "November 14 2023 - 22.13\n");
    // 39 characters fit the 40-byte buffer; 40 write nothing.
    const std::string fits = "%Y" + std::string(35, 'x');
    EXPECT_EQ(Expand("[<#DATE format='" + fits + "' before='<'>]\n"), "[<2023" + std::string(35, 'x') + "]\n");
    EXPECT_EQ(Expand("[<#DATE format='" + fits + "x' before='<' after='>'>]\n"), "[]\n");
    clock.SetWallSeconds(1700000000 + 3600 * 24 * 50);
    EXPECT_EQ(Expand("<#DATE format='%B %d'>\n"), "January 03\n");
}

TEST_F(WebTemplateTest, TextTokensWithBeforeAndAfterAndTokensThatWriteNothing)
{
    EXPECT_EQ(Expand("<#REPORTNAME>|<#USER before=' by ' after=\"!\">|<#REPORT>", "R-2", "Bob", "body"),
              "R-2| by Bob!|body");
    EXPECT_EQ(Expand("a<#USER before=' by ' after='!'>b\n", "R", ""), "ab\n");
    EXPECT_EQ(Expand("a<#report before=[ after=]>b\n", "R", "u", ""), "ab\n");
    EXPECT_EQ(Expand("<#REPORT before='%s'>\n", "R", "u", "50%d"), "%s50%d\n") << "per-cent signs as they stand";
    EXPECT_EQ(Expand("a<#FOO p=1>b<#>c\n"), "abc\n");
    EXPECT_EQ(Expand("100%s done %d <b>#<\n"), "100%s done %d <b>#<\n");
    EXPECT_EQ(Expand("crlf<#USER>\r\nnext\r\n"), "crlfAnn\r\nnext\r\n");
    EXPECT_EQ(Expand("a<#USER before=x\nb\n"), "axAnnb\n") << "a token left open ends with its line";
}

TEST_F(WebTemplateTest, FaultyParametersWriteTheirMessageAndEndTheLine)
{
    EXPECT_EQ(Expand("a<#USER before>rest\nnext\n"), "aNo '=' after parameter before for token USER\nnext\n");
    EXPECT_EQ(Expand("a<#USER after='x' before rest>tail\n"), "aNo '=' after parameter before rest for token USER\n");
    EXPECT_EQ(Expand("a<#USER before='x>tail\nnext\n"),
              "aUnterminated quote for parameter before for token: USER\nnext\n");
    EXPECT_EQ(Expand("<#DATE format=\"%Y'>\n"), "Unterminated quote for parameter format for token: DATE\n");
}

TEST_F(WebTemplateTest, LongLinesAreHandledInChunksOf999)
{
    // A token cut by the chunk boundary ends with the first chunk ("<#US" is
    // an unknown token); the rest of it is copied as text.
    std::string head(995, 'a');
    std::string line = head + "<#USER>" + std::string(200, 'b') + "<#USER>" + std::string(298, 'c') + "\n";
    EXPECT_EQ(Expand(line), head + "ER>" + std::string(200, 'b') + "Ann" + std::string(298, 'c') + "\n");
    // A line of exactly 999 characters plus its line break.
    EXPECT_EQ(Expand(std::string(992, 'd') + "<#USER>\n<#USER>\n"), std::string(992, 'd') + "Ann\nAnn\n");
}

TEST_F(WebTemplateTest, MissingTemplateOrUncreatableOutputFailsAndInstrumentPathsAreMapped)
{
    TpWebTemplate page("R", "u", "b");
    EXPECT_FALSE(page.Create("nosuch.tpl.html", "out.html"));
    EXPECT_FALSE(RemoteTest::Exists("out.html"));
    WriteText("in.tpl.html", "<#USER>\n");
    EXPECT_FALSE(page.Create("in.tpl.html", "nofolder/out.html"));
    EXPECT_FALSE(RemoteTest::Exists("nofolder"));
    WriteText("out.html", "old");
    EXPECT_TRUE(page.Create("in.tpl.html", "out.html"));
    EXPECT_EQ(ReadText("out.html"), "u\n");

    ASSERT_TRUE(Paths::MakeDataFolders());
    WriteText(Paths::InstrumentFolder() + "/t.html", "<#REPORTNAME>");
    EXPECT_TRUE(page.Create("/mnt/mmc/t.html", "/mnt/mmc/r.html"));
    EXPECT_EQ(ReadText(Paths::InstrumentFolder() + "/r.html"), "R");
}

} // namespace
