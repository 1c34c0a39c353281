#include "LcdImageFiles.h"

#include "TpTFTBitmap.h"
#include "TpTFTBitmapStream.h"

#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <mutex>
#include <optional>

#include <sys/stat.h>

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

// "PcSimLcd.bmp" as last written here: its bytes and what the file system
// said of the file then. A picture that has not changed since is not
// written again while the file is still that one (clients polling a still
// screen would rewrite the same file on every fetch).
struct LastLcdImage {
    std::optional<TpTFTBitmap> image;
    std::string path;
    struct stat info {};
};

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Writes "PcSimLcd.bmp"; the caller holds the file mutex.
bool WriteLcdImageLocked(const TpTFTBitmap& image)
{
    static LastLcdImage last;
    const std::string path = LcdImagePath();
    struct stat now {};
    const bool sameImage = last.image && (image.SameEncoding(*last.image) || image.Bytes() == last.image->Bytes());
    if (path == last.path && sameImage && stat(path.c_str(), &now) == 0 && SameFile(now, last.info))
        return true;
    last.path.clear();
    Paths::MakeDataFolders();
    if (!WriteImage(image, path))
        return false;
    if (stat(path.c_str(), &last.info) == 0) {
        last.image = image;
        last.path = path;
    }
    return true;
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
    return WriteLcdImageLocked(image);
}

bool SendLcdImage(Socket& socket, const void* prefix, size_t prefixSize)
{
    const TpTFTBitmap image;
    {
        std::lock_guard<std::mutex> lock(FileMutex());
        WriteLcdImageLocked(image);
    }
    return TpTFTBitmapStream(socket).Send(image, prefix, prefixSize);
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
