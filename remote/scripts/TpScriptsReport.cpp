// The reports of the scripts page: the report body, the run's report folder,
// the report page and the index pages.
#include "TpScripts.h"

#include "ScriptFile.h"
#include "remote/web/TpReportList.h"
#include "remote/web/TpWebFileList.h"
#include "remote/web/TpWebTemplate.h"

#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/LcdImageFiles.h"
#include "ui/dialogs/TpDialogList.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kTextTotalErrors = 145;
constexpr unsigned kTextLoopsCompleted = 148;

constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kHoursFrom = 360;   // durations from here on are shown in hours
constexpr double kSecondsPerHour = 3600.0;

constexpr const char* kReportTitle = "Zu Report Index";
constexpr const char* kReportHeading = "Zu Report Files available:";
constexpr const char* kReportIntroduction =
    "<div>Files available for FTP download under 'reports' directory</div>\n<div>Press F5 to refresh directory</div>";
constexpr const char* kScreenDumpTitle = "Zu Screen-Dump Index";
constexpr const char* kScreenDumpHeading = "Zu Screen-Dumps available:";
constexpr const char* kScreenDumpIntroduction =
    "<div>Files available for FTP download under 'screendumps' directory</div>\n"
    "<div>Press F5 to refresh directory</div>";
constexpr const char* kEmptyListText = "No files";

} // namespace

void TpScripts::AddReportSection(const std::string& text)
{
    if (Value(kMakeReport) == 0)
        return;
    reportText_ += "<HR style=\"clear:both\"><div class=\"Section\">" + text + "</div>\n";
}

void TpScripts::AddReportLine(unsigned textNumber, const char* text)
{
    if (Value(kMakeReport) == 0)
        return;
    reportText_ += "<div>" + ::GetText(textNumber);
    if (text != nullptr)
        reportText_ += std::string(" ") + text;
    reportText_ += "</div>\n";
}

void TpScripts::AddReportCount(unsigned textNumber, long count)
{
    if (Value(kMakeReport) == 0)
        return;
    char number[32];
    std::snprintf(number, sizeof number, " %ld", count);
    reportText_ += "<div>" + ::GetText(textNumber) + number + "</div>\n";
}

void TpScripts::AppendReport(const std::string& text, bool wrap)
{
    if (wrap)
        reportText_ += "<div>" + text + "</div>\n";
    else
        reportText_ += text;
}

void TpScripts::AddReportResult(const std::string& text, bool wrap)
{
    if (Value(kMakeReport) == 0)
        return;
    AppendReport(text, wrap);
}

void TpScripts::AddReportStepHeading(unsigned textNumber, uint32_t seconds)
{
    if (Value(kMakeReport) == 0)
        return;
    AddReportSection(::GetText(textNumber) + DurationSuffix(seconds));
}

std::string TpScripts::DurationSuffix(uint32_t seconds)
{
    char text[48];
    if (seconds == 0)
        return std::string();
    if (seconds < kSecondsPerMinute)
        std::snprintf(text, sizeof text, " : %us", seconds);
    else if (seconds < kHoursFrom)
        std::snprintf(text, sizeof text, " : %.1f mins", seconds / static_cast<double>(kSecondsPerMinute));
    else
        std::snprintf(text, sizeof text, " : %.2f hours", seconds / kSecondsPerHour);
    return text;
}

bool TpScripts::CreateRunReportFolder()
{
    reportText_.clear();
    reportName_.clear();
    runReportFolder_.clear();

    if (Text(kReportName).empty()) {
        ScopedFlag guard(notifying_);
        SetText(kReportName, ScriptName());
    }
    const std::string name = Text(kReportName);
    // The name becomes a folder of the reports folder and nothing else.
    if (!ValidScriptName(name)) {
        LogMessageText(0, "Report name refused: ", name);
        return false;
    }

    const std::string reports = Paths::ReportsFolder();
    int32_t number = Value(kReportNumber);
    while (number < INT32_MAX && PathExists(reports + "/" + name + "-" + std::to_string(number)))
        ++number;
    {
        ScopedFlag guard(notifying_);
        SetValue(kReportNumber, number);
    }
    reportName_ = name + "-" + std::to_string(number);
    runReportFolder_ = reports + "/" + reportName_;
    MakeFolder(reports);
    if (!MakeFolder(runReportFolder_)) {
        LogMessageText(0, "Could NOT create report folder: ", runReportFolder_);
        return false;
    }
    return true;
}

