// The console: which typed words name which command, and the numbers a handler finds in the argument words.
#include "core/log/TpCommandLine.h"
#include "support/ZuTest.h"

#include <string>
#include <vector>

namespace {

class CommandLine : public ZuTest {
protected:
    TpCommandLine console;
    std::vector<std::string> ran;

    void Register(const std::string& name, int least)
    {
        ASSERT_TRUE(AddCommand(name, least, 0, [this, name](int) { ran.push_back(name); }));
    }
};

TEST_F(CommandLine, AWordNamesACommandByAnAbbreviationAtLeastItsMinimum)
{
    Register("audincal", 6);
    Register("dumpdolby", 6);
    Register("paspacing", 3);
    Register("dump", 4);

    // typed line, command run ("" for none)
    static constexpr std::pair<const char*, const char*> kRows[] = {
        {"audincal", "audincal"}, {"audinc", "audincal"}, {"AUDINCA 1", "audincal"}, {"audin", ""},
        {"audincalx", ""},        {"pas", "paspacing"},   {"pa", ""},               {"dump", "dump"},
        {"dumpd", ""},            {"dumpdo", "dumpdolby"}, {"  paspacing  ", "paspacing"}, {" \r\n", ""},
    };
    for (const auto& [line, runs] : kRows) {
        ran.clear();
        const bool expected = runs[0] != '\0';
        EXPECT_EQ(console.RunLine(line), expected) << line;
        EXPECT_EQ(ran, expected ? std::vector<std::string>{runs} : std::vector<std::string>{}) << line;
    }
    EXPECT_TRUE(debug->Contains("Unknown command: audin"));
    EXPECT_FALSE(console.RunLine(""));

    // Registrations that cannot work are refused.
    EXPECT_FALSE(AddCommand("AUDINCAL", 3, 0, [](int) {}));
    EXPECT_FALSE(AddCommand("", 1, 0, [](int) {}));
    EXPECT_FALSE(AddCommand("two words", 1, 0, [](int) {}));
    EXPECT_FALSE(AddCommand("nohandler", 1, 0, nullptr));
    EXPECT_EQ(console.CommandCount(), 4u);
}

TEST_F(CommandLine, HandlersReadTheArgumentWords)
{
    int argument = -1;
    std::vector<int32_t> words;
    std::string text;
    ASSERT_TRUE(AddCommand("dumpdolby", 6, 42, [&](int arg) {
        argument = arg;
        words.clear();
        for (int i = 0; i < 4; ++i)
            words.push_back(TpCommandLine::ArgWord(i));
        text = TpCommandLine::ArgText();
    }));

    ASSERT_TRUE(console.RunLine("dumpdolby 12 0x10 -3\r\n"));
    EXPECT_EQ(argument, 42);
    EXPECT_EQ(words, (std::vector<int32_t>{12, 16, -3, 0}));
    EXPECT_EQ(TpCommandLine::ArgCount(), 3);
    EXPECT_EQ(text, "12 0x10 -3");

    ASSERT_TRUE(console.RunLine("dumpdolby"));   // nothing left over from the last line
    EXPECT_EQ(words, (std::vector<int32_t>{0, 0, 0, 0}));

    ASSERT_TRUE(console.RunLine("dumpdolby abc 99999999999 7x"));
    EXPECT_EQ(words, (std::vector<int32_t>{0, INT32_MAX, 0, 0}));
    EXPECT_EQ(TpCommandLine::ArgWord(-1), 0);
    EXPECT_EQ(TpCommandLine::ArgWord(TpCommandLine::kArgWords), 0);
}

} // namespace
