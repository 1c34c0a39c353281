// Small file checks used by the pages that watch their folders.
#pragma once

#include <ctime>
#include <string>

// 1 when the file opens for reading, else 0.
int FileExists(const std::string& path);

// 1 when the path's modification time differs from storedTime (which is then
// updated to it); 0 when unchanged or when the path cannot be examined
// ("Couldn't stat '%s'\n" is printed).
int FileTimeChanged(const std::string& path, std::time_t& storedTime);
