#include "platform/FileSystem.h"
#include "resources/ZuResources.h"
#include "support/ZuTest.h"

namespace {

using ResourcesTest = ZuTest;

TEST_F(ResourcesTest, ShipsTheApiHeaderAndTheReportTemplate)
{
    std::string header;
    ASSERT_TRUE(ReadResource(":/KrZuApi.h", header));
    std::string onDisk;
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/KrZuApi.h", onDisk));
    EXPECT_EQ(header, onDisk);

    std::string tpl;
    ASSERT_TRUE(ReadResource(":/report_template.html", tpl));
    for (const char* token : {"<#REPORTNAME>", "<#REPORT>", "<#USER before=\" by \">",
                              "<#DATE format=\"%H.%M - %B %d %Y\">", "Scripting Report: "})
        EXPECT_NE(tpl.find(token), std::string::npos) << token;

    std::string none;
    EXPECT_FALSE(ReadResource(":/missing.txt", none));
}

TEST_F(ResourcesTest, TemplateIsCopiedOnlyWhenMissing)
{
    ASSERT_TRUE(CopyResourceIfMissing(":/report_template.html", "report_template.html"));
    std::string tpl;
    ASSERT_TRUE(ReadResource(":/report_template.html", tpl));
    EXPECT_EQ(ReadText("report_template.html"), tpl);

    WriteText("report_template.html", "edited by the user");
    ASSERT_TRUE(CopyResourceIfMissing(":/report_template.html", "report_template.html"));
    EXPECT_EQ(ReadText("report_template.html"), "edited by the user");

    EXPECT_FALSE(CopyResourceIfMissing(":/missing.txt", "x.txt"));
}

} // namespace
