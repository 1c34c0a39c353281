#include "platform/FileSystem.h"
#include "resources/ZuResources.h"
#include "support/ZuTest.h"

namespace {

using ResourcesTest = ZuTest;

TEST_F(ResourcesTest, ShipsTheApiHeaderAndTheReportTemplateCopiedOnlyWhenMissing)
{
    std::string tpl, onDisk, none;
    EXPECT_FALSE(ReadResource(":/missing.txt", none));
    ASSERT_TRUE(ReadResource(":/report_template.html", tpl));
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/report_template.html", onDisk));
    EXPECT_EQ(tpl, onDisk);

    ASSERT_TRUE(CopyResourceIfMissing(":/report_template.html", "report_template.html"));
    EXPECT_EQ(ReadText("report_template.html"), tpl);
    WriteText("report_template.html", "edited by the user");
    ASSERT_TRUE(CopyResourceIfMissing(":/report_template.html", "report_template.html"));
    EXPECT_EQ(ReadText("report_template.html"), "edited by the user");
    EXPECT_FALSE(CopyResourceIfMissing(":/missing.txt", "x.txt"));
}

} // namespace
