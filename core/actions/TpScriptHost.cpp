#include "TpScriptHost.h"

#include <atomic>

namespace {
// Read at exit by actions that outlive the page, on whichever thread ends
// the program.
std::atomic<TpScriptHost*> g_host {nullptr};
}

TpScriptHost* TpScriptHost::Instance()
{
    return g_host.load();
}

TpScriptHost::~TpScriptHost()
{
    LeaveHost();
}

void TpScriptHost::BecomeHost()
{
    g_host.store(this);
}

void TpScriptHost::LeaveHost()
{
    TpScriptHost* self = this;
    g_host.compare_exchange_strong(self, nullptr);
}
