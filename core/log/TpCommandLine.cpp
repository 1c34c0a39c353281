#include "TpCommandLine.h"

#include "platform/DebugOut.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace {

TpCommandLine* g_console = nullptr;

struct ArgState {
    int32_t words[TpCommandLine::kArgWords] = {};
    int count = 0;
    std::string text;
};

ArgState& Args()
{
    static ArgState a;
    return a;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i]))
            ++i;
        size_t start = i;
        while (i < line.size() && !IsSpace(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// The number a word stands for; 0 when it is not one. Out-of-range numbers
// are held at the nearest 32-bit value.
int32_t WordValue(const std::string& word)
{
    const char* s = word.c_str();
    const char* digits = (*s == '-' || *s == '+') ? s + 1 : s;
    int base = (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) ? 16 : 10;
    char* end = nullptr;
    long long v = std::strtoll(s, &end, base);
    if (end == s || *end != '\0')
        return 0;
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

bool SameLetters(const std::string& a, const std::string& b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

TpCommandLine::TpCommandLine()
{
    g_console = this;
}

TpCommandLine::~TpCommandLine()
{
    if (g_console == this)
        g_console = nullptr;
}

TpCommandLine* TpCommandLine::Instance()
{
    return g_console;
}

bool TpCommandLine::Add(const std::string& name, int minAbbreviation, int argument, Handler handler)
{
    if (name.empty() || !handler)
        return false;
    for (char c : name)
        if (IsSpace(c))
            return false;
    for (const Command& c : commands_)
        if (c.name.size() == name.size() && SameLetters(c.name, name, name.size())) {
            DebugPrintf("ERROR: console command \"%s\" is already registered\n", name.c_str());
            return false;
        }
    commands_.push_back(Command{name, minAbbreviation, argument, std::move(handler)});
    return true;
}

const TpCommandLine::Command* TpCommandLine::Find(const std::string& word) const
{
    for (const Command& c : commands_)
        if (c.name.size() == word.size() && SameLetters(c.name, word, word.size()))
            return &c;
    for (const Command& c : commands_) {
        const size_t least = static_cast<size_t>(std::max(1, std::min<int>(c.minAbbreviation, static_cast<int>(c.name.size()))));
        if (word.size() >= least && word.size() <= c.name.size() && SameLetters(c.name, word, word.size()))
            return &c;
    }
    return nullptr;
}

bool TpCommandLine::RunLine(const std::string& line)
{
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return false;
    const Command* command = Find(words[0]);
    if (command == nullptr) {
        DebugPrintf("Unknown command: %s\n", words[0].c_str());
        return false;
    }
    ArgState& args = Args();
    args = ArgState();
    args.count = static_cast<int>(words.size()) - 1;
    for (int i = 0; i < args.count && i < kArgWords; ++i)
        args.words[i] = WordValue(words[static_cast<size_t>(i) + 1]);
    size_t first = line.find(words[0]) + words[0].size();
    while (first < line.size() && IsSpace(line[first]))
        ++first;
    args.text = line.substr(first);
    while (!args.text.empty() && IsSpace(args.text.back()))
        args.text.pop_back();
    // The handler may register commands (moving the list): call a copy.
    Handler handler = command->handler;
    handler(command->argument);
    return true;
}

int32_t TpCommandLine::ArgWord(int index)
{
    return index >= 0 && index < kArgWords ? Args().words[index] : 0;
}

int TpCommandLine::ArgCount()
{
    return Args().count;
}

std::string TpCommandLine::ArgText()
{
    return Args().text;
}

void TpCommandLine::ResetArgs()
{
    Args() = ArgState();
}

bool AddCommand(const std::string& name, int minAbbreviation, int argument, TpCommandLine::Handler handler)
{
    TpCommandLine* console = TpCommandLine::Instance();
    if (console == nullptr) {
        DebugPrintf("ERROR: no console for the command \"%s\"\n", name.c_str());
        return false;
    }
    return console->Add(name, minAbbreviation, argument, std::move(handler));
}
