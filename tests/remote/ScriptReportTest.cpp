// Script reports: the report body, the run's report folder, the report page
// made from a template, the reports index with each report's result, the
// screen-dump index and the report dialog's rename and number reset.
#include "ScriptsTest.h"
#include "WebPageExpectations.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/LocalTime.h"
#include "sim/LcdImageFiles.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utime.h>

namespace {

constexpr std::time_t kWhen = 1700000000;

std::string Reports()
{
    return Paths::ReportsFolder();
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void SetModified(const std::string& path, std::time_t when)
{
    struct utimbuf times {};
    times.actime = when;
    times.modtime = when;
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

// The template the program ships, put where the host puts it at start-up.
void InstallDefaultTemplate()
{
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/report_template.html", bytes));
    ASSERT_TRUE(WriteFileAtomic(Reports() + "/report_template.html", bytes));
}

const std::string kReportsHead = web_page::IndexHead(
    "Zu Report Index", "Zu Report Files available:",
    "<div>Files available for FTP download under 'reports' directory</div>\n<div>Press F5 to refresh directory</div>");
const std::string kFooter = "</table>\n</body></html>\n";

std::string When()
{
    return FormatLocalTimeAt(kWhen, "%Y-%m-%d %H:%M:%S", 40);
}

std::string ReportRow(const std::string& link, const std::string& text, const std::string& result)
{
    return "<tr><td><div><a href='" + link + "'>" + text + "</a></div></td><td><div>" + When() +
           "</div></td><td><div>" + result + "</div></td></tr>\n";
}

// Runs the reports index to its end (it writes a piece per call).
void BuildReportIndex(TpScripts& page)
{
    for (int i = 0; i < 100; ++i)
        page.StepReportIndex();
}

size_t EntryCount(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

} // namespace

TEST_F(ScriptsTest, ReportStepDurationsUseSecondsMinutesAndHours)
{
    EXPECT_EQ(TpScripts::DurationSuffix(0), "");
    EXPECT_EQ(TpScripts::DurationSuffix(30), " : 30s");
    EXPECT_EQ(TpScripts::DurationSuffix(59), " : 59s");
    EXPECT_EQ(TpScripts::DurationSuffix(60), " : 1.0 mins");
    EXPECT_EQ(TpScripts::DurationSuffix(120), " : 2.0 mins");
    EXPECT_EQ(TpScripts::DurationSuffix(359), " : 6.0 mins");
    EXPECT_EQ(TpScripts::DurationSuffix(360), " : 0.10 hours");
    EXPECT_EQ(TpScripts::DurationSuffix(600), " : 0.17 hours");
    EXPECT_EQ(TpScripts::DurationSuffix(7200), " : 2.00 hours");
}

TEST_F(ScriptsTest, ReportPiecesAreKeptOnlyWithReportingOn)
{
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    page->AddReportSection("Tab Selected=Picture");
    page->AddReportLine(145, nullptr);
    page->AddReportLine(145, "7");
    page->AddReportCount(148, 3);
    page->AddReportCount(145, -2);
    page->AppendReport("wrapped", true);
    page->AppendReport("<table></table>", false);
    page->AddReportResult("OK", true);
    page->AddReportResult("<IMG src=\"x.bmp\">", false);
    page->AddReportStepHeading(148, 30);
    page->AddReportStepHeading(148, 0);
    EXPECT_EQ(page->ReportText(),
              "<HR style=\"clear:both\"><div class=\"Section\">Tab Selected=Picture</div>\n"
              "<div>Total Errors</div>\n"
              "<div>Total Errors 7</div>\n"
              "<div>Loops Completed 3</div>\n"
              "<div>Total Errors -2</div>\n"
              "<div>wrapped</div>\n"
              "<table></table>"
              "<div>OK</div>\n"
              "<IMG src=\"x.bmp\">"
              "<HR style=\"clear:both\"><div class=\"Section\">Loops Completed : 30s</div>\n"
              "<HR style=\"clear:both\"><div class=\"Section\">Loops Completed</div>\n");

    // With reporting off only the plain append still adds.
    const std::string before = page->ReportText();
    Set(COM_SCRIPTS_MAKE_REPORT, 0);
    page->AddReportSection("s");
    page->AddReportLine(145, "1");
    page->AddReportCount(145, 1);
    page->AddReportResult("r", true);
    page->AddReportStepHeading(148, 120);
    EXPECT_EQ(page->ReportText(), before);
    page->AppendReport("kept", true);
    EXPECT_EQ(page->ReportText(), before + "<div>kept</div>\n");

    // A new run folder starts an empty report.
    SetText(COM_SCRIPTS_REPORT_NAME, "Run");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportText(), "");
}

TEST_F(ScriptsTest, ReportFoldersTakeTheFirstFreeNumber)
{
    SetText(COM_SCRIPTS_REPORT_NAME, "Daily");
    ASSERT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);

    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_TRUE(FolderExists(Reports() + "/Daily-1"));
    EXPECT_EQ(page->ReportName(), "Daily-1");
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/Daily-1");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);

    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_TRUE(FolderExists(Reports() + "/Daily-2"));
    EXPECT_EQ(page->ReportName(), "Daily-2");
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/Daily-2");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 2);

    // A file of the next name is in the way as much as a folder is.
    WriteText(Reports() + "/Daily-3", "not a report");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportName(), "Daily-4");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 4);

    // Names that would leave the reports folder make no folder at all.
    const size_t entries = EntryCount(Reports());
    for (const char* name : {"a/b", "..\\up", "..", "x..y", "../Daily"}) {
        SCOPED_TRACE(name);
        SetText(COM_SCRIPTS_REPORT_NAME, name);
        EXPECT_FALSE(page->CreateRunReportFolder());
        EXPECT_EQ(page->ReportName(), "");
        EXPECT_EQ(page->RunReportFolder(), "");
        EXPECT_TRUE(debug->Contains("Report name refused: "));
    }
    // Without a report name and without a script there is no name at all.
    SetText(COM_SCRIPTS_REPORT_NAME, "");
    EXPECT_FALSE(page->CreateRunReportFolder());
    EXPECT_EQ(EntryCount(Reports()), entries);
    EXPECT_FALSE(Exists(Paths::DataFolder() + "/Daily-4"));
}

