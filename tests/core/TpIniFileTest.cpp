// Settings files: exact text written, read back, hand-written files, texts that would corrupt it, failed saves.
#include "core/files/TpIniFile.h"
#include "support/ZuTest.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using TpIniFileTest = ZuTest;

TEST_F(TpIniFileTest, WritesTheExactTextAndRefusesTextsThatWouldCorruptIt)
{
    TpIniFile ini("./system.cfg");
    EXPECT_TRUE(ini.SetUInt("", "Port", 2101));
    EXPECT_TRUE(ini.SetString("", "HostName", "orb"));
    EXPECT_TRUE(ini.SetInt("Audio", "audoutgainleft", -12));
    EXPECT_TRUE(ini.SetString("", "Port", "2100"));   // replaces in place
    const std::string text = "Port=2100\nHostName=orb\n[Audio]\naudoutgainleft=-12\n";
    EXPECT_EQ(ReadText("system.cfg"), text);
    EXPECT_EQ(ini.Text(), text);

    EXPECT_FALSE(ini.SetString("", "", "x"));
    EXPECT_FALSE(ini.SetString("", "a=b", "x"));
    EXPECT_FALSE(ini.SetString("", "Port", "1\n[Evil]"));
    EXPECT_FALSE(ini.SetString("Sec]tion", "k", "v"));
    EXPECT_FALSE(ini.SetString("Line\nBreak", "k", "v"));
    EXPECT_EQ(ReadText("system.cfg"), text);
    EXPECT_EQ(ini.GetString("", "Port", ""), "2100");
}

TEST_F(TpIniFileTest, ReadsBackWhatWasWritten)
{
    {
        TpIniFile ini("system.cfg");
        ini.SetUInt("", "Port", 4000000000u);
        ini.SetInt("", "Gain", -300);
        ini.SetString("Net", "IpAddress", "192.168.1.20");
        ini.SetString("Net", "Empty", "");
    }
    TpIniFile ini("system.cfg");
    EXPECT_EQ(ini.GetUInt("", "Port", 1), 4000000000u);
    EXPECT_EQ(ini.GetInt("", "Gain", 0), -300);
    EXPECT_EQ(ini.GetString("Net", "IpAddress", "x"), "192.168.1.20");
    EXPECT_EQ(ini.GetString("Net", "Empty", "x"), "");
    // Missing sections and non-numbers give the default.
    EXPECT_EQ(ini.GetString("Other", "IpAddress", "dflt"), "dflt");
    EXPECT_EQ(ini.GetInt("Net", "IpAddress", 7), 7);
    EXPECT_EQ(ini.GetUInt("", "Gain", 9), 9u) << "negative text is no unsigned number";
    EXPECT_EQ(ini.GetInt("", "Port", 5), 5) << "out of the signed range";

    TpIniFile missing("nothing.cfg");   // a missing file is an empty set
    EXPECT_EQ(missing.GetString("", "Port", "2100"), "2100");
    EXPECT_TRUE(missing.Save());
    EXPECT_EQ(ReadText("nothing.cfg"), "");
}

TEST_F(TpIniFileTest, ReadsHandWrittenFiles)
{
    WriteText("system.cfg",
              "; settings\r\nPort = 2102\r\n\r\n[]\r\nDNS=1\r\n[Net]\r\nMask=0x10\r\nbroken line\r\n");
    TpIniFile ini("system.cfg");
    EXPECT_EQ(ini.GetUInt("", "Port", 0), 2102u);
    EXPECT_EQ(ini.GetUInt("", "DNS", 0), 1u) << "\"[]\" is the unnamed section";
    EXPECT_EQ(ini.GetInt("Net", "Mask", 0), 16);
    // A set keeps the comment and the unknown line.
    ASSERT_TRUE(ini.SetString("Net", "Mask", "255"));
    EXPECT_EQ(ReadText("system.cfg"), "; settings\nPort=2102\nDNS=1\n[Net]\nMask=255\nbroken line\n");
}

TEST_F(TpIniFileTest, FailedSaveKeepsTheOldFile)
{
    ASSERT_EQ(mkdir("cfg", 0700), 0);
    TpIniFile ini("cfg/system.cfg");
    ASSERT_TRUE(ini.SetString("", "Port", "2100"));
    TpIniFile lost("gone/system.cfg");   // no folder: the save fails and says so
    EXPECT_FALSE(lost.SetString("", "Port", "2101"));
    EXPECT_EQ(lost.GetString("", "Port", ""), "2101") << "the value is kept for a later save";

    // A full disk: writes beyond a small size fail part-way.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = ini.SetString("", "HostName", std::string(1000, 'h'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadText("cfg/system.cfg"), "Port=2100\n") << "never a truncated file";
}

} // namespace
