#include "LcdImageFiles.h"

#include "TpTFTBitmap.h"
#include "TpTFTBitmapStream.h"

#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <mutex>

namespace {

// One writer of LCD image files at a time, so two screen dumps never pick
// the same number.
std::mutex& FileMutex()
{
    static std::mutex m;
    return m;
}

constexpr int kMaxScreenDumps = 100000;

bool WriteImage(const TpTFTBitmap& image, const std::string& path)
{
    if (image.WriteFile(path))
        return true;
    DebugPrintf("ERROR: Couldn't write LCD image %s\n", path.c_str());
    return false;
}

} // namespace

std::string LcdImagePath()
{
    return Paths::DataFolder() + "/PcSimLcd.bmp";
}

std::string ScreenDumpFolder()
{
    return Paths::MapInstrumentPath("/mnt/mmc/screendumps");
}

bool SaveLcdImage()
{
    const TpTFTBitmap image;
    std::lock_guard<std::mutex> lock(FileMutex());
    Paths::MakeDataFolders();
    return WriteImage(image, LcdImagePath());
}

bool SendLcdImage(Socket& socket)
{
    const TpTFTBitmap image;
    {
        std::lock_guard<std::mutex> lock(FileMutex());
        Paths::MakeDataFolders();
        WriteImage(image, LcdImagePath());
    }
    return TpTFTBitmapStream(socket).Send(image);
}

std::string ScreenDump()
{
    const TpTFTBitmap image;
    std::lock_guard<std::mutex> lock(FileMutex());
    Paths::MakeDataFolders();
    const std::string folder = ScreenDumpFolder();
    if (!MakeFolder(folder)) {
        DebugPrintf("ERROR: Couldn't make folder %s\n", folder.c_str());
        return std::string();
    }
    for (int n = 0; n < kMaxScreenDumps; ++n) {
        const std::string name = "scrndump" + std::to_string(n) + ".bmp";
        const std::string path = folder + "/" + name;
        if (PathExists(path))
            continue;
        return WriteImage(image, path) ? name : std::string();
    }
    DebugPrintf("ERROR: No free screen dump name in %s\n", folder.c_str());
    return std::string();
}

bool SaveScriptScreenDump(const std::string& name)
{
    if (name.empty())
        return false;
    const std::string path = Paths::MapInstrumentPath(name + ".bmp");
    DebugPrintf("\nName of Script Screen Dump=%s\n", path.c_str());
    const TpTFTBitmap image;
    std::lock_guard<std::mutex> lock(FileMutex());
    return WriteImage(image, path);
}
