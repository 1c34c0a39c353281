#include "DolbyStreamFile.h"

#include "core/files/FileHelpers.h"
#include "core/protocol/RemoteMsgHeader.h"
#include "core/log/TpLogger.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <new>
#include <sys/stat.h>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

bool DolbyFileName(const DolbyNameSettings& settings, DolbyLoadRequest& request)
{
    std::string content = settings.content;
    if (!content.empty() && content[0] == '-')
        content[0] = '_';
    // The content text becomes one folder level: nothing that leaves or splits it.
    if (!PlainFileName(content)) {
        DebugPrintf("ERROR: Invalid Dolby content name %s\n", content.c_str());
        return false;
    }
    long type = settings.type;
    if (type < 0 || type >= kDolbyTypeCount) {
        DebugPrintf("ERROR DolbyType=%d\n", static_cast<int>(type));
        type = 0;
    }
    long config = settings.config;
    if (DolbyEConfigAt(config) == nullptr) {
        DebugPrintf("ERROR DolbyConfig=%ld\n", config);
        config = 0;
    }

    long ac3Mode = settings.ac3Mode;

    std::string path = std::string("dolby/") + dolby_type_folders[type] + content + "/Dolby";
    if (type == static_cast<long>(DolbyType::DolbyE)) {
        path += dolby_e_file_parts[config];
        path += settings.bitDepth >= -1 && settings.bitDepth <= 1 ? "_16" : "_20";
        path += settings.rateSuffix;
    } else {
        if (settings.ac3Mode < 0 || settings.ac3Mode >= kDolbyAc3ModeCount) {
            DebugPrintf("ERROR: Invalid Ac3Mode %d\n", static_cast<int>(settings.ac3Mode));
            path += dolby_ac3_mode_names[0];
            ac3Mode = 0;
        } else {
            path += dolby_ac3_mode_names[settings.ac3Mode];
            if (settings.ac3Mode == 7)
                path += "L";
        }
        path += "_" + settings.dataRate;
        DebugPrintf("Dolby D File=%s\n", path.c_str());
    }
    path += ".dlb";
    if (path.size() > kDolbyPathMax) {
        DebugPrintf("ERROR: Dolby file name too long %s\n", path.c_str());
        return false;
    }
    request.path = path;
    request.type = static_cast<int>(type);
    request.config = static_cast<int>(config);
    request.ac3Mode = static_cast<int>(ac3Mode);
    return true;
}

int LoadDolbyFile(const DolbyLoadRequest& request, DolbyStreamInfo& info)
{
    const char* path = request.path.c_str();
    DebugChatty("Loading Dolby file %s...\n", path);
    const DolbyEConfig* config = DolbyEConfigAt(request.config);
    if (request.type < 0 || request.type >= kDolbyTypeCount || config == nullptr) {
        DebugPrintf("ERROR: Invalid Dolby stream type %d or configuration %d\n", request.type, request.config);
        return 0;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        DebugPrintf("Couldn't open Dolby file %s\n", path);
        return 0;
    }
    struct stat st {};
    uint8_t header[dlb::kHeaderSize];
    if (fstat(fileno(file.get()), &st) != 0 || static_cast<uint64_t>(st.st_size) < dlb::kHeaderSize ||
        std::fread(header, 1, sizeof header, file.get()) != sizeof header) {
        DebugPrintf("Couldn't read enough data from Dolby file %s\n", path);
        return 0;
    }
    const unsigned entries = header[dlb::kSizeEntryCount];
    if (entries > dlb::kSizeEntries) {
        DebugPrintf("ERROR: Invalid size-entry count %u in Dolby file %s\n", entries, path);
        return 0;
    }

    // The new stream is read into a buffer of its own; the loaded one stays
    // until this one is complete.
    const uint64_t dataSize = static_cast<uint64_t>(st.st_size) - dlb::kHeaderSize;
    std::shared_ptr<uint8_t[]> data;
    if (dataSize <= UINT32_MAX)
        data.reset(new (std::nothrow) uint8_t[dataSize > 0 ? dataSize : 1]);
    if (!data) {
        DebugPrintf("Couldn't allocate memory for Dolby buffer %#lx bytes\n", static_cast<unsigned long>(dataSize));
        return 0;
    }
    if (std::fread(data.get(), 1, dataSize, file.get()) != dataSize) {
        DebugPrintf("Couldn't read enough data from Dolby file %s\n", path);
        return 0;
    }

    DolbyStreamInfo loaded;
    loaded.type = request.type;
    loaded.header = GetU16(header + dlb::kHeaderWord);
    const bool dolbyE = request.type == static_cast<int>(DolbyType::DolbyE);
    if (dolbyE) {
        loaded.flags = GetU32(header + dlb::kFlags);
        loaded.secondWord = GetU32(header + dlb::kSecondWord);
        loaded.metadataWord = GetU16(header + dlb::kMetadataWord);
        loaded.metadataBit = GetU16(header + dlb::kMetadataBit);
        loaded.programCount = config->programs;
        loaded.channelCount = config->channels;
    } else {
        loaded.flags = dlb::kAc3Flags;
        loaded.ac3Mode = request.ac3Mode;
        loaded.ac3Rate = request.ac3Rate;
    }
    const VideoStdRow* row = request.format.Row();
    loaded.framePair = request.format.levelB == 0 && row != nullptr && (row->flags & kStdHighRate) != 0 ? 1 : 0;
    loaded.data = std::move(data);
    loaded.dataSize = static_cast<uint32_t>(dataSize);
    for (unsigned i = 0; i < entries; ++i) {
        loaded.sizes1[i] = GetU32(header + dlb::kSizes1 + 4 * i);
        loaded.sizes2[i] = GetU32(header + dlb::kSizes2 + 4 * i);
    }
    for (unsigned p = 0; p < loaded.programCount; ++p) {
        DolbyProgramInfo& program = loaded.programs[p];
        program.secondWord = GetU16(header + dlb::kPrograms + 4 * p + 2);
        program.firstWord = static_cast<uint16_t>(GetU16(header + dlb::kPrograms + 4 * p) + (program.secondWord == 0));
        program.description = request.descriptions[p].substr(0, kDolbyDescriptionMax);
    }
    info = std::move(loaded);
    return 1;
}

void ReportDolbyLoadFailure(const std::string& path)
{
    DebugPrintf("Couldn't load Dolby file %s\n", path.c_str());
    AddEvent(kEventError, kDolbyLoadFailedText, path);
}

void MakeDolbyFolders()
{
    MakeFolder("dolby");
    for (const char* folder : dolby_type_folders)
        MakeFolder(std::string("dolby/") + folder);
}
