// One pair of generated audio channels (left and right side): the pair's
// settings, and for each side the source code, oscillator slot and signed
// linear gain they make. A side is applied by reporting its level and code
// to the application and connecting its router channel; the generator then
// re-applies the outputs that follow the pair.
#pragma once

#include "AudGenPairHost.h"
#include "AudGenTables.h"
#include "AudioSourceCode.h"

#include "core/store/TpChildCmd.h"
#include "core/store/TpParent.h"

#include <memory>

class TpAudGenPair : public TpParent {
public:
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;
    static constexpr int kBoth = 2;

    // Source values of the sides' source commands.
    enum Source : int32_t {
        kSilence = 0,
        kFixedTone = 1,
        kVariableTone = 2,
        kNoise = 3,
        kPulseTone = 4,
        kAesLeft = 5,
        kAesRight = 6,
        kDolby = 7,
        kStreamLeft = 8,
        kStreamRight = 9,
    };

    // parent: the command told of the pair's changes; host: the generator.
    // aesItems / streamItems: whether the AES input and second stream
    // sources can be chosen.
    TpAudGenPair(TpCommand* parent, AudGenPairHost& host, int pair, const AudGenCmdIds& ids, bool aesItems, bool streamItems);
    ~TpAudGenPair() override;

    void OnChildChanged(TpCommand* child, int reason) override;

    int Index() const { return pair_; }
    // The side's code as kept (kSrcOscillator for its own oscillator) and as
    // passed on (the oscillator slot's code).
    AudioSourceCode Code(int side) const { return sides_[side].code; }
    AudioSourceCode OutputCode(int side) const;
    uint32_t Slot(int side) const { return sides_[side].slot; }
    double Gain(int side) const { return sides_[side].gain; }
    int32_t MasterOffset() const { return masterOffset_; }
    bool GroupOn() const { return groupOn_; }
    bool AesInputUsable() const { return aesUsable_; }
    // Router channel of a side.
    int Channel(int side) const { return kRouterBase + 2 * pair_ + side; }

    // Enables or disables one item of both sides' source lists.
    void EnableSourceItem(int item, bool enabled);
    // The master level in dB: both sides are recomputed and applied.
    void SetMasterOffset(int32_t db);
    // The pair's group switched on or off; a change re-applies both sides.
    void SetGroupOn(bool on);
    // Whether the AES input can be heard: shows or hides the level controls
    // of the sides that carry it.
    void SetAesInputUsable(bool usable);

    static constexpr int kRouterBase = 128;

private:
    // A level written back by the recompute that the first write-back
    // caused is not recomputed again.
    static constexpr int kMaxWriteDepth = 2;

    struct Side {
        std::unique_ptr<TpChildCmd> source, invert, frequency, subSource, level;
        AudioSourceCode code = kSrcSilence;
        uint32_t slot = 0;
        double gain = 1.0;
        int writeDepth = 0;   // level write-backs in progress
    };

    void SourceChanged(int side);
    void SetFixedFrequency(int side);
    void LevelChanged(int side);
    void SecondStreamChanged();
    // Recomputes the side's signed linear gain and passes it to the router.
    void ComputeGain(int side);
    void ApplyChannels(int which);
    void ShowLevelControls(int side, bool shown);
    bool Linked() const { return link_->GetValue() != 0; }
    bool IsDolbyPair() const { return IsDolbyCode(sides_[kLeft].code); }

    AudGenPairHost& host_;
    int pair_;
    std::unique_ptr<TpChildCmd> link_;
    Side sides_[2];
    std::unique_ptr<TpChildCmd> secondStream_;
    int32_t masterOffset_ = 0;   // hundredths of a dB
    bool groupOn_ = false;
    bool aesUsable_ = true;
};
