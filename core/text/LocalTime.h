// Local time of the current clock formatted with strftime, always in the C
// locale so month names do not follow the host's language settings; and
// elapsed run times.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>

// Formats the current clock's wall time (local time) into a buffer of
// bufferBytes bytes (terminator included). A result that does not fit, or an
// empty one, gives an empty text: nothing is made up from a partial buffer.
std::string FormatLocalTime(const std::string& format, size_t bufferBytes);

// The same for a given time (seconds since the epoch), for file dates.
std::string FormatLocalTimeAt(std::time_t when, const std::string& format, size_t bufferBytes);

// Time elapsed from start to now: "%H:%M:%S" under one day, "%dd " and
// "%H:%M" from one to six days, "MAX" from seven days on. A now before start
// (a clock set back) counts as no time at all: "00:00:00".
std::string FormatElapsedTime(std::time_t now, std::time_t start);
