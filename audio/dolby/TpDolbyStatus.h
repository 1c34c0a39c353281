// The Dolby metadata status page: what the instrument receives in a Dolby
// stream on the chosen source. For Dolby E: the overview (configuration,
// programme count, time code, frame rates), the metadata of one programme,
// the start and end gain of every channel, and the received start line
// against the ideal line. For Dolby-D and Dolby-D+: the AC-3 metadata, the
// error flag and count and the frame size. Without input every row goes
// empty and the page says so once in the event log.
//
// The audio meters reach the page through DolbyStatusView: their update runs
// the page's update, and they pass on the analyser's video timing.
#pragma once

#include "DolbyMetadataReader.h"
#include "TpStatusField.h"
#include "audio/meters/DolbyStatusView.h"

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"
#include "core/store/TpCmdTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TpDolbyStatus : public TpChildCmd, public DolbyStatusView {
public:
    enum IdIndex : int {
        kSource, kInputSelect, kIndependent, kDependent, kAc3Status, kKindText, kOverview, kLines, kStartTime,
        kRelative, kRefSource, kRefInfo, kProgram, kDescription, kProgramStatus, kGains, kErrors, kClearErrors,
        kLogErrors, kLogTiming, kLogCommon, kLogProgram, kRefLock, kInternal1, kInternal2, kConfig, kIdCount
    };
    using CmdIds = std::array<uint16_t, kIdCount>;
    static constexpr CmdIds kCommandIds = {
        COM_ANLYS_DOLBY_SOURCE, COM_ANLYS_INP_SEL, COM_ANLYS_DOLBY_D_INDEPEND_STREAM_SRC,
        COM_ANLYS_DOLBY_D_DEPEND_STREAM_SRC, COM_ANLYS_DOLBY_D_STATUS, COM_ANLYS_DOLBY_D_TYPE,
        COM_ANLYS_DOLBY_OVERVIEW, COM_ANLYS_DOLBY_LINES, COM_ANLYS_DOLBY_US, COM_ANLYS_DOLBY_RELATIVE_NOMINAL,
        COM_ANLYS_DOLBY_REF_SOURCE, COM_ANLYS_DOLBY_REF_SOURCE_INFO, COM_ANLYS_DOLBY_PGM_SOURCE,
        COM_ANLYS_DOLBY_PGM_DESCRIPTION, COM_ANLYS_DOLBY_PGM_STATUS, COM_ANLYS_DOLBY_PGM_GAINS,
        COM_ANLYS_DOLBY_ERRORS, COM_ANLYS_DOLBY_CLEAR_ERRORS, COM_ANLYS_LOG_DOLBY_ERRORS_ENABLE,
        COM_ANLYS_LOG_DOLBY_TIMING_ENABLE, COM_ANLYS_LOG_DOLBY_COMMON_META_DATA_ENABLE,
        COM_ANLYS_LOG_DOLBY_PROGRAM_META_DATA_ENABLE, COM_ANLYS_REF_LOCK, 1453, 1454, COM_ANLYS_DOLBY_PGM_CONFIG,
    };

    // Text numbers: event codes and row labels (programme row r at kRowLabel + r).
    enum TextIndex : int {
        kLossText, kLineInWindow, kLineNearEdge, kLineOutside, kDErrorOn, kDErrorOff, kPlusErrorOn,
        kPlusErrorOff, kFrameSizeText, kFrameRateLabel, kOrigRateLabel, kBitsLabel, kConfigLabel, kRowLabel,
        kTextCount = kRowLabel + 27
    };
    using Texts = std::array<uint16_t, kTextCount>;
    static constexpr Texts kTexts = {600, 601, 602, 603, 604, 605, 606, 607, 608, 609, 610, 611, 612,
                                     613, 614, 615, 616, 617, 618, 619, 620, 621, 622, 623, 624, 625, 626,
                                     627, 628, 629, 630, 631, 632, 633, 634, 635, 636, 637, 638, 639};

    // Stream kinds; kLost while there is no input, so that whatever comes
    // back is shown afresh.
    enum Kind : int { kLost = -1, kNone = 0, kDolbyE = 1, kDolbyD = 2, kDolbyPlus = 3 };

    static constexpr int kAc3FrameSamples = 1536;
    static constexpr uint32_t kErrorRegister = 12;
    static constexpr int kAc3Streams = 9;   // independent and dependent stream indexes 0-8
    static constexpr int kAesReceiverInput = 8;   // the receiver's input after the eight embedded pairs

    TpDolbyStatus(TpCommand* parent, const CmdIds& ids, const Texts& texts);
    ~TpDolbyStatus() override;

    void OnChildChanged(TpCommand* child, int reason) override;

    // DolbyStatusView: the name of channel pair 0-3 of the configuration
    // shown, the periodic update, and the line timing.
    std::string ChannelName(int channel) const override;
    void UpdateMeters() override { Update(); }
    void UpdateDolbyLine(const uint32_t (&timing)[kTimingWords]) override;

    // One periodic update of the whole page.
    void Update();
    int32_t ErrorCount() const { return errorCount_; }

private:
    TpCommand* Cmd(int i) const { return cmds_.Cmd(i); }
    std::vector<std::unique_ptr<TpStatusField>> MakeProgramRows(TpCommand* list, TpAcModeField*& acMode);
    void ShowFor(int kind, bool visible);
    void UpdateDolbyE(bool visible);
    void UpdateDolbyD();
    void ShowConfig(uint16_t config);
    void ShowGains(bool all);
    void PrepareDisplay();
    static int KindOf(int type);
    static const char* KindName(int kind);
    void KindChanged(int kind);
    void ShowLoss();
    static DolbyProgramMetadata AbsentRecord();
    void ClearRecord();
    void ClearDolbyE();
    void ClearAc3();
    void ColourOwnLabels(uint32_t colour);
    void ForceRows();
    void UpdateRows(std::vector<std::unique_ptr<TpStatusField>>& rows);
    void MeasureLine();
    void SourceChanged();
    void StreamsChanged();
    void ShowReference();

    TpCmdTable cmds_;
    Texts texts_;
    std::vector<std::unique_ptr<TpStatusField>> overviewRows_;
    std::vector<std::unique_ptr<TpStatusField>> programRows_;
    std::vector<std::unique_ptr<TpStatusField>> ac3Rows_;
    TpAcModeField* programMode_ = nullptr;
    TpAcModeField* ac3Mode_ = nullptr;

    DolbyEStatus status_;
    DolbyEStatus previous_;
    DolbyProgramMetadata record_{};    // as read
    DolbyProgramMetadata display_{};   // prepared for the rows
    uint16_t shownConfig_ = 0xFFFE;    // configuration the gain columns are laid out for
    bool keyPresent_ = false;
    bool dolbyPresent_ = false;
    bool present_ = false;             // any stream shown since the last loss
    int kind_ = kLost;
    int program_ = 0;
    int lineClass_ = -1;
    bool errorFlag_ = false;
    int32_t errorCount_ = 0;
    int frameSize_ = 0;
    bool forced_ = true;
    bool updating_ = false;
    // Until the input's timing arrives: a 13.5 MHz clock and 1920-sample lines.
    static constexpr uint32_t kStartClockKhz = 13500;
    static constexpr uint32_t kStartSamplesPerLine = 1920;
    static_assert(kClockKhz == 0 && kSamplesPerLine == 1);
    uint32_t timing_[kTimingWords] = {kStartClockKhz, kStartSamplesPerLine};
};
