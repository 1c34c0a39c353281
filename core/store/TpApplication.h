// What the audio generator needs of the application: levels and output
// parameters for the audio monitors, and whether the service keys were held
// at power-on.
#pragma once

#include <cstdint>

class TpApplication {
public:
    virtual ~TpApplication() = default;
    // dest 0-15: a generated channel's level (signed linear gain) and flags.
    virtual void SetLevel(int dest, double level, uint32_t flags) = 0;
    // The AES output's two source codes and gains, for the audio monitors.
    virtual void SetOutputParams(int leftCode, int rightCode, double leftGain, double rightGain) = 0;
    // True when the service key combination was held at power-on (it makes
    // the calibration settings editable).
    virtual bool ServiceKeysHeld() const { return false; }
};
