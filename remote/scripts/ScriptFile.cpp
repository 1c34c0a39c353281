#include "ScriptFile.h"

#include "core/actions/TpScriptAction.h"
#include "TpScripts.h"

#include "core/files/FileHelpers.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace {

// id, keyword, takes text, takes number, has duration, display-name text
constexpr ScriptStepType kStepTypes[kBuiltInStepCount] = {
    {kStepLoadMem, "LOADMEM", 0, 1, 0, 114},
    {kStepPrompt, "PROMPT", 1, 0, 0, 117},
    {kStepClearLog, "CLEARLOG", 0, 0, 0, 118},
    {kStepDisableEvt, "DISABLEEVT", 0, 0, 0, 119},
    {kStepEnableEvt, "ENABLEEVT", 0, 0, 0, 120},
    {kStepClearErrors, "CLEARERRORS", 0, 0, 0, 121},
    {kStepLogComment, "LOGCOMMENT", 1, 0, 0, 122},
    {kStepPause, "PAUSE", 0, 0, 1, 123},
    {kStepSaveStatus, "SAVESTATUS", 1, 0, 0, 124},
    {kStepSelectTab, "SELECTTAB", 0, 1, 1, 125},
    {kStepSaveImage, "SAVEIMAGE", 1, 1, 0, 126},
    {kStepSelUser, "SEL_USER", 1, 0, 0, 128},
};

// The longest line read at once; a longer one is taken as several lines.
constexpr size_t kMaxLine = 999;

// The decimal value at the start of text, as atoi reads it, kept within the
// range of an int32 instead of overflowing.
int32_t LeadingInt(const std::string& text)
{
    const int64_t value = LeadingInteger(text);
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The header keyword of a line ("LOOP", "REPORT", ...): the field between the
// first and the second comma, or the end of the line.
std::string SecondField(const std::string& line)
{
    const size_t first = line.find(',');
    if (first == std::string::npos)
        return std::string();
    const size_t second = line.find(',', first + 1);
    return line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

// A text as it may stand in a line of the file: a line break (or a NUL) in
// it would end the line early and let the rest read as a line of its own, so
// each becomes a space.
std::string OneLine(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '\0')
            c = ' ';
    }
    return out;
}

} // namespace

const ScriptStepType* BuiltInStepType(int type)
{
    if (type < 0 || type >= kBuiltInStepCount)
        return nullptr;
    return &kStepTypes[type];
}

ScriptStepFlags StepTypeFlags(int type)
{
    ScriptStepFlags flags;
    if (const ScriptStepType* row = BuiltInStepType(type)) {
        flags.takesText = row->takesText;
        flags.takesNumber = row->takesNumber;
        flags.hasDuration = row->hasDuration;
    } else if (TpScripts* page = TpScripts::Instance()) {
        if (const TpScriptAction* action = page->ActionOfType(type)) {
            flags.takesText = action->TakesText();
            flags.takesNumber = action->TakesNumber();
            flags.hasDuration = action->HasDuration();
        }
    }
    return flags;
}

std::string ScriptStep::FormatLine() const
{
    std::string line = std::to_string(number) + ",";
    if (const ScriptStepType* row = BuiltInStepType(type)) {
        line += row->keyword;
    } else {
        TpScripts* page = TpScripts::Instance();
        const TpScriptAction* action = page != nullptr ? page->ActionOfType(type) : nullptr;
        if (action == nullptr)
            return line + "ERROR:iEntry?";
        line += action->Keyword();
    }
    line += ",";
    const ScriptStepFlags flags = StepTypeFlags(type);
    if (flags.takesNumber)
        line += std::to_string(numeric) + ",";
    if (flags.takesText) {
        const std::string safe = OneLine(text);
        if (safe.find(',') != std::string::npos)
            line += "\"" + safe + "\"";
        else
            line += safe;
    }
    return line;
}

