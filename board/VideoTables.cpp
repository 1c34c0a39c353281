#include "VideoTables.h"

const VideoStdRow* VideoStdAt(int index)
{
    return index >= 0 && index < kVideoStdCount ? &video_std_table[index] : nullptr;
}

const RefFormatRow* RefFormatAt(int index)
{
    return index >= 0 && index < kRefFormatCount ? &ref_format_table[index] : nullptr;
}

const FrameRateRow* FrameRateAt(int code)
{
    return code >= 0 && code < kFrameRateCount ? &frame_rate_table[code] : nullptr;
}

double VideoStdFrameRate(int index)
{
    const VideoStdRow* row = VideoStdAt(index);
    const FrameRateRow* rate = row != nullptr ? FrameRateAt(row->rateCode) : nullptr;
    if (rate == nullptr || rate->denominator == 0)
        return 0.0;
    return static_cast<double>(rate->numerator) / static_cast<double>(rate->denominator);
}
