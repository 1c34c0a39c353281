// The IP menu's controls: the several hundred commands the manager builds,
// in a fixed order, and deletes with it, the address followers and the block
// of sixteen audio channels among them; the operations that colour the
// status and video-standard fields as a group; and the manager's own texts:
// the busy spinner, the booting title, the flow texts and the progress box's
// visibility. Application thread only.
#pragma once

#include "IpControlIds.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class IPFollower;
class IpBusy;
class IpFlowView;
class TpCommand;

// The five controls of each of the sixteen audio channels.
struct IpChannelControls {
    std::array<std::array<std::unique_ptr<TpCommand>, IpIds::kChannelCount>, 5> arrays;
    ~IpChannelControls();
};

class IpControlTree {
public:
    IpControlTree(IpBusy& busy, const IpFlowView& flows);
    ~IpControlTree();

    // Builds every control, the children of parent first among them, with
    // their first texts.
    void Build(TpCommand* parent);
    // Deletes them, the channels first, then the followers, then the others
    // from the last built.
    void Destroy();
    // The first own control of the id built at or after the from-th control,
    // none when there is none.
    TpCommand* OwnControl(unsigned cmdId, size_t from = 0) const;
    size_t FollowerCount() const { return followers_.size(); }
    IPFollower* Follower(size_t i) const { return i < followers_.size() ? followers_[i].get() : nullptr; }
    // Every address text rebuilt from its bytes.
    void UpdateFollowers();
    // With a control: whether it is one of the own action controls; without
    // one, whether the id is an action control's.
    bool IsActionControl(const TpCommand* control, unsigned cmdId) const;
    bool IsFlowDestinationControl(const TpCommand* control) const;
    static bool IsFlowEditControl(unsigned cmdId);

    // --- status and standard colours ---------------------------------------------------
    void ColourStandardFields(bool good);
    void ColourStatusFlags(bool good);
    int32_t LastStandardColour() const { return lastStandardColour; }
    // The standard's colour is worked out afresh.
    void ForgetStandardColour() { lastStandardColour = -1; }
    // The status flags are coloured again on the next call.
    void ReleaseStatusColours() { standardColourHold = 0; }

    // --- the manager's own texts -----------------------------------------------------------
    std::string SpinnerText();
    void ShowBusy();
    void ClearFlowTexts();
    static void ShowIpBooting();
    // The progress box shown or hidden; refreshed as it was last shown.
    void ShowProgressControl(bool shown);
    void RefreshProgressControl();
    bool ProgressControlShown() const { return progressVisible_ != 0; }

private:
    TpCommand* Make(IpIds::Make make, uint16_t cmdId, CmdValueKind kind);
    void BuildGroups(std::span<const IpIds::GroupRow> groups);
    void BuildManagementControls();
    void BuildFollowers(std::span<const IpIds::FollowerRow> rows);
    void BuildChannelControls(uint16_t channel);
    void NameFlowList();

    IpBusy& busy_;
    const IpFlowView& flows_;
    TpCommand* parent_ = nullptr;
    std::unique_ptr<IpChannelControls> channelControls;
    std::vector<std::unique_ptr<IPFollower>> followers_;   // the three web followers first
    std::vector<std::unique_ptr<TpCommand>> controls_;     // every other control, in build order
    std::array<TpCommand*, std::size(IpIds::kStatusIds)> statusControls_ {};
    int32_t standardColourHold = 0;
    int32_t lastStandardColour = -1;
    uint8_t spinnerPhase = 0;
    uint8_t progressVisible_ = 0;
};