TEST_F(ScriptsTest, ReportPageIsMadeFromTheDefaultTemplate)
{
    InstallDefaultTemplate();
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    Set(COM_SCRIPTS_LOOPS, 2);
    SetText(COM_SCRIPTS_REPORT_NAME, "Nightly");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->AddReportSection("Tab Selected=Picture");
    page->AddReportResult("OK", true);
    ASSERT_FALSE(DialogOpen("Report"));

    page->WriteReport();
    const std::string html = ReadText(Reports() + "/Nightly-1/index.html");
    EXPECT_NE(html.find("<title>Scripting Report: Nightly-1</title>"), std::string::npos) << html;
    EXPECT_NE(html.find("<h1>Scripting Report: Nightly-1</h1>"), std::string::npos);
    EXPECT_NE(html.find("<HR style=\"clear:both\"><div class=\"Section\">Tab Selected=Picture</div>\n"
                        "<div>OK</div>\n"
                        "<HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n"
                        "<div>Loops Completed 2</div>\n"
                        "<div>Total Errors 0</div>\n"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("<#"), std::string::npos);

    // The dialog names the report it was shown for.
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "Nightly-1");
    EXPECT_TRUE(DialogOpen("Report"));
    EXPECT_NE(page->ReportDialog(), nullptr);

    // The written report is listed on the next index pass as passed.
    SetModified(Reports() + "/Nightly-1", kWhen);
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), kReportsHead + ReportRow("Nightly-1", "Nightly-1", "OK") + kFooter);
}

