// The analyser: the top of the analyse menu. It builds the pages of the
// analyse tree that other subsystems provide, passes the application's audio
// levels on to the audio monitors, runs the periodic analyser update that
// refreshes those pages, and answers the questions other pages ask about the
// fitted SFP module.
//
// Pages of the tree, constructed in this order as they join the program (and
// deleted with the analyser):
//   - the audio meters, with the AES monitor (their script actions register
//     with the scripts page, which therefore exists before the analyser);
//   - the audio monitor views (542, 541, 540, 544, 573, 545, 546, 543);
//   - the AES3 channel-status page (573, 418, 407, 408, 409, 2358);
//   - the Dolby metadata status page, reached by the meters as their
//     Dolby status view;
//   - the SFP status page (799, 831, 832, 2285, 2318).
// The button "clear all errors" (425) clears the analyser's error counters:
// the AES error count, the Dolby error count and the CRC counters (420-422).
// The analyser's own script actions, the SDI and AP CRC checks ("CHECKERRS"
// and "CHECK_AP_CRC"), register first, before any page of the tree: after the
// scripts page's "Close Window" (step type 12) they are step types 13 and 14;
// the audio meters' and the AES monitor's actions follow them.
#pragma once

#include "audio/aes/TpChanStatus.h"
#include "audio/meters/TpAudMonitor.h"
#include "audio/meters/TpAudioMeters.h"
#include "core/commands/TpButtonPress.h"
#include "core/store/TpParent.h"
#include "ipsfp/statuspage/TkrSFPStatus.h"
#include "core/actions/TpScriptAction.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

// A CRC check of the analyser as a script step: ready at once, ending with
// the base behaviour; cancelled, it logs its report line (descriptor word 1)
// as an event and as a line of the running report.
class TpCrcScriptAction : public TpScriptAction {
public:
    using TpScriptAction::TpScriptAction;
    int32_t CheckReady(uint32_t seconds) override;
    void CancelAction() override;
};

class TpApplication;
class TpDolbyStatus;
class TpIniFile;

class TpAnalyser : public TpParent {
public:
    static constexpr int kUpdatePeriodMs = 200;
    // The audio meters build the AES monitor and lay out its meters; the
    // headphones can hear the AES input and output and the second stream;
    // the channel-status page offers the AES inputs.
    static constexpr bool kMakeAesMonitor = true;
    static constexpr uint8_t kAesMonitorFlag = 1;
    static constexpr bool kPhonesAes = true;
    static constexpr bool kPhonesStream = true;
    static constexpr bool kChanStatusAesItems = true;
    // Input modes in which the channel-status page keeps its AES inputs.
    static constexpr int kAesInputMode = 1;

    // settings: where the audio input gains are kept (none: not kept); app:
    // tells whether the service keys were held (may be none).
    explicit TpAnalyser(TpCommand* parent = nullptr, TpIniFile* settings = nullptr, TpApplication* app = nullptr);
    ~TpAnalyser() override;

    static TpAnalyser* Instance();

    // The application's audio levels, for both audio monitor views.
    // Destinations outside 0-15 are refused ("ERROR: Invalid Dest %u").
    void SetLevel(int dest, double level, uint32_t flags);
    void SetOutputParams(int left, int right, double leftGain, double rightGain);

    TpAudioMeters& Meters() { return *meters_; }
    TpAudMonitor& Phones() { return *phones_; }
    TpChanStatus& ChanStatus() { return *chanStatus_; }
    TpDolbyStatus& DolbyStatus() { return *dolby_; }
    TkrSFPStatus& SfpStatus() { return *sfpStatus_; }

    // The timing of the input standard, as the Dolby status page reads it;
    // all 0 for an index outside the video standard table.
    static void ReadInputTiming(int standard, uint32_t (&timing)[DolbyStatusView::kTimingWords]);

    // Questions about the SFP module, answered by the SFP status page.
    bool IsIpModule() const;
    bool IsHdmiOutModule() const;
    bool IsTypeKnown() const;
    void ClearTypeKnown();

    // The analyser's input mode; a change reconfigures the audio meters.
    // The channel mask and status byte go to the meters on every update.
    void SetMode(int mode);
    int Mode() const { return mode_; }
    void SetChannelMask(uint8_t mask) { channelMask_ = mask; }
    void SetStatusByte(uint8_t status) { statusByte_ = status; }

    // One analyser update (the periodic task "Analyser", every 200 ms).
    void Update();
    unsigned UpdateCount() const { return updates_; }

    void OnTask() override;
    void OnChildChanged(TpCommand* child, int reason) override;

    // The CRC script actions, "CHECKERRS" and "CHECK_AP_CRC".
    TpCrcScriptAction& SdiCrcAction() { return *sdiCrc_; }
    TpCrcScriptAction& ApCrcAction() { return *apCrc_; }

private:
    void ClearErrorCounters();

    std::unique_ptr<TpButtonPress> clearErrors_;
    std::unique_ptr<TpCrcScriptAction> sdiCrc_;
    std::unique_ptr<TpCrcScriptAction> apCrc_;
    std::unique_ptr<TpAudioMeters> meters_;
    std::unique_ptr<TpAudMonitor> phones_;
    std::unique_ptr<TpChanStatus> chanStatus_;
    std::unique_ptr<TpDolbyStatus> dolby_;
    std::unique_ptr<TkrSFPStatus> sfpStatus_;
    int mode_ = 0;
    uint8_t channelMask_ = 0xFF;
    uint8_t statusByte_ = 0;
    uint32_t timing_[DolbyStatusView::kTimingWords] = {};
    unsigned updates_ = 0;
};
