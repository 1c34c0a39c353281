// The simulated emSFP module's settings, changed from outside the process
// through console commands.
#include "BoardTest.h"

#include "sim/EmSfpSimFlags.h"
#include "sim/SimReset.h"

#include <map>
#include <string>
#include <vector>

namespace {

class EmSfpSimFlagsTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        RegisterEmSfpSimCommands([this](const std::string& name, int abbreviation, ConsoleCommandHandler handler) {
            abbreviations[name] = abbreviation;
            handlers[name] = std::move(handler);
        });
    }
    void Run(const std::string& name, const std::vector<std::string>& args = {})
    {
        ASSERT_EQ(handlers.count(name), 1u) << name;
        handlers[name](args);
    }

    std::map<std::string, int> abbreviations;
    std::map<std::string, ConsoleCommandHandler> handlers;
};

} // namespace

TEST_F(EmSfpSimFlagsTest, CommandsToggleOrSetTheFlagsAndRefuseBadArguments)
{
    EXPECT_EQ(abbreviations, (std::map<std::string, int> {{"emsfp2022", 6}, {"emsfpdecap", 6}, {"emsfpipmode", 6}}));
    const EmSfpSimFlags& flags = SimEmSfpFlags();
    Run("emsfp2022");
    EXPECT_EQ(flags.Mode2022(), 1);
    EXPECT_EQ(debug->Text(), "emSFP 2022-6=1 Decap=0 IpMode=0\n");
    Run("emsfp2022");
    Run("emsfpipmode");
    EXPECT_EQ(flags.Mode2022(), 0);
    EXPECT_TRUE(debug->Contains("emSFP 2022-6=0 Decap=0 IpMode=1\n"));

    Run("emsfpdecap", {"1"});
    Run("emsfpdecap", {"1"});
    EXPECT_EQ(flags.Decapsulation(), 1);
    Run("emsfpdecap", {"0"});
    EXPECT_EQ(flags.Decapsulation(), 0);

    debug->Clear();
    for (const std::vector<std::string>& bad : {std::vector<std::string> {"2"}, {"1", "0"}, {"on"}})
        Run("emsfpipmode", bad);
    EXPECT_EQ(flags.IpMode(), 1);
    EXPECT_EQ(debug->Text(), "Usage: emsfpipmode [0|1]\nUsage: emsfpipmode [0|1]\nUsage: emsfpipmode [0|1]\n");
}

TEST_F(EmSfpSimFlagsTest, FlagsAreBytesOfZeroOrOne)
{
    EmSfpSimFlags& flags = SimEmSfpFlags();
    flags.SetMode2022(5);
    flags.SetDecapsulation(0x80);
    EXPECT_EQ(flags.Mode2022(), 1);
    EXPECT_EQ(flags.Decapsulation(), 1);
    SimReset();
    EXPECT_EQ(flags.Mode2022(), 0);
    EXPECT_EQ(flags.Decapsulation(), 0);
}
