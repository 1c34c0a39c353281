// The LCD image files: "PcSimLcd.bmp" in the data folder, the numbered
// screen dumps in their one folder, and the screen dumps named by scripts.
#include "BoardTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/LcdFrame.h"
#include "sim/LcdImageFiles.h"
#include "sim/TpTFTBitmap.h"

#include <string>

namespace {

class LcdImageFiles : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        SimLcdFrame().Fill(0x336699);
    }
    static std::string FileBytes(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }
};

} // namespace

TEST_F(LcdImageFiles, SavedImageIsTheFrameInTheDataFolder)
{
    EXPECT_EQ(LcdImagePath(), Home() + "/Documents/Corvane/ZuOrbSimulators/Orb/PcSimLcd.bmp");
    ASSERT_TRUE(SaveLcdImage());
    EXPECT_EQ(FileBytes(LcdImagePath()), TpTFTBitmap().Bytes());
}

TEST_F(LcdImageFiles, ScreenDumpsTakeTheNextFreeNumber)
{
    const std::string folder = ScreenDumpFolder();
    EXPECT_EQ(folder, Paths::DataFolder() + "/mmc/screendumps") << "mapped, never the host's /mnt";

    EXPECT_EQ(ScreenDump(), "scrndump0.bmp");
    EXPECT_EQ(ScreenDump(), "scrndump1.bmp");
    WriteText(folder + "/scrndump2.bmp", "kept");
    SimLcdFrame().Fill(0x000080);
    EXPECT_EQ(ScreenDump(), "scrndump3.bmp");

    EXPECT_EQ(ReadText(folder + "/scrndump2.bmp"), "kept") << "an existing file is never overwritten";
    EXPECT_EQ(FileBytes(folder + "/scrndump0.bmp").size(), 391734u);
    EXPECT_EQ(FileBytes(folder + "/scrndump3.bmp"), TpTFTBitmap().Bytes());
}

TEST_F(LcdImageFiles, ScreenDumpReportsAFolderItCannotMake)
{
    ASSERT_TRUE(Paths::MakeDataFolders());
    WriteText(ScreenDumpFolder(), "a file where the folder should be");
    EXPECT_EQ(ScreenDump(), "");
    EXPECT_TRUE(debug->Contains("ERROR: Couldn't make folder"));
}

TEST_F(LcdImageFiles, ScriptScreenDumpsGetTheirExtensionAndInstrumentPathsAreMapped)
{
    ASSERT_TRUE(SaveScriptScreenDump("step4"));
    EXPECT_EQ(FileBytes("step4.bmp"), TpTFTBitmap().Bytes());
    EXPECT_TRUE(debug->Contains("\nName of Script Screen Dump=step4.bmp\n"));

    ASSERT_TRUE(Paths::MakeDataFolders());
    ASSERT_TRUE(SaveScriptScreenDump("/mnt/mmc/shot"));
    EXPECT_EQ(FileBytes(Paths::InstrumentFolder() + "/shot.bmp").size(), 391734u);

    EXPECT_FALSE(SaveScriptScreenDump(""));
    EXPECT_FALSE(SaveScriptScreenDump("missing/folder/shot"));
    EXPECT_TRUE(debug->Contains("ERROR: Couldn't write LCD image missing/folder/shot.bmp"));
}
