// The encoder audio maps as the update sequencer last read or wrote them, per
// audio flow (0-7): the number of channels embedded, each channel's SDI
// channel and active mark, and whether the flow is enabled; and the enabled
// marks of the four decoder flows. The sequencer writes them; the change
// handler loads a flow's map into the map dialog and the pages draw the
// audio grid from them. Out-of-range flows and channels read as 0 and are not
// written. Application thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class IpAudioMaps {
public:
    static constexpr size_t kFlows = 8;
    static constexpr size_t kChannels = 16;
    static constexpr size_t kDecoderFlows = 4;

    uint32_t ChannelCount(size_t flow) const { return flow < kFlows ? audioChannelCount[flow] : 0; }
    int32_t SdiChannel(size_t flow, size_t channel) const
    {
        return In(flow, channel) ? savedMapChannels[flow][channel] : 0;
    }
    bool ChannelActive(size_t flow, size_t channel) const
    {
        return In(flow, channel) && audioChannelActive[flow][channel] != 0;
    }
    bool EncoderFlowEnabled(size_t flow) const { return flow < kFlows && encFlowEnabled[flow] != 0; }

    void SetChannelCount(size_t flow, uint32_t count)
    {
        if (flow < kFlows)
            audioChannelCount[flow] = count;
    }
    void SaveChannel(size_t flow, size_t channel, int32_t sdiChannel, bool active)
    {
        if (!In(flow, channel))
            return;
        savedMapChannels[flow][channel] = sdiChannel;
        audioChannelActive[flow][channel] = active ? 1 : 0;
    }
    // Flow indexes from the audio-flow selector: any value, out-of-range ones ignored.
    void SetEncoderFlowEnabled(int32_t flow, bool enabled)
    {
        if (flow >= 0 && flow < static_cast<int32_t>(kFlows))
            encFlowEnabled[static_cast<size_t>(flow)] = enabled ? 1 : 0;
    }
    void SetDecoderFlowEnabled(int32_t flow, bool enabled)
    {
        if (flow >= 0 && flow < static_cast<int32_t>(kDecoderFlows))
            decFlowEnabled[static_cast<size_t>(flow)] = enabled ? 1 : 0;
    }

private:
    static bool In(size_t flow, size_t channel) { return flow < kFlows && channel < kChannels; }

    std::array<uint32_t, kFlows> audioChannelCount {};
    std::array<std::array<int32_t, kChannels>, kFlows> savedMapChannels {};
    std::array<std::array<uint8_t, kChannels>, kFlows> audioChannelActive {};
    std::array<uint8_t, kFlows> encFlowEnabled {};
    std::array<uint8_t, kDecoderFlows> decFlowEnabled {};
};
