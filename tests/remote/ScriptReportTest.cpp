// Script reports: the report body, the run's report folder, the report page
// made from a template, the reports index with each report's result, the
// screen-dump index and the report dialog's rename and number reset.
#include "ScriptsTest.h"
#include "WebPageExpectations.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "core/text/LocalTime.h"
#include "sim/LcdImageFiles.h"

#include <filesystem>

namespace {

constexpr std::time_t kWhen = 1700000000;
const std::string kFooter = "</table>\n</body></html>\n";

std::string Reports()
{
    return Paths::ReportsFolder();
}

// The template the program ships, put where the host puts it at start-up.
void InstallDefaultTemplate()
{
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/report_template.html", bytes));
    ASSERT_TRUE(WriteFileAtomic(Reports() + "/report_template.html", bytes));
}

// The reports index with these rows.
std::string ReportIndex(const std::string& rows)
{
    return web_page::IndexHead("Zu Report Index", "Zu Report Files available:",
                               "<div>Files available for FTP download under 'reports' directory</div>\n"
                               "<div>Press F5 to refresh directory</div>") +
           rows + kFooter;
}

std::string ReportRow(const std::string& name, const std::string& result)
{
    return "<tr><td><div><a href='" + name + "'>" + name + "</a></div></td><td><div>" +
           FormatLocalTimeAt(kWhen, "%Y-%m-%d %H:%M:%S", 40) + "</div></td><td><div>" + result + "</div></td></tr>\n";
}

// Runs the reports index to its end (it writes a piece per call).
void BuildReportIndex(TpScripts& page)
{
    for (int i = 0; i < 100; ++i)
        page.StepReportIndex();
}

} // namespace

TEST_F(ScriptsTest, ReportPiecesAreKeptOnlyWithReportingOn)
{
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    page->AddReportSection("Tab Selected=Picture");
    page->AddReportLine(145, nullptr);
    page->AddReportLine(145, "7");
    page->AddReportCount(148, 3);
    page->AppendReport("wrapped", true);
    page->AppendReport("<table></table>", false);
    page->AddReportResult("OK", true);
    page->AddReportResult("<IMG src=\"x.bmp\">", false);
    for (uint32_t seconds : {0, 59, 60, 359, 360, 600})
        page->AddReportStepHeading(148, seconds);
    const std::string heading = "<HR style=\"clear:both\"><div class=\"Section\">Loops Completed";
    EXPECT_EQ(page->ReportText(),
              "<HR style=\"clear:both\"><div class=\"Section\">Tab Selected=Picture</div>\n"
              "<div>Total Errors</div>\n<div>Total Errors 7</div>\n<div>Loops Completed 3</div>\n"
              "<div>wrapped</div>\n<table></table><div>OK</div>\n<IMG src=\"x.bmp\">" +
                  heading + "</div>\n" + heading + " : 59s</div>\n" + heading + " : 1.0 mins</div>\n" + heading +
                  " : 6.0 mins</div>\n" + heading + " : 0.10 hours</div>\n" + heading + " : 0.17 hours</div>\n");
    // With reporting off only the plain append still adds.
    const std::string before = page->ReportText();
    Set(COM_SCRIPTS_MAKE_REPORT, 0);
    page->AddReportSection("s");
    page->AddReportLine(145, "1");
    page->AddReportCount(145, 1);
    page->AddReportResult("r", true);
    page->AddReportStepHeading(148, 120);
    page->AppendReport("kept", true);
    EXPECT_EQ(page->ReportText(), before + "<div>kept</div>\n");
    // A new run folder starts an empty report.
    SetText(COM_SCRIPTS_REPORT_NAME, "Run");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportText(), "");
}

TEST_F(ScriptsTest, ReportFoldersTakeTheFirstFreeNumberOfASafeName)
{
    SetText(COM_SCRIPTS_REPORT_NAME, "Daily");
    Set(COM_SCRIPTS_REPORT_NUMBER, 7);
    Set(COM_SCRIPTS_RESET_REPORT_NUMBER, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_RESET_REPORT_NUMBER), 0);
    ASSERT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/Daily-1");
    EXPECT_TRUE(FolderExists(Reports() + "/Daily-1"));
    // A file of the next name is in the way as much as a folder is.
    WriteText(Reports() + "/Daily-2", "not a report");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportName(), "Daily-3");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 3);
    // Names that would leave the reports folder, or none, make no folder.
    const auto entries = std::distance(std::filesystem::directory_iterator(Reports()), {});
    for (const char* name : {"a/b", "..\\up", "..", "x..y", "../Daily", ""}) {
        SetText(COM_SCRIPTS_REPORT_NAME, name);
        EXPECT_FALSE(page->CreateRunReportFolder()) << name;
        EXPECT_EQ(page->RunReportFolder(), "") << name;
    }
    EXPECT_TRUE(debug->Contains("Report name refused: "));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Reports()), {}), entries);
    EXPECT_FALSE(Exists(Paths::DataFolder() + "/Daily-3"));
}

