// How the simulated hardware's settings reach the console: without a window
// there is no right-click menu, so each menu item is a console command.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A console command handler receives the argument words after the name.
using ConsoleCommandHandler = std::function<void(const std::vector<std::string>& args)>;
// Registers one console command: name, minimum abbreviation length, handler.
using RegisterConsoleCommand =
    std::function<void(const std::string& name, int minAbbreviation, ConsoleCommandHandler handler)>;
