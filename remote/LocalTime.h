// Local time of the current clock formatted with strftime, always in the C
// locale so month names do not follow the host's language settings.
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
