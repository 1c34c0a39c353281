#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "support/ZuTest.h"

namespace {

using PathsTest = ZuTest;

TEST_F(PathsTest, MakesEveryLevelOfTheDataFolderAndKeepsWhatExists)
{
    ASSERT_TRUE(MakeFolder(Home() + "/Documents"));   // one level there, with a file that must survive
    WriteText(Home() + "/Documents/keep.txt", "mine");

    ASSERT_TRUE(Paths::MakeDataFolders());
    EXPECT_EQ(Paths::DataFolder(), Home() + "/Documents/Corvane/ZuOrbSimulators/Orb");
    for (const std::string& f : {Paths::DataFolder(), Paths::ScriptsFolder(), Paths::ReportsFolder(),
                                 Paths::BackupsFolder(), Paths::IdentsFolder(), Paths::InstrumentFolder()}) {
        EXPECT_TRUE(FolderExists(f)) << f;
        EXPECT_EQ(f.rfind(Paths::DataFolder(), 0), 0u) << f;
    }
    EXPECT_EQ(ReadText(Home() + "/Documents/keep.txt"), "mine");
    EXPECT_TRUE(Paths::MakeDataFolders()) << "a second start finds everything in place";
}

TEST_F(PathsTest, FailsWhenALevelCannotBeMade)
{
    WriteText(Home() + "/Documents", "a file, not a folder");
    EXPECT_FALSE(Paths::MakeDataFolders());
}

TEST_F(PathsTest, InstrumentPathsStayInsideTheDataFolder)
{
    const std::string mmc = Paths::InstrumentFolder();
    EXPECT_EQ(Paths::MapInstrumentPath("/mnt/mmc/screendumps/index.html"), mmc + "/screendumps/index.html");
    EXPECT_EQ(Paths::MapInstrumentPath("/mnt/mmc"), mmc);
    EXPECT_EQ(Paths::MapInstrumentPath("/mnt/usb/x"), Paths::DataFolder() + "/mnt/usb/x");
    EXPECT_EQ(Paths::MapInstrumentPath("/mnt/mmcx/y"), Paths::DataFolder() + "/mnt/mmcx/y");
    EXPECT_EQ(Paths::MapInstrumentPath("./system.cfg"), "./system.cfg");
    EXPECT_EQ(Paths::MapInstrumentPath("/tmp/x"), "/tmp/x");
}

} // namespace
