// The console command that stands in for the host menu's choice of the
// simulated input's video standard: "inputstd N" sets row N of the video
// standard table (-1: no input), "inputstd" alone says which is set. Both
// print the standard; any other argument prints the usage and changes
// nothing.
#pragma once

#include "sim/SimConsoleCommand.h"

#include <string>
#include <vector>

void InputStdCommand(const std::vector<std::string>& args);

// Hands the command to the console through its registration call.
void RegisterSimInputCommands(const RegisterConsoleCommand& add);
