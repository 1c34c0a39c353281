// Texts typed (or sent by a remote client) into the IP menu's address entries:
// each is split into four byte controls or refused, and the dotted texts the
// followers build from the bytes always have one colour per character.
#include "core/store/TpStore.h"
#include "ipsfp/manager/IpSfpManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TpStore store;
    static IpSfpManager manager;
    const std::string text(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
    store.SetText(2695, text);
    store.SetText(3290, text);
    // The bytes then feed a follower, whatever their values.
    store.SetValue(2562, static_cast<int32_t>(size > 0 ? data[0] * 40000 - 1 : 0));
    const TpCommand* dotted = store.GetCmd(2716);
    if (dotted != nullptr && dotted->GetCharColours().size() != dotted->GetText().size())
        std::abort();
    return 0;
}
