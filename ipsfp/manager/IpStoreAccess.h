// The manager's short ways to the application's store: each does nothing
// (or gives 0) while there is no store. Inside the manager's members the
// name Store() is its own (none), hence TheStore().
#pragma once

#include "core/store/TpStore.h"

#include <cstdint>

namespace IpStoreAccess {

inline TpStore* TheStore() { return TpStore::Instance(); }

inline int32_t ValueOf(unsigned id)
{
    const TpStore* store = TheStore();
    return store != nullptr ? store->GetValue(id) : 0;
}

inline void StoreValue(unsigned id, int32_t value)
{
    if (TpStore* store = TheStore())
        store->SetValue(id, value);
}

} // namespace IpStoreAccess
