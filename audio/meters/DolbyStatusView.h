// What the audio meters ask of the Dolby metadata status page, when one
// exists: the names of its channels, its meter update and the input's line
// timing, from which it finds the received Dolby E start line.
#pragma once

#include <cstdint>
#include <string>

class DolbyStatusView {
public:
    static constexpr int kTimingWords = 7;
    // The timing words, in order: the sample clock in kHz, the samples of a
    // line, the lines of a frame, the number of the first line, the active
    // lines and samples, and the frame-rate code. All 0 without input.
    enum TimingWord : int {
        kClockKhz, kSamplesPerLine, kLinesPerFrame, kFirstLine, kActiveLines, kActiveSamples, kRateCode
    };

    virtual std::string ChannelName(int channel) const = 0;
    virtual void UpdateMeters() = 0;
    virtual void UpdateDolbyLine(const uint32_t (&timing)[kTimingWords]) = 0;

protected:
    ~DolbyStatusView() = default;
};
