#include "AudGenTest.h"

#include "audio/TpAudOscillators.h"

#include <cstdio>
#include <mutex>

namespace {
std::unique_ptr<TpCommand> ListView(unsigned id, int items)
{
    auto view = std::make_unique<TpCommand>(static_cast<int>(id), 1);
    for (int i = 0; i < items; ++i)
        view->AddItem("item " + std::to_string(i), i);
    return view;
}
} // namespace

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
    for (int p = 0; p < kAudGenPairs; ++p)
        for (int s = 0; s < 2; ++s)
            views.push_back(ListView(SourceId(p, s), 10));
    views.push_back(ListView(COM_GEN_AUDIO_AES_OUT_SOURCE, 20));
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
    for (const std::string& c : audio.calls)
        if (c == call)
            return true;
    return false;
}

std::string AudGenTest::GainText(double gain)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", gain);
    return text;
}

double AudGenTest::LastRouteGain(int channel) const
{
    const std::string prefix = "RouteSetGain(" + std::to_string(channel) + ",";
    const auto calls = audio.CallsOf(prefix);
    if (calls.empty())
        return NAN;
    return std::stod(calls.back().substr(prefix.size()));
}