TEST_F(ScriptsTest, ReportTemplateChoiceAndFailures)
{
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "T");

    // No template at all: said so, no page, no dialog.
    SetText(COM_SYS_SCREEN_DUMP_FILE, "before");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->WriteReport();
    EXPECT_TRUE(debug->Contains("ERROR: Could NOT find template web page: " + Reports() + "/report_template.html\n"))
        << debug->Text();
    EXPECT_FALSE(Exists(Reports() + "/T-1/index.html"));
    EXPECT_TRUE(FolderExists(Reports() + "/T-1"));
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "before");
    BuildReportIndex(*page);
    EXPECT_FALSE(Exists(Reports() + "/index.html"));

    // The common template of the reports folder goes before the default one.
    InstallDefaultTemplate();
    WriteText(Reports() + "/reports.tpl.html", "common <#REPORTNAME>: <#REPORT>");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->AddReportResult("body", true);
    page->WriteReport();
    EXPECT_EQ(ReadText(Reports() + "/T-2/index.html"),
              "common T-2: <div>body</div>\n"
              "<HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n"
              "<div>Loops Completed 0</div>\n<div>Total Errors 0</div>\n");
    EXPECT_TRUE(DialogOpen("Report"));

    // A page that cannot be written: said so, no new dialog, no index pass.
    CloseDialog(page->ReportDialog());
    BuildReportIndex(*page);
    ASSERT_TRUE(Exists(Reports() + "/index.html"));
    ASSERT_TRUE(DeleteFile(Reports() + "/index.html"));
    ASSERT_TRUE(page->CreateRunReportFolder());
    std::filesystem::remove(Reports() + "/T-3");
    debug->Clear();
    page->WriteReport();
    EXPECT_TRUE(debug->Contains("ERROR: Could NOT create web page: " + Reports() + "/T-3/index.html\n"))
        << debug->Text();
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "T-2");
    BuildReportIndex(*page);
    EXPECT_FALSE(Exists(Reports() + "/index.html"));

    // A refused report name leaves nothing to write into.
    SetText(COM_SCRIPTS_REPORT_NAME, "..");
    EXPECT_FALSE(page->CreateRunReportFolder());
    debug->Clear();
    page->WriteReport();
    EXPECT_TRUE(debug->Contains("ERROR: Could NOT create web page: "));
    EXPECT_FALSE(DialogOpen("Report"));
}

TEST_F(ScriptsTest, ReportTemplateOfTheScriptComesFirst)
{
    // The script's own name comes from the script list.
    LoadScript("Weekly", "1,LOOP\n1,REPORT\n");
    ASSERT_EQ(page->ScriptName(), "Weekly");
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "");

    InstallDefaultTemplate();
    WriteText(Reports() + "/reports.tpl.html", "common");
    WriteText(Reports() + "/Weekly.tpl.htm", "short <#REPORTNAME>");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(Text(COM_SCRIPTS_REPORT_NAME), "Weekly");
    EXPECT_EQ(page->ReportName(), "Weekly-1");
    page->WriteReport();
    EXPECT_EQ(ReadText(Reports() + "/Weekly-1/index.html"), "short Weekly-1");

    WriteText(Reports() + "/Weekly.tpl.html", "long <#REPORTNAME>");
    ASSERT_TRUE(page->CreateRunReportFolder());
    page->WriteReport();
    EXPECT_EQ(ReadText(Reports() + "/Weekly-2/index.html"), "long Weekly-2");
}

