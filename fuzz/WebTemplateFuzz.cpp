// Feeds arbitrary bytes to the report template engine as a template file.
// The template is rewritten in place for each input, so a run makes one new
// file: the page the engine writes.
#include "FuzzFolder.h"

#include "remote/web/TpWebTemplate.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string templatePath = FuzzFolder() + "/template.html";
    static const std::string outputPath = FuzzFolder() + "/out.html";
    std::FILE* file = std::fopen(templatePath.c_str(), "wb");
    if (file == nullptr)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        return 0;
    TpWebTemplate page("Report-1", "User", "<div>body</div>\n");
    page.Create(templatePath, outputPath);
    return 0;
}
