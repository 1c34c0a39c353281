#include "DebugOut.h"

#include "Clock.h"
#include "RepeatLimiter.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

std::mutex& CaptureMutex()
{
    static std::mutex m;
    return m;
}

std::vector<DebugCapture*>& Captures()
{
    static std::vector<DebugCapture*> c;
    return c;
}

// How many captures live, read without the lock: a quiet chatty line with
// nobody capturing is not even formatted.
std::atomic<int> g_captureCount{0};

// The text without its colour codes (ESC "[", digits and ";", one letter).
std::string WithoutColour(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
            size_t j = i + 2;
            while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) != 0 || text[j] == ';'))
                ++j;
            if (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j])) != 0) {
                i = j;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// What reaches stderr: one writer at a time, through the repeat limiter.
std::mutex& OutputMutex()
{
    static std::mutex m;
    return m;
}

RepeatLimiter& Limiter()
{
    static RepeatLimiter limiter;
    return limiter;
}

// Writes text to stderr; colour codes go only to a terminal. The caller
// holds the output lock.
void Write(const std::string& text)
{
    if (text.empty())
        return;
    const std::string shown =
        text.find('\x1b') != std::string::npos && isatty(fileno(stderr)) == 0 ? WithoutColour(text) : text;
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fflush(stderr);
}

void Emit(const std::string& text, bool chatty)
{
    {
        std::lock_guard<std::mutex> lock(CaptureMutex());
        for (DebugCapture* c : Captures())
            c->Append(text);
    }
    if (chatty && DebugQuiet())
        return;
    std::lock_guard<std::mutex> lock(OutputMutex());
    Write(Limiter().Take(text, CurrentClock().MonotonicMs()));
}

std::string Format(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(big.data(), big.size(), fmt, args);
    big.resize(static_cast<size_t>(n));
    return big;
}

} // namespace

void DebugFlushRepeats()
{
    std::lock_guard<std::mutex> lock(OutputMutex());
    Write(Limiter().Flush());
}

void DebugResetRepeats()
{
    std::lock_guard<std::mutex> lock(OutputMutex());
    Limiter().Reset();
}

bool DebugQuiet()
{
    const char* q = std::getenv("ZU_QUIET");
    return q != nullptr && q[0] != '\0' && std::strcmp(q, "0") != 0;
}

void OutputDebugStringA(const char* text)
{
    if (text != nullptr)
        Emit(text, false);
}

void DebugPrintf(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string text = Format(fmt, args);
    va_end(args);
    Emit(text, false);
}

void DebugChatty(const char* fmt, ...)
{
    if (g_captureCount.load(std::memory_order_relaxed) == 0 && DebugQuiet())
        return;
    va_list args;
    va_start(args, fmt);
    std::string text = Format(fmt, args);
    va_end(args);
    Emit(text, true);
}

DebugCapture::DebugCapture()
{
    std::lock_guard<std::mutex> lock(CaptureMutex());
    Captures().push_back(this);
    g_captureCount.fetch_add(1);
}

DebugCapture::~DebugCapture()
{
    {
        std::lock_guard<std::mutex> lock(CaptureMutex());
        auto& c = Captures();
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    g_captureCount.fetch_sub(1);
}

std::string DebugCapture::Text() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

bool DebugCapture::Contains(const std::string& fragment) const
{
    return Text().find(fragment) != std::string::npos;
}

void DebugCapture::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    text_.clear();
}

void DebugCapture::Append(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    text_ += text;
}
