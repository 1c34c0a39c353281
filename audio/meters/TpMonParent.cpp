#include "TpMonParent.h"

#include "platform/DebugOut.h"

TpMonParent::TpMonParent(TpCommand* parent) : TpParent(parent, 0, kKeepsNothing) {}

void TpMonParent::SetLevel(int dest, double level, uint32_t flags)
{
    if (dest < 0 || dest >= kDestinations) {
        DebugPrintf("ERROR: Invalid Dest %u\n", static_cast<unsigned>(dest));
        return;
    }
    Dest& record = dests_[static_cast<size_t>(dest)];
    record.flags = flags;
    record.level = level;
    UpdateDest(dest);
}

void TpMonParent::SetOutputParams(int left, int right, double leftGain, double rightGain)
{
    output_ = OutputParams{left, right, leftGain, rightGain};
    Reconfigure();
}

const TpMonParent::Dest& TpMonParent::GetDest(int dest) const
{
    static const Dest none;
    return dest >= 0 && dest < kDestinations ? dests_[static_cast<size_t>(dest)] : none;
}

void TpMonParent::UpdateDest(int /*dest*/) {}

void TpMonParent::Reconfigure() {}
