#include "DolbyBoard.h"

#include "VideoFormat.h"
#include "sim/BoardDevices.h"

#include <atomic>

namespace {
std::atomic<int> gLineCount{0};
constexpr uint64_t kNanoseconds = 1000000000ull;
} // namespace

void dolby_hw_line(int offset, int lines)
{
    CurrentAudioHardware().DolbyLine(offset, lines);
}

void dolby_hw_source_select(int source) { CurrentAudioHardware().DolbySourceSelect(source); }
void dolby_hw_stream_select(int independent, int dependent)
{
    CurrentAudioHardware().DolbyStreamSelect(independent, dependent);
}
int dolby_key_flag() { return CurrentAudioHardware().DolbyKeyFlag(); }

bool dolby_time_constants(int standard, DolbyTimeConstants& constants)
{
    constants = DolbyTimeConstants{};
    const VideoStdRow* row = VideoStdAt(standard);
    const FrameRateRow* rate = row != nullptr ? FrameRateAt(row->rateCode) : nullptr;
    if (rate == nullptr || rate->numerator == 0)
        return false;
    // One line lasts den / (lines x num) seconds; a Dolby E frame of a
    // high-rate standard spans two video frames, so its lines count double.
    constants.a = row->totalLines + 1u;
    constants.b = rate->denominator * ((row->flags & kStdHighRate) != 0 ? 2u : 1u);
    constants.c = static_cast<uint64_t>(row->totalLines) * rate->numerator;
    return true;
}

void dolby_set_line_count(int count)
{
    gLineCount.store(count);
}

int dolby_line_count()
{
    return gLineCount.load();
}

uint64_t dolby_start_time_ns()
{
    DolbyTimeConstants k;
    if (!dolby_time_constants(SimInputStandard(), k) || k.c == 0 || k.a < 2)
        return 0;
    // a - count is the start line; kept to 1..lines of the input's frame.
    const int64_t lines = static_cast<int64_t>(k.a) - 1;
    const int64_t start = ((static_cast<int64_t>(k.a) - dolby_line_count() - 1) % lines + lines) % lines + 1;
    return static_cast<uint64_t>(start) * k.b * kNanoseconds / k.c;
}

void dolby_board_reset()
{
    gLineCount.store(0);
}
