// Keeps a line that comes again and again, unchanged, from flooding the
// console. A line is shown the first time; while it keeps coming within its
// interval it is only counted, and once the interval has passed it is shown
// again with the count, " (repeated N times)", N being how often it came since
// it was last shown. The interval starts at one second and doubles each time
// the line had to be counted, up to a minute, so a line that never stops ends
// up shown about once a minute; a line that came only once in its interval
// starts again at one second. Lines of blanks only are never held back.
//
// Not thread-safe: the output function calls it under its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class RepeatLimiter {
public:
    static constexpr uint64_t kFirstIntervalMs = 1000;
    static constexpr uint64_t kLongestIntervalMs = 60000;
    // Distinct lines followed at once; the one seen least recently makes way.
    static constexpr size_t kTracked = 8;

    // The text to write now for a line given at nowMs: the line itself, the
    // line with its count, nothing, and before that the counts of other lines
    // that fell due.
    std::string Take(const std::string& line, uint64_t nowMs);
    // The counts still held back, each with its line; forgets them.
    std::string Flush();
    // Forgets every line.
    void Reset() { entries_.clear(); }

    // line with " (repeated count times)" put before its final line ends;
    // the line alone when count is 1, nothing when it is 0.
    static std::string WithCount(const std::string& line, uint32_t count);

private:
    struct Entry {
        std::string line;
        uint64_t shownMs = 0;      // when it was last shown
        uint64_t seenMs = 0;       // when it last came
        uint64_t intervalMs = kFirstIntervalMs;
        uint32_t held = 0;         // times it came since it was last shown
    };

    static bool Due(const Entry& e, uint64_t nowMs);
    // Shows e with what it holds (plus the occurrence at hand, when one).
    static std::string Show(Entry& e, uint64_t nowMs, uint32_t occurrences);

    std::vector<Entry> entries_;
};
