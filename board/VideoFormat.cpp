#include "VideoFormat.h"

#include <atomic>

namespace {
constexpr int kNoStandardTotalLines = 1920;
std::atomic<int> gSimInputStandard{-1};
} // namespace

int VideoFormat::GetLinkClass(const VideoFormat& format)
{
    const VideoStdRow* row = format.Row();
    return row != nullptr ? row->linkRate : 0;
}

int VideoFormat::GetTotalLines(const VideoFormat& format)
{
    // Every index outside the table (not only a negative one) is "none".
    const VideoStdRow* row = format.Row();
    return row != nullptr ? row->totalLines : kNoStandardTotalLines;
}

int VideoFormat::GetDolbyIdealLine(const VideoFormat& format)
{
    const VideoStdRow* row = format.Row();
    return row != nullptr ? row->dolbyIdealLine : 0;
}

int SimInputStandard()
{
    return gSimInputStandard.load();
}

void SetSimInputStandard(int index)
{
    gSimInputStandard.store(VideoStdAt(index) != nullptr ? index : -1);
}
