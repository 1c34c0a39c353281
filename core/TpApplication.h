// What the audio generator needs of the application: levels and output
// parameters for the audio monitors.
#pragma once

#include <cstdint>

class TpApplication {
public:
    virtual ~TpApplication() = default;
    // dest 0-15: a generated channel's level (signed linear gain) and flags.
    virtual void SetLevel(int dest, double level, uint32_t flags) = 0;
    virtual void SetOutputParams(int a, int b, double c, double d) = 0;
};