TEST_F(ScriptsTest, ReportIndexListsEachReportWithItsResult)
{
    // An empty reports folder (templates are files, not reports).
    InstallDefaultTemplate();
    page->MarkReportIndex();
    page->StepReportIndex();
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), kReportsHead + "<div>No files</div>\n" + kFooter);

    ASSERT_TRUE(MakeFolder(Reports() + "/Good-1"));
    WriteText(Reports() + "/Good-1/index.html",
              "<html><body>\n<div>Loops Completed 1</div>\n<div>Total Errors 0</div>\n</body></html>\n");
    ASSERT_TRUE(MakeFolder(Reports() + "/Bad-1"));
    WriteText(Reports() + "/Bad-1/index.html",
              "<html><body>\n<div>Loops Completed 1</div>\n<div>Total Errors 1</div>\n</body></html>\n");
    ASSERT_TRUE(MakeFolder(Reports() + "/Ten-1"));
    WriteText(Reports() + "/Ten-1/index.html", "<div>Total Errors 10</div>\n");
    // A long report: only its end is read.
    ASSERT_TRUE(MakeFolder(Reports() + "/Long-1"));
    WriteText(Reports() + "/Long-1/index.html",
              std::string(5000, 'x') + "\n<div>Total Errors 0</div>\n" + std::string(600, 'y') + "\n");
    // A run stopped before its page was written.
    ASSERT_TRUE(MakeFolder(Reports() + "/Empty-1"));
    ASSERT_TRUE(MakeFolder(Reports() + "/A&B-1"));
    WriteText(Reports() + "/A&B-1/index.html", "<div>Total Errors 0</div>\n");
    for (const char* folder : {"Good-1", "Bad-1", "Ten-1", "Long-1", "Empty-1", "A&B-1"})
        SetModified(Reports() + "/" + folder, kWhen);

    // Nothing is written until the index is due.
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), kReportsHead + "<div>No files</div>\n" + kFooter);

    page->MarkReportIndex();
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"),
              kReportsHead + ReportRow("A&amp;B-1", "A&amp;B-1", "OK") + ReportRow("Bad-1", "Bad-1", "FAIL") +
                  ReportRow("Empty-1", "Empty-1", "FAIL") + ReportRow("Good-1", "Good-1", "OK") +
                  ReportRow("Long-1", "Long-1", "OK") + ReportRow("Ten-1", "Ten-1", "FAIL") + kFooter);
}

TEST_F(ScriptsTest, ReportIndexIsWrittenAPieceAtATime)
{
    for (int i = 0; i < 25; ++i) {
        const std::string folder = Reports() + "/R-" + std::to_string(100 + i);
        ASSERT_TRUE(MakeFolder(folder));
        WriteText(folder + "/index.html", "<div>Total Errors 0</div>\n");
        SetModified(folder, kWhen);
    }
    page->MarkReportIndex();
    // Begin and the reading step, then three steps of up to ten rows; the
    // page appears whole only after the last.
    for (int i = 0; i < 3; ++i) {
        page->StepReportIndex();
        EXPECT_FALSE(Exists(Reports() + "/index.html")) << i;
    }
    page->StepReportIndex();
    const std::string html = ReadText(Reports() + "/index.html");
    std::string rows;
    for (int i = 0; i < 25; ++i) {
        const std::string name = "R-" + std::to_string(100 + i);
        rows += ReportRow(name, name, "OK");
    }
    EXPECT_EQ(html, kReportsHead + rows + kFooter);

    // Marked again while a pass is under way: the pass starts over.
    page->MarkReportIndex();
    page->StepReportIndex();
    ASSERT_TRUE(MakeFolder(Reports() + "/R-200"));
    page->MarkReportIndex();
    BuildReportIndex(*page);
    EXPECT_NE(ReadText(Reports() + "/index.html").find(">R-200<"), std::string::npos);
}

TEST_F(ScriptsTest, ReportCheckMakesFoldersAndTellsOfAMissingLogo)
{
    std::filesystem::remove_all(Paths::ScriptsFolder());
    std::filesystem::remove_all(Reports());
    debug->Clear();
    page->CheckLogo();
    EXPECT_TRUE(FolderExists(Paths::ScriptsFolder()));
    EXPECT_TRUE(FolderExists(Reports()));
    EXPECT_EQ(debug->Text(), "Copying default logo\n");
    EXPECT_FALSE(Exists(Reports() + "/logo.jpg"));

    WriteText(Reports() + "/logo.jpg", "jpeg");
    debug->Clear();
    page->CheckLogo();
    EXPECT_FALSE(debug->Contains("Copying default logo"));
}

