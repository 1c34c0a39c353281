// Feeds arbitrary bytes to the status export as its layout file, over a store
// with a few commands of each kind.
#include "FuzzFolder.h"

#include "KrZuApi.h"
#include "core/TpCommand.h"
#include "core/TpStore.h"
#include "platform/FileSystem.h"
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
    TpCommand text{COM_SYS_STATUS, 3};
    TpCommand number{COM_SCRIPTS_LOOPS, 3};
    TpCommand hidden{COM_GEN_AUDIO_MASTER_LEVEL, 3};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzStore fuzzStore;
    const std::string folder = FuzzFolder();
    const std::string layoutPath = folder + "/layout.ini";
    if (!WriteFileAtomic(layoutPath, std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    TpXmlStatus status;
    status.Write(folder + "/status.xml", layoutPath, fuzzStore.store);
    return 0;
}
