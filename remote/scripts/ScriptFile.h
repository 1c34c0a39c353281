// Scripts as the instrument keeps them: a named list of steps stored as a
// ".cmd" text file in the scripts folder.
//
//   0,ARCHIVE,<backup>       optional: the memory backup restored at the start
//   3,LOOP                   passes to run (0: loop forever)
//   1,REPORT                 make an HTML report
//   0,STOP_ON_ERROR          end the run at the first error
//   # comment                kept with the next step, never written back
//   10,PAUSE,                one step: number, keyword, arguments
//
// A step's type is 0-11 for the built-in steps below and 12 + n for the n-th
// action registered with the scripts page (TpScriptAction). Files carry
// keywords, never type numbers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The built-in step types.
enum ScriptStepId : int {
    kStepLoadMem = 0,
    kStepPrompt = 1,
    kStepClearLog = 2,
    kStepDisableEvt = 3,
    kStepEnableEvt = 4,
    kStepClearErrors = 5,
    kStepLogComment = 6,
    kStepPause = 7,
    kStepSaveStatus = 8,
    kStepSelectTab = 9,
    kStepSaveImage = 10,
    kStepSelUser = 11,
    kBuiltInStepCount = 12,
    kFirstActionStep = 12,
};

// One row of the built-in step table.
struct ScriptStepType {
    int id;
    const char* keyword;
    uint8_t takesText;
    uint8_t takesNumber;
    uint8_t hasDuration;
    unsigned nameText;   // text-table number of the display name
};

// The built-in row of a type; none for a type outside 0-11.
const ScriptStepType* BuiltInStepType(int type);

// The three flags of a step type: the table for 0-11, the registered action's
// for 12 and up (through the scripts page), all 0 for any other type.
struct ScriptStepFlags {
    uint8_t takesText = 0;
    uint8_t takesNumber = 0;
    uint8_t hasDuration = 0;
};
ScriptStepFlags StepTypeFlags(int type);

// One line of a script.
struct ScriptStep {
    uint32_t number = 1;        // duration in seconds for a type with the duration flag
    std::string comment;        // the "#" lines before the step, joined
    std::string text;           // text argument
    int32_t numeric = 1;        // numeric argument
    int32_t type = kStepLoadMem;

    // The step's line without the line end.
    std::string FormatLine() const;
    uint8_t HasText() const { return StepTypeFlags(type).takesText; }
    uint8_t HasNumber() const { return StepTypeFlags(type).takesNumber; }
    uint8_t HasDuration() const { return StepTypeFlags(type).hasDuration; }
};

class ScriptFile {
public:
    // Reads a script file. False when it cannot be opened (or is not a
    // file): the steps and the loop count stay, the flags and the archive
    // name are cleared. A successful read starts from one pass, so a script
    // without a LOOP line never keeps another's count.
    bool Read(const std::string& path);
    // As Read, from the text of a script file in memory.
    bool ReadText(const std::string& text);
    // Writes the script (through a temporary file). False when it cannot be
    // written. Comments are not written; a line break in a text is written
    // as a space.
    bool Write(const std::string& path) const;
    // The text Write puts into the file.
    std::string Format() const;

    // Parses one step line with the comment that stood before it and
    // appends it; false (and nothing appended) for a line that is not a step.
    // A line without arguments has numeric argument 0; for a type that takes
    // a number, the text is the field after the number, without the quotes
    // the writer put around it.
    bool AddStep(const std::string& line, const std::string& comment);
    void ClearSteps();
    // Takes step i out of the list and gives it to the caller; none when i is
    // outside the list.
    std::unique_ptr<ScriptStep> RemoveStep(int i);
    // Inserts a step at position i (clamped to the list).
    void InsertStep(int i, std::unique_ptr<ScriptStep> step);
    // Swaps steps i - 1 and i when i is neither 0 nor outside the list.
    void MoveStepUp(int i);
    // Swaps steps i and i + 1 and returns i + 1 when i is before the last
    // step; otherwise changes nothing and returns the last index (-1 when
    // empty).
    int MoveStepDown(int i);
    // Sum of the numbers of the steps whose type has the duration flag.
    uint32_t TotalStepTime() const;

    int StepCount() const { return static_cast<int>(steps_.size()); }
    // Step i; none outside the list.
    ScriptStep* Step(int i) const;

    bool loopForever = false;
    bool stopOnError = false;
    bool report = false;
    int32_t loopCount = 1;
    bool loaded = false;
    std::string archiveName;

private:
    // The flags and the archive name cleared, as before every read.
    void ClearHeader();
    // Reads the lines of an open script (none for no file) into the steps
    // and the header fields.
    void ReadLines(FILE* file);
    std::vector<std::unique_ptr<ScriptStep>> steps_;
};

// scripts folder + "/" + name + ".cmd".
std::string ScriptPath(const std::string& name);
// "NewScript1", "NewScript2", ...: the first whose file does not exist.
std::string NewScriptName();
// A name that may become a file or folder name: not empty, without '/',
// '\\' or "..".
bool ValidScriptName(const std::string& name);
