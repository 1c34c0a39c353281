// Turns the video-standard editor's four lists (family, format, sampling,
// frame rate) into the module's standard fields through a table of the
// allowed combinations, and greys out the list items no allowed combination
// of the chosen family uses.
#pragma once

#include "core/store/TpChildCmd.h"

#include <array>
#include <cstdint>
#include <memory>

class IpFlowView;

// One allowed combination: the four list values, then the seven module fields.
struct VidStdCombination {
    uint8_t family;
    uint8_t format;
    uint8_t sampling;
    uint8_t rate;
    uint8_t scan;        // -> 2617
    uint8_t sample;      // -> 2619
    uint8_t vidFormat;   // -> 2621
    uint8_t frameRate;   // -> 2620
    uint8_t bitRate;     // -> 2618
    uint8_t extra1;      // -> 3105
    uint8_t extra2;      // -> 3106
};

class CorvaneToEmbrionixVidStd : public TpCommand {
public:
    static constexpr size_t kRowCount = 29;
    static const std::array<VidStdCombination, kRowCount>& Combinations();

    // flows: the module fields are written only while the direction is known.
    explicit CorvaneToEmbrionixVidStd(const IpFlowView& flows);
    ~CorvaneToEmbrionixVidStd() override;

    // A list changed: remembered, and the conversion asked for.
    void OnChildChanged(TpCommand* child, int reason) override;
    // Recomputes the item states and applies the chosen row.
    void UpdateVidStd();
    // The conversion a list change asked for, once (the manager's tick).
    void RunRequestedUpdate();
    uint8_t UpdateRequested() const { return standardUpdateRequest; }

    TpChildCmd* FamilyList() const { return lists_[0].get(); }

private:
    // The row to apply, or -1.
    int ChooseRow(const std::array<int32_t, 4>& noted) const;
    void ApplyRow(const VidStdCombination& row);

    const IpFlowView& flows_;
    uint8_t updating_ = 0;
    uint8_t standardUpdateRequest = 0;
    TpCommand* changedList_ = nullptr;
    std::array<std::unique_ptr<TpChildCmd>, 4> lists_;   // family, format, sampling, rate
    std::array<uint8_t, kRowCount> match_ {};
};
