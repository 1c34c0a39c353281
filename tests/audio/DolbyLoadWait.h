// Waiting for the Dolby generator's loader thread in tests.
#pragma once

#include "audio/dolby/TpDolbyGenerator.h"
#include "core/store/TpStore.h"

#include <chrono>
#include <string>
#include <thread>

// Ticks the store until the generator has taken in the stream at path and its
// loader is idle; false when that has not come about within about ten seconds.
inline bool TickUntilPlaying(TpStore& store, const TpDolbyGenerator& gen, const std::string& path)
{
    auto playing = [&] { return gen.LoadedName() == path && gen.GetLoaderState() == TpDolbyGenerator::kIdle; };
    for (int i = 0; i < 200000 && !playing(); ++i) {
        store.Tick();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return playing();
}
