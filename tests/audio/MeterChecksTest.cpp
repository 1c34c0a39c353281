// The meter checks as steps of a script run.
#include "remote/ScriptsTest.h"

#include "analysis/TpAnalyser.h"
#include "audio/meters/TpThreshold.h"
#include "core/text/TextTable.h"

TEST_F(ScriptsTest, MeterChecksReportLoggedMetersAwayFromTheirLevel)
{
    TpAnalyser analyser;
    TpAudioMeters& meters = analyser.Meters();
    // Pairs 1, 3 and 4 logged; every update reads 0 dB, which is neither the
    // reference nor off. Laid out for the AES monitor, the first bank shows
    // pairs 1-3 only.
    for (unsigned pair : {0, 2, 3})
        Set(COM_ANLYS_LOG_AUDIO_PAIR_1 + pair, 1);
    Set(COM_ANLYS_METER_1_8_SOURCE_TYPE, 6);
    UseScript({"2,CHECK_METER_LEVEL,", "2,CHECK_METER_OFF_LEVEL,"});
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    page->ToggleRun();
    for (int s = 0; s < 6 && page->IsRunning(); ++s) {
        analyser.Update();
        RunSeconds(1, 2);
    }
    EXPECT_FALSE(page->IsRunning());
    EXPECT_GE(Events(GetText(143) + " Expect Norm 1 0dB"), 1);
    EXPECT_GE(Events(GetText(143) + " Expect Off 2 0dB"), 1);
    EXPECT_EQ(Events("Expect Norm 3 "), 0) << "pair 2 is not logged";
    EXPECT_GE(Events("Expect Off 6 "), 1);
    EXPECT_EQ(Events("Expect Norm 7 ") + Events("Expect Off 8 "), 0) << "pair 4 is not laid out";
    EXPECT_TRUE(debug->Contains("Emb Audio ErrorCount="));

    // Direct reports: only while running; off fails from -6.9 dB up.
    ScriptStep step;
    meters.OffCheck().StartAction(step);
    meters.ReportOff(1, -700);
    meters.ReportOff(1, -690);
    meters.LevelCheck().StartAction(step);
    meters.ReportLevel(1, -180, -180);
    meters.ReportLevel(1, -179, -180);
    EXPECT_EQ(meters.OffCheck().EndAction(1), 1u);
    EXPECT_EQ(meters.LevelCheck().EndAction(1), 1u);
    const std::string report = page->ReportText();
    meters.LevelCheck().StartAction(step);
    EXPECT_EQ(meters.LevelCheck().EndAction(1), 0u);
    EXPECT_TRUE(debug->Contains("Emb Audio ErrorCount=0"));
    EXPECT_EQ(page->ReportText(), report + "<div>OK</div>\n");
}
