#include "TpBase.h"

#include <atomic>

namespace {
std::atomic<TpBase::EventLogClearer> g_clearer {nullptr};
}

void TpBase::SetEventLogClearer(EventLogClearer clearer)
{
    g_clearer.store(clearer);
}

void TpBase::ClearEventLog()
{
    if (EventLogClearer clear = g_clearer.load())
        clear();
}
