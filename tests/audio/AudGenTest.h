// Fixture of the audio generator tests: store, settings, recorded board calls and application, source lists, generator.
#pragma once

#include "BoardTest.h"
#include "FakeAudioHardware.h"

#include "KrZuApi.h"
#include "audio/generator/TpAudGenerator.h"
#include "audio/generator/TpAudOscillators.h"
#include "core/store/TpApplication.h"
#include "core/store/TpCommand.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
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
    void SetOutputParams(int leftCode, int rightCode, double leftGain, double rightGain) override
    {
        outputs.push_back({leftCode, rightCode, leftGain, rightGain});
    }
    bool ServiceKeysHeld() const override { return serviceKeys; }
    // The last level reported for a channel; dest -1 when none was.
    Level LastLevel(int dest) const
    {
        auto it = std::find_if(levels.rbegin(), levels.rend(), [dest](const Level& l) { return l.dest == dest; });
        return it == levels.rend() ? Level {-1, 0.0, 0} : *it;
    }

    std::vector<Level> levels;
    std::vector<Output> outputs;
    bool serviceKeys = false;
};

inline double Linear(double db) { return std::pow(10.0, db / 20.0); }
// A gain as the recorder writes it.
inline std::string GainText(double gain)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", gain);
    return text;
}

// Command ids of pair p (0-7), side s (0 left, 1 right).
inline unsigned SourceId(int p, int s) { return COM_GEN_AUDIO_SOURCE_G1_P1_L + 2 * p + s; }
inline unsigned LevelId(int p, int s) { return COM_GEN_AUDIO_LEVEL_VAR_G1_P1_L + 2 * p + s; }
inline unsigned InvertId(int p, int s) { return COM_GEN_AUDIO_INV_G1_P1_L + 2 * p + s; }
inline unsigned FreqId(int p, int s) { return COM_GEN_AUDIO_FREQ_VAR_G1_P1_L + 2 * p + s; }
inline unsigned SubSourceId(int p, int s) { return COM_GEN_AUDIO_SUBSOURCE_G1_P1_L + 2 * p + s; }
inline unsigned LinkId(int p) { return COM_GEN_AUDIO_LINK_G1_P1 + p; }
inline unsigned GroupId(int g) { return COM_GEN_AUDIO_ON_G1 + g; }

// Adds the reset of the shared oscillator bank to the tests' reset hooks.
inline void InstallAudioResetHook()
{
    static std::once_flag once;
    std::call_once(once, [] { ZuTest::AddResetHook(&TpAudOscillators::ResetShared); });
}

class AudGenTest : public BoardTest {
protected:
    AudGenTest() { InstallAudioResetHook(); }
    void SetUp() override
    {
        BoardTest::SetUp();
        SetAudioHardware(&audio);
        store = std::make_unique<TpStore>();
        settings = std::make_unique<TpIniFile>("./system.cfg");
        // Ten sources for each side, twenty for the AES output.
        auto list = [this](unsigned id, int items) {
            views.push_back(std::make_unique<TpCommand>(static_cast<int>(id), kKeepsValue));
            for (int i = 0; i < items; ++i)
                views.back()->AddItem("item " + std::to_string(i), i);
        };
        for (int p = 0; p < kAudGenPairs; ++p)
            for (int s = 0; s < 2; ++s)
                list(SourceId(p, s), 10);
        list(COM_GEN_AUDIO_AES_OUT_SOURCE, 20);
        MakeGenerator();
    }
    void TearDown() override
    {
        gen.reset();
        views.clear();
        settings.reset();
        store.reset();
        SetAudioHardware(nullptr);
        BoardTest::TearDown();
    }

    void MakeGenerator(bool aesItems = true, bool streamItems = true)
    {
        gen.reset();
        gen = std::make_unique<TpAudGenerator>(&app, *settings, kAudGenCmdIds, aesItems, streamItems,
                                               master_level_table, kMasterLevelCount);
    }
    int32_t Set(unsigned id, int32_t value) { return store->SetValue(id, value); }
    int32_t Get(unsigned id) const { return store->GetValue(id); }
    TpCommand* Cmd(unsigned id) const { return store->GetCmd(id); }
    void AllGroupsOn()
    {
        for (int g = 0; g < kAudGenGroups; ++g)
            Set(GroupId(g), 1);
    }
    // The recorded board calls starting with prefix, and whether one equal to call was made.
    std::vector<std::string> Calls(const std::string& prefix) const { return audio.CallsOf(prefix); }
    bool Called(const std::string& call) const
    {
        return std::find(audio.calls.begin(), audio.calls.end(), call) != audio.calls.end();
    }
    void ClearCalls()
    {
        audio.calls.clear();
        app.levels.clear();
        app.outputs.clear();
    }

    FakeAudioHardware audio;
    RecordingApp app;
    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpIniFile> settings;
    std::vector<std::unique_ptr<TpCommand>> views;   // the dialogs' source lists
    std::unique_ptr<TpAudGenerator> gen;
};
