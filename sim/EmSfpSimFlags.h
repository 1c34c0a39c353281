// The settings of the simulated emSFP module: its 2022-6 byte, its
// decapsulation byte and its IP-mode flag. The IP update sequencer takes the
// module mode from the decapsulation byte and the 2110 flag as the inverse of
// the 2022-6 byte; the SFP status page treats a change of the IP-mode flag
// like a module change. The flags can be changed from any thread.
//
// Without a window there is no right-click menu to toggle them, so they are
// also console commands: "emsfp2022", "emsfpdecap" and "emsfpipmode", each
// with an optional argument 0 or 1 (no argument toggles).
#pragma once

#include "SimConsoleCommand.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class EmSfpSimFlags {
public:
    uint8_t Mode2022() const { return mode2022_.load(); }
    uint8_t Decapsulation() const { return decap_.load(); }
    uint8_t IpMode() const { return ipMode_.load(); }

    // Any non-zero value is stored as 1.
    void SetMode2022(uint8_t on) { mode2022_.store(on != 0 ? 1 : 0); }
    void SetDecapsulation(uint8_t on) { decap_.store(on != 0 ? 1 : 0); }
    void SetIpMode(uint8_t on) { ipMode_.store(on != 0 ? 1 : 0); }

    // All three back to 0.
    void Reset();

private:
    std::atomic<uint8_t> mode2022_{0};
    std::atomic<uint8_t> decap_{0};
    std::atomic<uint8_t> ipMode_{0};
};

// The simulator's one module.
EmSfpSimFlags& SimEmSfpFlags();

// The three console commands. Each prints the flags afterwards; a bad
// argument prints the usage line and changes nothing.
void EmSfp2022Command(const std::vector<std::string>& args);
void EmSfpDecapCommand(const std::vector<std::string>& args);
void EmSfpIpModeCommand(const std::vector<std::string>& args);

// Hands the three commands to the console through its registration call.
void RegisterEmSfpSimCommands(const RegisterConsoleCommand& add);
