#include "AudGenTest.h"

#include "audio/TpAudOscillators.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

void InstallAudioResetHook()
{
    static std::once_flag once;
    std::call_once(once, [] { ZuTest::AddResetHook(&TpAudOscillators::ResetShared); });
}

void AudGenTest::SetUp()
{
    BoardTest::SetUp();
    SetAudioHardware(&audio);
    store = std::make_unique<TpStore>();
    settings = std::make_unique<TpIniFile>("./system.cfg");
    // Ten sources for each side, twenty for the AES output.
    auto list = [this](unsigned id, int items) {
        views.push_back(std::make_unique<TpCommand>(static_cast<int>(id), 1));
        for (int i = 0; i < items; ++i)
            views.back()->AddItem("item " + std::to_string(i), i);
    };
    for (int p = 0; p < kAudGenPairs; ++p)
        for (int s = 0; s < 2; ++s)
            list(SourceId(p, s), 10);
    list(COM_GEN_AUDIO_AES_OUT_SOURCE, 20);
    MakeGenerator();
}

void AudGenTest::TearDown()
{
    gen.reset();
    views.clear();
    settings.reset();
    store.reset();
    SetAudioHardware(nullptr);
    BoardTest::TearDown();
}

void AudGenTest::MakeGenerator(bool aesItems, bool streamItems)
{
    gen.reset();
    gen = std::make_unique<TpAudGenerator>(&app, *settings, kAudGenCmdIds, aesItems, streamItems, master_level_table,
                                           kMasterLevelCount);
}

void AudGenTest::AllGroupsOn()
{
    for (int g = 0; g < kAudGenGroups; ++g)
        Set(GroupId(g), 1);
}

bool AudGenTest::Called(const std::string& call) const
{
    return std::find(audio.calls.begin(), audio.calls.end(), call) != audio.calls.end();
}

void AudGenTest::ClearCalls()
{
    audio.calls.clear();
    app.levels.clear();
    app.outputs.clear();
}

std::string AudGenTest::GainText(double gain)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", gain);
    return text;
}