TEST_F(ScriptsTest, ReportPageIsMadeFromTheFirstTemplateFound)
{
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    Set(COM_SCRIPTS_LOOPS, 2);
    SetText(COM_SCRIPTS_REPORT_NAME, "T");
    // No template at all: said so, no page, no dialog, no index.
    SetText(COM_SYS_SCREEN_DUMP_FILE, "before");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->WriteReport();
    EXPECT_TRUE(debug->Contains("ERROR: Could NOT find template web page: " + Reports() + "/report_template.html\n"));
    EXPECT_FALSE(Exists(Reports() + "/T-1/index.html"));
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "before");
    BuildReportIndex(*page);
    EXPECT_FALSE(Exists(Reports() + "/index.html"));
    // The shipped template; the dialog names the report; the index lists it.
    InstallDefaultTemplate();
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->AddReportSection("Tab Selected=Picture");
    page->AddReportResult("OK", true);
    page->WriteReport();
    const std::string html = ReadText(Reports() + "/T-2/index.html");
    EXPECT_NE(html.find("<title>Scripting Report: T-2</title>"), std::string::npos) << html;
    EXPECT_NE(html.find("<HR style=\"clear:both\"><div class=\"Section\">Tab Selected=Picture</div>\n<div>OK</div>\n"
                        "<HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n"
                        "<div>Loops Completed 2</div>\n<div>Total Errors 0</div>\n"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("<#"), std::string::npos);
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "T-2");
    EXPECT_TRUE(DialogOpen("Report"));
    // The common template before the shipped one, the script's own first.
    LoadScript("Weekly", "1,LOOP\n1,REPORT\n");
    WriteText(Reports() + "/reports.tpl.html", "common <#REPORTNAME>: <#REPORT>");
    SetText(COM_SCRIPTS_REPORT_NAME, "");
    Set(COM_SCRIPTS_REPORT_NUMBER, 1);
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportName(), "Weekly-1");
    page->WriteReport();
    EXPECT_EQ(ReadText(Reports() + "/Weekly-1/index.html"),
              "common Weekly-1: <HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n"
              "<div>Loops Completed 2</div>\n<div>Total Errors 0</div>\n");
    for (const char* name : {"Weekly.tpl.htm", "Weekly.tpl.html"}) {
        WriteText(Reports() + "/" + name, name + std::string(" <#REPORTNAME>"));
        ASSERT_TRUE(page->CreateRunReportFolder());
        page->WriteReport();
        EXPECT_EQ(ReadText(page->RunReportFolder() + "/index.html"), name + (" " + page->ReportName()));
    }
    // A page that cannot be written: said so, no new dialog, no index pass.
    CloseDialog(page->ReportDialog());
    BuildReportIndex(*page);
    ASSERT_TRUE(DeleteFile(Reports() + "/index.html"));
    ASSERT_TRUE(page->CreateRunReportFolder());
    std::filesystem::remove(page->RunReportFolder());
    page->WriteReport();
    EXPECT_TRUE(debug->Contains("ERROR: Could NOT create web page: " + Reports() + "/Weekly-4/index.html\n"));
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "Weekly-3");
    BuildReportIndex(*page);
    EXPECT_FALSE(Exists(Reports() + "/index.html"));
}

TEST_F(ScriptsTest, ReportIndexListsEachReportWithItsResult)
{
    // An empty reports folder (templates are files, not reports).
    InstallDefaultTemplate();
    page->MarkReportIndex();
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), ReportIndex("<div>No files</div>\n"));
    const std::pair<const char*, std::string> pages[] = {
        {"Good-1", "<html><body>\n<div>Loops Completed 1</div>\n<div>Total Errors 0</div>\n</body></html>\n"},
        {"Bad-1", "<html><body>\n<div>Loops Completed 1</div>\n<div>Total Errors 1</div>\n</body></html>\n"},
        {"Ten-1", "<div>Total Errors 10</div>\n"},
        // A long report: only its end is read.
        {"Long-1", std::string(5000, 'x') + "\n<div>Total Errors 0</div>\n" + std::string(600, 'y') + "\n"},
        {"A&B-1", "<div>Total Errors 0</div>\n"},
    };
    for (const auto& [folder, html] : pages) {
        ASSERT_TRUE(MakeFolder(Reports() + "/" + folder));
        WriteText(Reports() + "/" + folder + "/index.html", html);
        SetModified(Reports() + "/" + folder, kWhen);
    }
    // A run stopped before its page was written.
    ASSERT_TRUE(MakeFolder(Reports() + "/Empty-1"));
    SetModified(Reports() + "/Empty-1", kWhen);
    // Nothing is written until the index is due.
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), ReportIndex("<div>No files</div>\n"));
    page->MarkReportIndex();
    BuildReportIndex(*page);
    const std::string rows = ReportRow("A&amp;B-1", "OK") + ReportRow("Bad-1", "FAIL") + ReportRow("Empty-1", "FAIL") + ReportRow("Good-1", "OK") +
                             ReportRow("Long-1", "OK") + ReportRow("Ten-1", "FAIL");
    EXPECT_EQ(ReadText(Reports() + "/index.html"), ReportIndex(rows));
    // Marked again while a pass is under way: the pass starts over.
    page->MarkReportIndex();
    page->StepReportIndex();
    ASSERT_TRUE(MakeFolder(Reports() + "/R-200"));
    page->MarkReportIndex();
    BuildReportIndex(*page);
    EXPECT_NE(ReadText(Reports() + "/index.html").find(">R-200<"), std::string::npos);
}

