// Small file checks used by the pages that watch their folders.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// 1 when the file opens for reading, else 0.
int FileExists(const std::string& path);

// 1 when the path's modification time differs from storedTime (which is then
// updated to it); 0 when unchanged or when the path cannot be examined
// ("Couldn't stat '%s'\n" is printed).
int FileTimeChanged(const std::string& path, std::time_t& storedTime);

// The lines of a text: split at line feeds, a carriage return before the
// line feed removed (files from either platform read the same); no line for
// the end of a text that ends with a line feed.
std::vector<std::string> SplitLines(const std::string& text);

// A name from outside (a client, a script, a setting) that becomes one level
// of a path: not empty, and no '/', '\\' or "..".
bool PlainFileName(const std::string& name);

// The decimal number at text[pos], as atoi reads it (white space, a sign,
// digits; 0 without digits), held at the limits of an int64 instead of
// overflowing.
int64_t LeadingInteger(const std::string& text, size_t pos = 0);

// A whole text as an integer within [least, most]: decimal (optionally
// negative) or "0x" hexadecimal; false for anything else.
bool ParseInt(const std::string& text, long long least, long long most, long long& out);
