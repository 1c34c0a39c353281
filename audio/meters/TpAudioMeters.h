// The audio meters page: sixteen bar meters in two banks of eight on one
// scale, the banks' sources, captions, colours and pair names, the input
// gains and the meter checks of the scripts. Each update gives every meter a
// simulated level, lets the thresholds and running checks see it, and
// updates the AES monitor and the Dolby status page when they exist.
#pragma once

#include "DolbyStatusView.h"
#include "MeterScale.h"
#include "TpMeter.h"
#include "TpMeterScriptActions.h"
#include "TpMonParent.h"

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"
#include "platform/LcgRandom.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TpAESMonitor;
class TpIniFile;

class TpAudioMeters : public TpMonParent, public TpMeterScriptActions {
public:
    // Positions in the command-id table; the per-meter and per-pair ids are
    // those of meter 1 (or pair 1, caption 1), later ones follow them.
    enum IdIndex : int {
        kBar, kLevel, kHiRes, kScaleFile, kScale, kSource1, kSource2, kDolbySource, kColour1, kColour2,
        kGainLeft, kGainRight, kCaption, kPairName, kLogPair, kSecondStream, kIdCount
    };
    using CmdIds = std::array<uint16_t, kIdCount>;
    static constexpr CmdIds kCommandIds = {
        COM_METER_GP1_P1_L, COM_METER_DB_GP1_P1_L, COM_METER_HI_DEF_DB_GP1_P1_L, COM_METER_SCALE,
        COM_ANLYS_METER_LEVEL, COM_ANLYS_METER_1_8_SOURCE_TYPE, COM_ANLYS_METER_9_16_SOURCE_TYPE,
        COM_ANLYS_DOLBY_SOURCE, COM_METER_1_8_COLOUR, COM_METER_9_16_COLOUR, COM_METER_INPUT_GAIN_LEFT,
        COM_METER_INPUT_GAIN_RIGHT, COM_METER_GP1_NAME, COM_METER_GP1_P1_NAME, COM_ANLYS_LOG_AUDIO_PAIR_1,
        COM_GEN_AUDIO_SECOND_STREAM,
    };
    static constexpr int kMeters = TpMeter::kCount;
    static constexpr int kCaptions = 4;
    static constexpr int32_t kResetLevel = -2000;
    static constexpr uint32_t kSeed = 1000;
    static constexpr const char* kGainLeftKey = "audingainleft";
    static constexpr const char* kGainRightKey = "audingainright";

    // settings: where the input gains are kept (none: not kept). makeAes:
    // build the AES monitor; aesFlag: the AES monitor's meters are laid out.
    // serviceMode: the input gains can be edited.
    TpAudioMeters(TpCommand* parent, TpIniFile* settings, const CmdIds& ids, bool makeAes, uint8_t aesFlag,
                  bool serviceMode = false);
    ~TpAudioMeters() override;

    void OnChildChanged(TpCommand* child, int reason) override;
    void Reconfigure() override;

    void Configure(uint32_t mode);
    void UpdateMeters();
    // The analyser's channel-presence byte; a change re-lays the banks.
    void SetChannelMask(uint8_t mask);
    void SetStatusByte(uint8_t status);
    void UpdateDolbyLine(const uint32_t (&timing)[DolbyStatusView::kTimingWords]);
    // The Dolby status page (not owned; none while there is none).
    void SetDolbyStatus(DolbyStatusView* view) { dolby_ = view; }

    // The meter of an index; none outside 0-15.
    TpMeter* Meter(int index);
    TpAESMonitor* AesMonitor() { return aes_.get(); }
    uint8_t PairMask() const { return pairMask_; }
    int32_t ReferenceDb() const { return referenceDb_; }

    // The console's "audincal" switch (process-wide).
    static bool InputCalibration();
    static void SetInputCalibration(bool on);

private:
    void SelectScale(int32_t value);
    void LayOutBank(int bank);
    void UpdatePairNames();
    void LoadGain(const char* key, TpChildCmd& cmd, bool serviceMode);
    void GainChanged(int side, const char* key, TpChildCmd& cmd);
    bool EitherSourceIs(int32_t type) const;

    TpIniFile* settings_;
    std::unique_ptr<MeterScale> scale_;
    std::vector<std::unique_ptr<TpMeter>> meters_;
    std::unique_ptr<TpAESMonitor> aes_;
    DolbyStatusView* dolby_ = nullptr;
    LcgRandom random_{kSeed};

    std::unique_ptr<TpCommand> scaleFile_;
    std::unique_ptr<TpChildCmd> scaleSelect_;
    std::array<std::unique_ptr<TpChildCmd>, 2> sources_;
    std::unique_ptr<TpChildCmd> dolbySource_;
    std::array<std::unique_ptr<TpCommand>, 2> colours_;
    std::unique_ptr<TpChildCmd> gainLeft_;
    std::unique_ptr<TpChildCmd> gainRight_;
    std::array<std::unique_ptr<TpCommand>, kCaptions> captions_;
    std::unique_ptr<TpChildCmd> secondStream_;

    int32_t referenceDb_ = -20;
    uint32_t mode_ = 0;
    std::array<int, kCaptions> cap_{};
    std::array<int, kCaptions> grp_{};
    uint8_t pairMask_ = 0;
    uint8_t presence_ = 0xFF;
    uint8_t second_ = 0xFF;
    uint8_t status_ = 0;
    uint8_t aesFlag_;
};
