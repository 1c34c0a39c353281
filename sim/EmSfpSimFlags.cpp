#include "EmSfpSimFlags.h"

#include "platform/DebugOut.h"

void EmSfpSimFlags::Reset()
{
    mode2022_.store(0);
    decap_.store(0);
    ipMode_.store(0);
}

EmSfpSimFlags& SimEmSfpFlags()
{
    static EmSfpSimFlags flags;
    return flags;
}

namespace {

void PrintFlags()
{
    const EmSfpSimFlags& f = SimEmSfpFlags();
    DebugPrintf("emSFP 2022-6=%d Decap=%d IpMode=%d\n", f.Mode2022(), f.Decapsulation(), f.IpMode());
}

// No argument toggles the flag; "0" or "1" sets it.
void ApplyFlagCommand(const char* name, const std::vector<std::string>& args,
                      uint8_t (EmSfpSimFlags::*get)() const, void (EmSfpSimFlags::*set)(uint8_t))
{
    EmSfpSimFlags& f = SimEmSfpFlags();
    if (args.empty()) {
        (f.*set)((f.*get)() != 0 ? 0 : 1);
    } else if (args.size() == 1 && (args[0] == "0" || args[0] == "1")) {
        (f.*set)(args[0] == "1" ? 1 : 0);
    } else {
        DebugPrintf("Usage: %s [0|1]\n", name);
        return;
    }
    PrintFlags();
}

} // namespace

void EmSfp2022Command(const std::vector<std::string>& args)
{
    ApplyFlagCommand("emsfp2022", args, &EmSfpSimFlags::Mode2022, &EmSfpSimFlags::SetMode2022);
}

void EmSfpDecapCommand(const std::vector<std::string>& args)
{
    ApplyFlagCommand("emsfpdecap", args, &EmSfpSimFlags::Decapsulation, &EmSfpSimFlags::SetDecapsulation);
}

void EmSfpIpModeCommand(const std::vector<std::string>& args)
{
    ApplyFlagCommand("emsfpipmode", args, &EmSfpSimFlags::IpMode, &EmSfpSimFlags::SetIpMode);
}

void RegisterEmSfpSimCommands(const RegisterConsoleCommand& add)
{
    if (!add)
        return;
    // "emsfp" is shared, so each name is told apart by its sixth letter.
    add("emsfp2022", 6, EmSfp2022Command);
    add("emsfpdecap", 6, EmSfpDecapCommand);
    add("emsfpipmode", 6, EmSfpIpModeCommand);
}
