#include "RepeatLimiter.h"

#include <algorithm>

bool RepeatLimiter::Due(const Entry& e, uint64_t nowMs)
{
    // A clock that went back (another clock put in) makes every line due.
    return nowMs < e.shownMs || nowMs - e.shownMs >= e.intervalMs;
}

std::string RepeatLimiter::Show(Entry& e, uint64_t nowMs, uint32_t occurrences)
{
    const std::string text = WithCount(e.line, e.held + occurrences);
    e.intervalMs = e.held > 0 ? std::min(e.intervalMs * 2, kLongestIntervalMs) : kFirstIntervalMs;
    e.held = 0;
    e.shownMs = nowMs;
    return text;
}

std::string RepeatLimiter::Take(const std::string& line, uint64_t nowMs)
{
    std::string out;
    for (Entry& e : entries_)
        if (e.held > 0 && e.line != line && Due(e, nowMs))
            out += Show(e, nowMs, 0);
    if (line.find_first_not_of(" \t\r\n") == std::string::npos)
        return out + line;

    auto it = std::find_if(entries_.begin(), entries_.end(), [&line](const Entry& e) { return e.line == line; });
    if (it == entries_.end()) {
        if (entries_.size() >= kTracked) {
            auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                           [](const Entry& a, const Entry& b) { return a.seenMs < b.seenMs; });
            out += WithCount(oldest->line, oldest->held);
            entries_.erase(oldest);
        }
        Entry e;
        e.line = line;
        e.shownMs = nowMs;
        e.seenMs = nowMs;
        entries_.push_back(std::move(e));
        return out + line;
    }
    it->seenMs = nowMs;
    if (!Due(*it, nowMs)) {
        ++it->held;
        return out;
    }
    return out + Show(*it, nowMs, 1);
}

std::string RepeatLimiter::Flush()
{
    std::string out;
    for (const Entry& e : entries_)
        out += WithCount(e.line, e.held);
    entries_.clear();
    return out;
}

std::string RepeatLimiter::WithCount(const std::string& line, uint32_t count)
{
    if (count == 0)
        return std::string();
    const size_t last = line.find_last_not_of("\r\n");
    if (count == 1 || last == std::string::npos)
        return line;
    return line.substr(0, last + 1) + " (repeated " + std::to_string(count) + " times)" + line.substr(last + 1);
}
