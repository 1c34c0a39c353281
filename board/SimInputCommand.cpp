#include "SimInputCommand.h"

#include "VideoFormat.h"
#include "platform/DebugOut.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr int kNoInput = -1;

void PrintStandard()
{
    const int index = SimInputStandard();
    const VideoStdRow* row = VideoStdAt(index);
    DebugPrintf("Input standard %d: %s\n", index, row != nullptr ? row->name : "none");
}

// A whole decimal number, -1 or a row of the table.
bool ParseStandard(const std::string& word, int& index)
{
    if (word.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || end == word.c_str() || *end != '\0')
        return false;
    // Checked before narrowing, so that no larger number wraps round to a row.
    if (value != kNoInput && (value < 0 || value >= kVideoStdCount))
        return false;
    index = static_cast<int>(value);
    return true;
}

} // namespace

void InputStdCommand(const std::vector<std::string>& args, const InputStandardSet& standardSet)
{
    int index = kNoInput;
    if (args.size() > 1 || (args.size() == 1 && !ParseStandard(args[0], index))) {
        DebugPrintf("Usage: inputstd [N] (N: -1 for no input, 0-%d a video standard)\n", kVideoStdCount - 1);
        return;
    }
    if (args.size() == 1) {
        SetSimInputStandard(index);
        if (standardSet)
            standardSet(SimInputStandard());
    }
    PrintStandard();
}

void RegisterSimInputCommands(const RegisterConsoleCommand& add, InputStandardSet standardSet)
{
    if (add)
        add("inputstd", 5, [standardSet](const std::vector<std::string>& args) {
            InputStdCommand(args, standardSet);
        });
}