TEST_F(ScriptsTest, ReportFoldersAndScreenDumpIndexAtStart)
{
    std::filesystem::remove_all(Paths::ScriptsFolder());
    std::filesystem::remove_all(Reports());
    debug->Clear();
    page->CheckLogo();
    EXPECT_TRUE(FolderExists(Paths::ScriptsFolder()));
    EXPECT_TRUE(FolderExists(Reports()));
    EXPECT_EQ(debug->Text(), "Copying default logo\n");
    WriteText(Reports() + "/logo.jpg", "jpeg");
    debug->Clear();
    page->CheckLogo();
    EXPECT_FALSE(debug->Contains("Copying default logo"));
    // The screen-dump index is made with its folder; it lists the images.
    const std::string folder = ScreenDumpFolder();
    debug->Clear();
    MakeScreendumpIndex();
    EXPECT_EQ(debug->Text(), "\nGenerating list of screendumps...\n...Done\n");
    for (const char* name : {"scrndump0.bmp", "notes.txt"}) {
        WriteText(folder + "/" + name, "BM");
        SetModified(folder + "/" + name, kWhen);
    }
    MakeScreendumpIndex();
    EXPECT_EQ(ReadText(folder + "/index.html"),
              web_page::IndexHead("Zu Screen-Dump Index", "Zu Screen-Dumps available:",
                                  "<div>Files available for FTP download under 'screendumps' directory</div>\n"
                                  "<div>Press F5 to refresh directory</div>") +
                  "<tr><td><div><a href=\"javascript:ShowBmp('scrndump0.bmp')\">scrndump0.bmp</a></div></td><td><div>" +
                  FormatLocalTimeAt(kWhen, "%Y-%m-%d %H:%M:%S", 40) + "</div></td></tr>\n" + kFooter);
}

TEST_F(ScriptsTest, ReportFolderIsRenamedFromTheReportDialog)
{
    InstallDefaultTemplate();
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "Old");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->WriteReport();
    ASSERT_TRUE(DialogOpen("Report"));
    BuildReportIndex(*page);
    SetText(COM_SCRIPTS_REPORT_NAME, "New");
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    ASSERT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0);
    EXPECT_FALSE(Exists(Reports() + "/Old-1"));
    EXPECT_TRUE(Exists(Reports() + "/New-1/index.html"));
    EXPECT_EQ(page->ReportName(), "New-1");
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(page->ReportDialog(), nullptr);
    SetModified(Reports() + "/New-1", kWhen);
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), ReportIndex(ReportRow("New-1", "OK")));
    // The moved folder can be renamed again, here with another number.
    SetText(COM_SCRIPTS_REPORT_NAME, "Newer");
    Set(COM_SCRIPTS_REPORT_NUMBER, 5);
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/Newer-5");
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
    // Refused names, or an existing folder even when empty: the folder
    // stays and the dialog stays up.
    page->WriteReport();
    ASSERT_TRUE(MakeFolder(Reports() + "/Taken-5"));
    for (const char* name : {"", "a/b", "a\\b", "..", "../../Escaped", "Taken"}) {
        SetText(COM_SCRIPTS_REPORT_NAME, name);
        Set(COM_SCRIPTS_RENAME_REPORT, 1);
        EXPECT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0) << name;
        EXPECT_EQ(page->RunReportFolder(), Reports() + "/Newer-5") << name;
        EXPECT_TRUE(DialogOpen("Report")) << name;
    }
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
    EXPECT_FALSE(Exists(Reports() + "/../../Escaped-5"));
    EXPECT_FALSE(Exists(Reports() + "/Taken-5/index.html"));
    EXPECT_TRUE(debug->Contains("Report folder already exists: " + Reports() + "/Taken-5"));
}