void ScriptFile::ClearHeader()
{
    loopForever = false;
    stopOnError = false;
    report = false;
    archiveName.clear();
}

bool ScriptFile::Read(const std::string& path)
{
    ClearHeader();
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;
    // A folder opens for reading too, but holds no script.
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return false;
    }
    ReadLines(file);
    std::fclose(file);
    return true;
}

bool ScriptFile::ReadText(const std::string& text)
{
    ClearHeader();
    // The same line reader as for a file, over the text in memory (an empty
    // text has no lines).
    FILE* file = text.empty() ? nullptr : fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (file == nullptr && !text.empty())
        return false;
    ReadLines(file);
    if (file != nullptr)
        std::fclose(file);
    return true;
}

void ScriptFile::ReadLines(FILE* file)
{
    ClearSteps();
    // A script without a LOOP line runs once, whatever was read before.
    loopCount = 1;
    std::string comment;
    char buffer[kMaxLine + 1];
    while (file != nullptr && std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::string line(buffer);
        const size_t end = line.find_first_of("\r\n");
        if (end != std::string::npos)
            line.resize(end);
        if (line.empty())
            continue;
        if (line[0] == '#') {
            comment += line;
            continue;
        }
        // Header lines are told by their keyword field alone, so a step whose
        // text happens to hold ",LOOP" stays a step.
        const std::string keyword = SecondField(line);
        if (keyword == "REPORT") {
            report = line[0] == '1';
        } else if (keyword == "STOP_ON_ERROR") {
            stopOnError = line[0] == '1';
        } else if (keyword == "ARCHIVE") {
            const size_t first = line.find(',');
            const size_t second = line.find(',', first + 1);
            if (second != std::string::npos) {
                const size_t third = line.find(',', second + 1);
                std::string name = line.substr(second + 1, third == std::string::npos ? std::string::npos
                                                                                       : third - second - 1);
                // The name becomes a file name when the run restores it.
                if (ValidScriptName(name))
                    archiveName = std::move(name);
                else if (!name.empty())
                    DebugPrintf("ERROR: Invalid archive name: '%s'\n", name.c_str());
            }
        } else if (keyword == "LOOP") {
            loopCount = LeadingInt(line);
            loopForever = loopCount == 0;
        } else {
            AddStep(line, comment);
            comment.clear();
        }
    }
    loaded = true;
}

std::string ScriptFile::Format() const
{
    std::string out;
    if (!archiveName.empty())
        out += "0,ARCHIVE," + OneLine(archiveName) + "\n";
    if (loopForever)
        out += "0,LOOP\n";
    else
        out += std::to_string(loopCount) + ",LOOP\n";
    out += std::string(report ? "1" : "0") + ",REPORT\n";
    out += std::string(stopOnError ? "1" : "0") + ",STOP_ON_ERROR\n";
    for (const auto& step : steps_)
        out += step->FormatLine() + "\n";
    return out;
}

bool ScriptFile::Write(const std::string& path) const
{
    return WriteFileAtomic(path, Format());
}

