// The headphone monitor page ("MonitorPhones"): the speaker and headphone
// settings, and which input or output the headphones hear.
#pragma once

#include "TpMonParent.h"

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"

#include <array>
#include <cstdint>
#include <memory>

class TpAudMonitor : public TpMonParent {
public:
    enum IdIndex : int { kMute, kLevel, kBalance, kSource, kInput, kSourceInput, kSourceOutput, kMuteOnPhones, kIdCount };
    using CmdIds = std::array<uint16_t, kIdCount>;
    static constexpr CmdIds kCommandIds = {COM_SPKR_MUTE, COM_SPKR_LEVEL, COM_SPKR_BALANCE, COM_SPKR_SOURCE,
                                           COM_ANLYS_INP_SEL, COM_SPKR_SOURCE_INP, COM_SPKR_SOURCE_OUT,
                                           COM_SPKR_MUTE_ON_PHONES};
    static constexpr int kTaskPeriodMs = 200;

    // aesSources: the AES input and output can be heard (items 2 and 3);
    // streamSource: the second stream can (item 4). withTask: the instrument
    // type that polls the headphones.
    TpAudMonitor(TpCommand* parent, const CmdIds& ids, bool aesSources, bool streamSource, bool withTask = true);
    ~TpAudMonitor() override;

    void OnChildChanged(TpCommand* child, int reason) override;
    void OnTask() override {}

private:
    // The input view while the source is 0, the output view while it is 1.
    void ShowSourceView(int32_t source);

    std::array<std::unique_ptr<TpChildCmd>, kIdCount> children_;
};