void TpScripts::WriteReport()
{
    AddReportSection("Script Completed");
    AddReportCount(kTextLoopsCompleted, Value(kLoops));
    AddReportCount(kTextTotalErrors, static_cast<long>(totalErrors_));

    TpWebTemplate page(reportName_, currentUser_, reportText_);
    const std::string output = runReportFolder_ + "/index.html";
    if (runReportFolder_.empty()) {
        // The run had no report folder of its own.
        LogMessageText(0, "Could NOT create web page: ", output);
        return;
    }

    const std::string reports = Paths::ReportsFolder();
    const std::string script = ScriptName();
    std::vector<std::string> templates;
    if (ValidScriptName(script)) {
        templates.push_back(reports + "/" + script + ".tpl.html");
        templates.push_back(reports + "/" + script + ".tpl.htm");
    }
    templates.push_back(reports + "/reports.tpl.html");
    templates.push_back(reports + "/report_template.html");
    std::string chosen;
    for (const std::string& path : templates) {
        if (IsRegularFile(path)) {
            chosen = path;
            break;
        }
    }
    if (chosen.empty()) {
        LogMessageText(0, "Could NOT find template web page: ", templates.back());
        return;
    }

    if (!page.Create(chosen, output)) {
        LogMessageText(0, "Could NOT create web page: ", output);
        return;
    }
    MarkReportIndex();
    {
        ScopedFlag guard(notifying_);
        SetText(kScreenDumpFile, reportName_);
    }
    reportDialog_ = ShowDialog("Report");
}

void TpScripts::CheckLogo()
{
    for (const std::string& folder : {Paths::ScriptsFolder(), Paths::ReportsFolder()}) {
        if (!MakeFolder(folder))
            DebugPrintf("ERROR: Couldn't make folder %s\n", folder.c_str());
    }
    if (!PathExists(Paths::ReportsFolder() + "/logo.jpg"))
        DebugPrintf("Copying default logo\n");
}

void TpScripts::StepReportIndex()
{
    if (indexRebuild_ != 0) {
        indexRebuild_ = 0;
        // A list still being written is dropped; the new one covers it.
        const std::string reports = Paths::ReportsFolder();
        reportList_ = std::make_unique<TpReportList>(reports + "/*", ::GetText(kTextTotalErrors));
        const bool begun = reportList_->Begin(reports + "/index.html", kReportTitle, kReportHeading,
                                              kReportIntroduction, kEmptyListText);
        indexInProgress_ = begun ? 1 : 0;
        if (!begun)
            reportList_.reset();
    }
    if (indexInProgress_ == 0 || reportList_ == nullptr)
        return;
    if (!reportList_->Step()) {
        indexInProgress_ = 0;
        reportList_.reset();
    }
}

void TpScripts::RenameReport()
{
    if (Value(kRenameReport) == 0)
        return;
    bool done = false;
    const std::string name = Text(kReportName);
    const std::string number = std::to_string(Value(kReportNumber));
    const std::string target = Paths::ReportsFolder() + "/" + name + "-" + number;
    if (!ValidScriptName(name)) {
        LogMessageText(0, "Report name refused: ", name);
    } else if (ScriptLocked()) {
        // The run is still writing into its folder.
        LogMessageText(0, "Report can't be renamed while the script runs: ", name);
    } else if (target == runReportFolder_) {
        done = true;
    } else if (runReportFolder_.empty() || !FolderExists(runReportFolder_)) {
        LogMessageText(0, "No report folder to rename: ", runReportFolder_);
    } else if (PathExists(target)) {
        // rename() would silently replace an empty folder of that name.
        LogMessageText(0, "Report folder already exists: ", target);
    } else if (std::rename(runReportFolder_.c_str(), target.c_str()) != 0) {
        LogMessageText(0, "Could NOT rename report folder: ", runReportFolder_ + " (" + std::strerror(errno) + ")");
    } else {
        runReportFolder_ = target;
        reportName_ = name + "-" + number;
        MarkReportIndex();
        done = true;
    }

    {
        ScopedFlag guard(notifying_);
        SetValue(kRenameReport, 0);
    }
    // A refused name leaves the dialog up so another can be given.
    if (done && reportDialog_ != nullptr) {
        if (IsWindowOpen(reportDialog_))
            CloseDialog(reportDialog_);
        reportDialog_ = nullptr;
    }
}

void TpScripts::ResetReportNumber()
{
    if (Value(kResetReportNumber) == 0)
        return;
    ScopedFlag guard(notifying_);
    SetValue(kReportNumber, 1);
    SetValue(kResetReportNumber, 0);
}

void MakeScreendumpIndex()
{
    DebugPrintf("\nGenerating list of screendumps...\n");
    const std::string folder = ScreenDumpFolder();
    if (!MakeFolder(folder))
        DebugPrintf("ERROR: Couldn't make folder %s\n", folder.c_str());
    TpWebFileList list(folder + "/*.bmp");
    if (list.Begin(folder + "/index.html", kScreenDumpTitle, kScreenDumpHeading, kScreenDumpIntroduction,
                   kEmptyListText)) {
        while (list.Step()) {
        }
    }
    DebugPrintf("...Done\n");
}
