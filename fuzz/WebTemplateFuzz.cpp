// Feeds arbitrary bytes to the report template engine as a template file.
#include "FuzzFolder.h"

#include "platform/FileSystem.h"
#include "remote/web/TpWebTemplate.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string folder = FuzzFolder();
    const std::string templatePath = folder + "/template.html";
    if (!WriteFileAtomic(templatePath, std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    TpWebTemplate page("Report-1", "User", "<div>body</div>\n");
    page.Create(templatePath, folder + "/out.html");
    return 0;
}