TEST_F(ScriptsTest, ReportScreenDumpIndexListsTheImages)
{
    const std::string head = web_page::IndexHead("Zu Screen-Dump Index", "Zu Screen-Dumps available:",
                                       "<div>Files available for FTP download under 'screendumps' directory</div>\n"
                                       "<div>Press F5 to refresh directory</div>");
    const std::string folder = ScreenDumpFolder();
    ASSERT_FALSE(Exists(folder));
    debug->Clear();
    MakeScreendumpIndex();
    EXPECT_EQ(debug->Text(), "\nGenerating list of screendumps...\n...Done\n");
    EXPECT_EQ(ReadText(folder + "/index.html"), head + "<div>No files</div>\n" + kFooter);

    for (const char* name : {"scrndump1.bmp", "scrndump0.bmp", "notes.txt"}) {
        WriteText(folder + "/" + name, "BM");
        SetModified(folder + "/" + name, kWhen);
    }
    MakeScreendumpIndex();
    std::string rows;
    for (const char* name : {"scrndump0.bmp", "scrndump1.bmp"}) {
        rows += "<tr><td><div><a href=\"javascript:ShowBmp('" + std::string(name) + "')\">" + name +
                "</a></div></td><td><div>" + When() + "</div></td></tr>\n";
    }
    EXPECT_EQ(ReadText(folder + "/index.html"), head + rows + kFooter);
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

    // Rename through the dialog's name field and button.
    SetText(COM_SCRIPTS_REPORT_NAME, "New");
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    ASSERT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0);
    EXPECT_FALSE(Exists(Reports() + "/Old-1"));
    EXPECT_TRUE(Exists(Reports() + "/New-1/index.html"));
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/New-1");
    EXPECT_EQ(page->ReportName(), "New-1");
    EXPECT_FALSE(DialogOpen("Report"));
    EXPECT_EQ(page->ReportDialog(), nullptr);
    SetModified(Reports() + "/New-1", kWhen);
    BuildReportIndex(*page);
    EXPECT_EQ(ReadText(Reports() + "/index.html"), kReportsHead + ReportRow("New-1", "New-1", "OK") + kFooter);

    // The moved folder can be renamed again, here with another number.
    SetText(COM_SCRIPTS_REPORT_NAME, "Newer");
    Set(COM_SCRIPTS_REPORT_NUMBER, 5);
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0);
    EXPECT_FALSE(Exists(Reports() + "/New-1"));
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
    EXPECT_EQ(page->RunReportFolder(), Reports() + "/Newer-5");

    // The same name again changes nothing.
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));

    // Refused names: the folder stays and the dialog stays up.
    page->WriteReport();
    ASSERT_TRUE(DialogOpen("Report"));
    for (const char* name : {"", "a/b", "a\\b", "..", "../../Escaped"}) {
        SCOPED_TRACE(name);
        SetText(COM_SCRIPTS_REPORT_NAME, name);
        Set(COM_SCRIPTS_RENAME_REPORT, 1);
        EXPECT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0);
        EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
        EXPECT_EQ(page->RunReportFolder(), Reports() + "/Newer-5");
        EXPECT_TRUE(DialogOpen("Report"));
    }
    EXPECT_FALSE(Exists(Reports() + "/../../Escaped-5"));

    // An existing folder of the new name is never replaced, not even an
    // empty one.
    ASSERT_TRUE(MakeFolder(Reports() + "/Taken-5"));
    SetText(COM_SCRIPTS_REPORT_NAME, "Taken");
    Set(COM_SCRIPTS_RENAME_REPORT, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_RENAME_REPORT), 0);
    EXPECT_TRUE(Exists(Reports() + "/Newer-5/index.html"));
    EXPECT_FALSE(Exists(Reports() + "/Taken-5/index.html"));
    EXPECT_TRUE(debug->Contains("Report folder already exists: " + Reports() + "/Taken-5"));
}

TEST_F(ScriptsTest, ReportNumberIsResetFromTheReportDialog)
{
    Set(COM_SCRIPTS_REPORT_NUMBER, 7);
    Set(COM_SCRIPTS_RESET_REPORT_NUMBER, 1);
    ASSERT_EQ(Value(COM_SCRIPTS_RESET_REPORT_NUMBER), 0);
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);

    // The next run takes the first free number from 1 on.
    ASSERT_TRUE(MakeFolder(Reports() + "/Run-1"));
    SetText(COM_SCRIPTS_REPORT_NAME, "Run");
    ASSERT_TRUE(page->CreateRunReportFolder());
    EXPECT_EQ(page->ReportName(), "Run-2");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 2);
}
