// The console command that stands in for the host menu's choice of the
// simulated input's video standard: "inputstd N" sets row N of the video
// standard table (-1: no input), "inputstd" alone says which is set. Both
// print the standard; any other argument prints the usage and changes
// nothing.
//
// The simulated input is the instrument's own output looped back: whoever
// makes that output is told every standard set, so that it generates in it.
#pragma once

#include "sim/SimConsoleCommand.h"

#include <functional>
#include <string>
#include <vector>

// Told the standard (a row, or -1) each time "inputstd N" sets one.
using InputStandardSet = std::function<void(int standard)>;

void InputStdCommand(const std::vector<std::string>& args, const InputStandardSet& standardSet = {});

// Hands the command to the console through its registration call.
void RegisterSimInputCommands(const RegisterConsoleCommand& add, InputStandardSet standardSet = {});
