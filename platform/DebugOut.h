// Diagnostic output of the system: the printf-style console lines and the
// OutputDebugStringA channel both end up on stderr. Chatty lines (per-request
// traces, per-piece transfer lines) are silenced when ZU_QUIET is set to a
// non-empty value other than "0". Colour codes reach stderr only when it is a
// terminal. A line repeated unchanged is held back and shown again with its
// count (RepeatLimiter, on the current clock). Tests capture everything, as
// written, with DebugCapture.
#pragma once

#include <cstdarg>
#include <mutex>
#include <string>

// Writes text as it stands.
void OutputDebugStringA(const char* text);

// printf-style console output (always shown).
void DebugPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// printf-style output of chatty trace lines (hidden by the quiet switch, still
// seen by captures).
void DebugChatty(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Writes the counts of repeated lines still held back (at the end of a run).
void DebugFlushRepeats();
// Forgets the repeated lines (tests start afresh).
void DebugResetRepeats();

// True when the quiet switch is on; read from the environment at each call so
// tests can change it.
bool DebugQuiet();

// While an object of this class lives, every line written through the
// functions above is also appended to its buffer (thread-safe). Captures nest;
// each sees the output written while it exists.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::string Text() const;
    bool Contains(const std::string& fragment) const;
    void Clear();

    // Called by the output functions.
    void Append(const std::string& text);

private:
    mutable std::mutex mutex_;
    std::string text_;
};
