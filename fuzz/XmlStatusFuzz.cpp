// Feeds arbitrary bytes to the status export as the text of its layout file,
// over a store with a few commands of each kind.
#include "KrZuApi.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "remote/web/TpXmlStatus.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

struct FuzzStore {
    FuzzStore()
    {
        text.SetText("a&b<c>'\"50%\x01");
        number.SetValue(-1234);
        hidden.SetVisible(false);
    }
    TpStore store;
    TpCommand text{COM_SYS_STATUS, kKeepsValueText};
    TpCommand number{COM_SCRIPTS_LOOPS, kKeepsValueText};
    TpCommand hidden{COM_GEN_AUDIO_MASTER_LEVEL, kKeepsValueText};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzStore fuzzStore;
    TpXmlStatus status;
    std::string xml;
    std::string table;
    status.Format(std::string(reinterpret_cast<const char*>(data), size), fuzzStore.store, xml, table);
    return 0;
}