bool ScriptFile::AddStep(const std::string& line, const std::string& comment)
{
    auto step = std::make_unique<ScriptStep>();
    step->comment = comment;

    size_t pos = 0;
    unsigned long long number = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        number = number * 10 + static_cast<unsigned>(line[pos] - '0');
        if (number > UINT32_MAX)
            number = UINT32_MAX;
        ++pos;
    }
    if (pos >= line.size() || line[pos] != ',') {
        // A line that is not a step is left out rather than run with made-up
        // fields.
        DebugPrintf("ERROR: Invalid ScriptStep: '%s'\n", line.c_str());
        return false;
    }
    step->number = static_cast<uint32_t>(number);
    ++pos;

    const size_t nameEnd = line.find(',', pos);
    const std::string name = line.substr(pos, nameEnd == std::string::npos ? std::string::npos : nameEnd - pos);
    step->type = -1;
    for (const ScriptStepType& row : kStepTypes) {
        if (name == row.keyword) {
            step->type = row.id;
            break;
        }
    }
    if (step->type < 0) {
        const TpScripts* page = TpScripts::Instance();
        const int index = page != nullptr ? page->FindActionKeyword(name) : -1;
        step->type = kFirstActionStep + (index < 0 ? 0 : index);
    }

    step->text.clear();
    step->numeric = 0;
    if (nameEnd != std::string::npos) {
        const size_t argStart = nameEnd + 1;
        if (argStart < line.size() && line[argStart] == '"') {
            const size_t close = line.find('"', argStart + 1);
            step->text = line.substr(argStart + 1, close == std::string::npos ? std::string::npos
                                                                              : close - argStart - 1);
            if (close != std::string::npos && close + 2 < line.size() && line[close + 1] == ',')
                step->text = line.substr(close + 2);
        } else {
            const std::string rest = line.substr(argStart);
            step->text = rest;
            step->numeric = LeadingInt(rest);
            const size_t comma = rest.find(',');
            bool afterComma = false;
            if (step->HasNumber()) {
                // The text of a type that takes a number is the field after
                // the number: "4," has an empty text, not "4,".
                step->text.clear();
                if (comma != std::string::npos) {
                    step->text = rest.substr(comma + 1);
                    afterComma = true;
                }
            } else if (comma != std::string::npos && comma + 1 < rest.size()) {
                step->text = rest.substr(comma + 1);
                afterComma = true;
            }
            // A text written after a number is quoted when it holds a comma;
            // the quotes are the file's, not the text's.
            if (afterComma && !step->text.empty() && step->text[0] == '"') {
                const size_t close = step->text.find('"', 1);
                step->text = step->text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            }
        }
    }
    steps_.push_back(std::move(step));
    return true;
}

void ScriptFile::ClearSteps()
{
    steps_.clear();
    loaded = false;
}

std::unique_ptr<ScriptStep> ScriptFile::RemoveStep(int i)
{
    if (i < 0 || i >= StepCount())
        return nullptr;
    std::unique_ptr<ScriptStep> step = std::move(steps_[static_cast<size_t>(i)]);
    steps_.erase(steps_.begin() + i);
    return step;
}

void ScriptFile::InsertStep(int i, std::unique_ptr<ScriptStep> step)
{
    if (!step)
        return;
    if (i < 0)
        i = 0;
    if (i > StepCount())
        i = StepCount();
    steps_.insert(steps_.begin() + i, std::move(step));
}

void ScriptFile::MoveStepUp(int i)
{
    if (i <= 0 || i >= StepCount())
        return;
    std::swap(steps_[static_cast<size_t>(i) - 1], steps_[static_cast<size_t>(i)]);
}

int ScriptFile::MoveStepDown(int i)
{
    if (i >= 0 && i < StepCount() - 1) {
        std::swap(steps_[static_cast<size_t>(i)], steps_[static_cast<size_t>(i) + 1]);
        return i + 1;
    }
    return StepCount() - 1;
}

uint32_t ScriptFile::TotalStepTime() const
{
    uint64_t total = 0;
    for (const auto& step : steps_) {
        if (step->HasDuration())
            total += step->number;
    }
    // Held at the largest value rather than wrapping round to a short time.
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

ScriptStep* ScriptFile::Step(int i) const
{
    if (i < 0 || i >= StepCount())
        return nullptr;
    return steps_[static_cast<size_t>(i)].get();
}

std::string ScriptPath(const std::string& name)
{
    return Paths::ScriptsFolder() + "/" + name + ".cmd";
}

std::string NewScriptName()
{
    for (int n = 1;; ++n) {
        std::string name = "NewScript" + std::to_string(n);
        if (!FileExists(ScriptPath(name)))
            return name;
    }
}

bool ValidScriptName(const std::string& name)
{
    return PlainFileName(name) && name.find('\0') == std::string::npos;
}
