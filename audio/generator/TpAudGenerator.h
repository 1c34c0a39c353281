// The embedded audio generator: sixteen generated channels in eight pairs
// and four groups, the master level, the group switches, the sources of the
// AES and analogue outputs and the output gains. It turns the settings into a
// source code, a signed linear gain and an on/off state per channel, hands
// them to the audio router and reports every channel's level and source to
// the application, which passes them to the audio monitors.
#pragma once

#include "AudGenTables.h"
#include "TpAudGenPair.h"
#include "TpAudioPair.h"

#include "board/VideoFormat.h"
#include "core/store/TpChildCmd.h"
#include "core/store/TpCmdTable.h"
#include "core/store/TpParent.h"

#include <array>
#include <memory>
#include <vector>

class TpApplication;
class TpIniFile;

class TpAudGenerator : public TpParent, public AudGenPairHost {
public:
    // app: where levels and output parameters are reported (may be none).
    // aesItems / streamItems: whether the AES input and the second stream
    // can be chosen as sources. masterTable: master levels in dB, indexed by
    // the master level value.
    TpAudGenerator(TpApplication* app, TpIniFile& settings, const AudGenCmdIds& ids, bool aesItems,
                   bool streamItems, const int32_t* masterTable, int masterCount);
    ~TpAudGenerator() override;

    // The generator in force (none while there is none).
    static TpAudGenerator* Instance();

    // The output format changed: the 2048-wide high-rate formats carried on
    // one 1.5 Gb/s link, dual link or 3 Gb/s level B have room for two
    // groups, the others for four.
    void ApplyVideoFormat(const VideoFormat& format);
    // With on set and nothing on the AES output, the output follows pair 1.
    void EnsureFirstPairSource(bool on);
    // Whether the Dolby stream can be chosen as a source.
    void SetDolbyAvailable(bool available);
    // Both pairs of a group take the state.
    void SetGroupOn(int group, bool on);
    // Routes a generator pair to an output (destination 2 and 3, or 4 and 5).
    void SetOutputFromPair(int destination, int secondDestination, int pair);

    void OnChildChanged(TpCommand* child, int reason) override;
    // The "AudGen" task: status of what the AES output carries and whether
    // the AES input can be heard.
    void OnTask() override;

    TpApplication* App() const override { return app_; }
    TpAudioPair& AesOutput() override { return *aesOut_; }
    TpAudioPair& AnalogueOutput() { return *anlOut_; }
    TpAudGenPair& Pair(int index) { return *pairs_[static_cast<size_t>(index)]; }

    static constexpr const char* kGainLeftKey = "audoutgainleft";
    static constexpr const char* kGainRightKey = "audoutgainright";

private:
    void LoadOutputGain(const char* key, TpCommand& cmd);
    void SaveOutputGain(const char* key, TpCommand& cmd);
    void SetMasterLevel(int32_t index);
    void GroupChanged(int group);
    void ApplyOutputs();
    int GroupOf(const TpCommand* child) const;
    // The two status bits of what the AES output carries, for the board's
    // writers A and B (bits 1 and 0 of an embedded pair's group), given the
    // board's two source flags.
    struct AesStatusBits {
        int a = 0;
        int b = 0;
    };
    AesStatusBits AesOutputStatus(int srcFlagA, int srcFlagB) const;

    TpApplication* app_;
    TpIniFile& settings_;
    std::vector<int32_t> masterTable_;

    // The commands of the single entries of the id table; the pointers below
    // name those the generator works on. The pairs and the group switches
    // take ids at offsets from their entries.
    TpCmdTable cmds_;
    TpAudioPair* aesOut_ = nullptr;
    TpAudioPair* anlOut_ = nullptr;
    TpChildCmd* gainLeft_ = nullptr;
    TpChildCmd* gainRight_ = nullptr;
    TpCommand* groupText_ = nullptr;
    std::vector<std::unique_ptr<TpAudGenPair>> pairs_;
    std::array<std::unique_ptr<TpChildCmd>, kAudGenGroups> groups_;

    bool aesFollows_ = false;
    bool anlFollows_ = false;
    bool aesOn_ = false;
    // Kept by the task; -1 until first read.
    int statusA_ = -1;   // last written status bits
    int statusB_ = -1;
    int flagA_ = -1;
    int flagB_ = -1;
};
