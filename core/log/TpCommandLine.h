// The command-line console: named commands that lines of text run (typed on
// the host, or sent by remote clients as type-3 messages). A line is a
// command word followed by argument words; the numeric value of each
// argument word is left in the process-wide argument words for the handler
// to read (0 for a word not given or not a number; decimal, or hexadecimal
// with "0x").
//
// A typed word names a command when it is the command's whole name, or a
// beginning of it at least the command's minimum abbreviation long; letters
// match whatever their case. A whole name wins over abbreviations; among
// abbreviations the command registered first wins.
//
// Runs on the application thread. One console per application; AddCommand
// registers with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TpCommandLine {
public:
    // Called with the argument given at registration.
    using Handler = std::function<void(int argument)>;
    static constexpr int kArgWords = 8;

    TpCommandLine();
    ~TpCommandLine();
    TpCommandLine(const TpCommandLine&) = delete;
    TpCommandLine& operator=(const TpCommandLine&) = delete;

    static TpCommandLine* Instance();

    // False (and nothing registered) for an empty name, a name with a space,
    // a name already registered or no handler.
    bool Add(const std::string& name, int minAbbreviation, int argument, Handler handler);
    // Runs one line; false when it is empty or names no command ("Unknown
    // command: %s" is printed for the latter).
    bool RunLine(const std::string& line);
    size_t CommandCount() const { return commands_.size(); }

    // The argument words of the line being run (0 when not given).
    static int32_t ArgWord(int index);
    static int ArgCount();
    // The text of the line after the command word.
    static std::string ArgText();
    // Clears the argument words.
    static void ResetArgs();

private:
    struct Command {
        std::string name;
        int minAbbreviation;
        int argument;
        Handler handler;
    };
    const Command* Find(const std::string& word) const;

    std::vector<Command> commands_;
};

// Registers a console command with the application's console; false when
// there is no console or the console refuses it.
bool AddCommand(const std::string& name, int minAbbreviation, int argument, TpCommandLine::Handler handler);
