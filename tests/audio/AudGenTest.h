// Fixture of the audio generator tests: a store, the settings file, the
// recorder of the board's audio calls, a recording application, the dialogs'
// source lists and a generator built as the application builds it.
#pragma once

#include "BoardTest.h"
#include "FakeAudioHardware.h"

#include "audio/TpAudGenerator.h"
#include "core/TpApplication.h"
#include "core/TpCommand.h"
#include "core/TpIniFile.h"
#include "core/TpStore.h"
#include "KrZuApi.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

// What the generator reports to the application.
class RecordingApp : public TpApplication {
public:
    struct Level {
        int dest;
        double gain;
        uint32_t code;
    };
    struct Output {
        int left, right;
        double leftGain, rightGain;
    };

    void SetLevel(int dest, double level, uint32_t flags) override { levels.push_back({dest, level, flags}); }
    void SetOutputParams(int a, int b, double c, double d) override { outputs.push_back({a, b, c, d}); }
    bool ServiceKeysHeld() const override { return serviceKeys; }

    // The last level reported for a channel; dest -1 when none was.
    Level LastLevel(int dest) const
    {
        for (auto it = levels.rbegin(); it != levels.rend(); ++it)
            if (it->dest == dest)
                return *it;
        return {-1, 0.0, 0};
    }

    std::vector<Level> levels;
    std::vector<Output> outputs;
    bool serviceKeys = false;
};

inline double Linear(double db) { return std::pow(10.0, db / 20.0); }

// Command ids of pair p (0-7), side s (0 left, 1 right).
inline unsigned SourceId(int p, int s) { return COM_GEN_AUDIO_SOURCE_G1_P1_L + 2 * p + s; }
inline unsigned LevelId(int p, int s) { return COM_GEN_AUDIO_LEVEL_VAR_G1_P1_L + 2 * p + s; }
inline unsigned InvertId(int p, int s) { return COM_GEN_AUDIO_INV_G1_P1_L + 2 * p + s; }
inline unsigned FreqId(int p, int s) { return COM_GEN_AUDIO_FREQ_VAR_G1_P1_L + 2 * p + s; }
inline unsigned SubSourceId(int p, int s) { return COM_GEN_AUDIO_SUBSOURCE_G1_P1_L + 2 * p + s; }
inline unsigned LinkId(int p) { return COM_GEN_AUDIO_LINK_G1_P1 + p; }
inline unsigned GroupId(int g) { return COM_GEN_AUDIO_ON_G1 + g; }

// Adds the reset of the shared oscillator bank to the tests' reset hooks.
void InstallAudioResetHook();

class AudGenTest : public BoardTest {
protected:
    AudGenTest() { InstallAudioResetHook(); }
    void SetUp() override;
    void TearDown() override;

    void MakeGenerator(bool aesItems = true, bool streamItems = true);
    int32_t Set(unsigned id, int32_t value) { return store->SetValue(id, value); }
    int32_t Get(unsigned id) const { return store->GetValue(id); }
    TpCommand* Cmd(unsigned id) const { return store->GetCmd(id); }
    void AllGroupsOn();

    // The recorded board calls starting with prefix, and whether one equal to call was made.
    std::vector<std::string> Calls(const std::string& prefix) const { return audio.CallsOf(prefix); }
    bool Called(const std::string& call) const;
    void ClearCalls();
    // A gain as the recorder writes it.
    static std::string GainText(double gain);

    FakeAudioHardware audio;
    RecordingApp app;
    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpIniFile> settings;
    std::vector<std::unique_ptr<TpCommand>> views;   // the dialogs' source lists
    std::unique_ptr<TpAudGenerator> gen;
};
