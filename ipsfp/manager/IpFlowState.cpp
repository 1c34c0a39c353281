#include "IpFlowState.h"

namespace {
IpFlowState gState;
}

namespace IpFlow {

IpFlowState& State() { return gState; }

void Reset() { gState = IpFlowState{}; }

} // namespace IpFlow
