#include "TpDolbyStatus.h"

#include "DolbyGenTables.h"
#include "board/DolbyBoard.h"
#include "board/FrameStore.h"
#include "board/VideoFormat.h"
#include "core/commands/TpButtonPress.h"
#include "core/log/TpLogger.h"
#include "core/store/Colours.h"
#include "platform/DebugOut.h"
#include "ui/widgets/TpColouredList.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// Items of the lists: label/value pairs, the value item after its label.
constexpr int kAc3Items = 108;
constexpr int kOverviewItems = 12;
constexpr int kProgramItems = 54;
constexpr int kGainItems = 27;
constexpr int kConfigItems = 2;
// Overview values.
constexpr int kFrameRateItem = 1;
constexpr int kProgramsItem = 3;
constexpr int kOrigRateItem = 5;
constexpr int kBitsItem = 7;
constexpr int kTimeCodeItem = 11;
// Gains grid: a header row of channel names, then the start and end gains.
constexpr int kGainColumns = 9;
constexpr int kStartGainItem = 9;
constexpr int kEndGainItem = 18;
// The Dolby-D rows after the programme rows of the AC-3 list.
constexpr int kAc3RateItem = 55;
constexpr int kPaSpacingItem = 57;
constexpr uint16_t kAbsent = 0xFFFF;
constexpr uint16_t kNotApplicable = 0x8000;
constexpr uint16_t kNoTimeCode = 0xFFFF;

std::string GainText(uint16_t g)
{
    if (g == 0)
        return "  MUTE";
    char text[16];
    std::snprintf(text, sizeof text, "%5.1fdB", 20.0 * std::log10(std::pow(2.0, (static_cast<int>(g) - 960) / 64.0)));
    return text;
}

void AddBlankItems(TpCommand* cmd, int count)
{
    for (int i = 0; i < count; ++i)
        cmd->AddItem("");
}

} // namespace

TpDolbyStatus::TpDolbyStatus(TpCommand* parent, const CmdIds& ids, const Texts& texts)
    : TpChildCmd(parent, 0, kKeepsNothing), cmds_(ids), texts_(texts)
{
    for (int i : {kSource, kInputSelect, kIndependent, kDependent, kRelative, kRefSource, kProgram, kErrors,
                  kLogErrors, kLogTiming, kLogCommon, kLogProgram, kInternal1, kInternal2})
        cmds_.Make<TpChildCmd>(i, this, kKeepsValue);
    cmds_.Make<TpButtonPress>(kClearErrors, this, kKeepsValue);
    for (int i : {kKindText, kLines, kDescription, kRefInfo, kRefLock})
        cmds_.Make<TpChildCmd>(i, this, kKeepsText);
    cmds_.Make<TpChildCmd>(kStartTime, this, kKeepsValueText);
    AddBlankItems(cmds_.Make<TpChildCmd>(kAc3Status, this, kKeepsNothing), kAc3Items);
    AddBlankItems(cmds_.Make<TpChildCmd>(kOverview, this, kKeepsNothing), kOverviewItems);
    AddBlankItems(cmds_.Make<TpColouredList>(kProgramStatus, this, 0u, kKeepsNothing), kProgramItems);
    AddBlankItems(cmds_.Make<TpChildCmd>(kGains, this, kKeepsNothing), kGainItems);
    AddBlankItems(cmds_.Make<TpChildCmd>(kConfig, this, kKeepsNothing), kConfigItems);
    Cmd(kAc3Status)->SetColumnCount(6);
    Cmd(kAc3Status)->SetRowCount(18);
    Cmd(kOverview)->SetColumnCount(4);
    Cmd(kOverview)->SetRowCount(3);
    Cmd(kProgramStatus)->SetColumnCount(6);
    Cmd(kProgramStatus)->SetRowCount(9);
    Cmd(kGains)->SetColumnCount(kGainColumns);
    Cmd(kGains)->SetRowCount(3);

    TpCommand* overview = Cmd(kOverview);
    const TpCommand* common = Cmd(kLogCommon);
    overviewRows_.push_back(std::make_unique<TpConfigField>(Cmd(kConfig), common, &status_.programConfig, 1,
                                                            texts_[kConfigLabel], kDolbyEConfigCount - 1, 0xFFFF));
    overviewRows_.push_back(std::make_unique<TpStatusField>(overview, common, &status_.frameRateCode,
                                                            kFrameRateItem, texts_[kFrameRateLabel], 15, 0xFFFF,
                                                            Names(dolby_frame_rate_names)));
    overviewRows_.push_back(std::make_unique<TpStatusField>(overview, common, &status_.originalFrameRateCode,
                                                            kOrigRateItem, texts_[kOrigRateLabel], 15, 0xFFFF,
                                                            Names(dolby_frame_rate_names)));
    overviewRows_.push_back(std::make_unique<TpStatusNumField>(overview, common, &status_.bitsPerWord, kBitsItem,
                                                               texts_[kBitsLabel], 24, 0xFFFF));
    overview->SetItemTextAll(kProgramsItem - 1, "Programs");
    overview->SetItemTextAll(kTimeCodeItem - 1, "TimeCode");
    Cmd(kGains)->SetItemTextAll(kStartGainItem, "StartGain");
    Cmd(kGains)->SetItemTextAll(kEndGainItem, "End Gain");
    programRows_ = MakeProgramRows(Cmd(kProgramStatus), programMode_);
    ac3Rows_ = MakeProgramRows(Cmd(kAc3Status), ac3Mode_);
    Cmd(kAc3Status)->SetItemTextAll(kAc3RateItem - 1, "Data Rate");
    Cmd(kAc3Status)->SetItemTextAll(kPaSpacingItem - 1, "Pa Spacing");

    ClearRecord();
    SetDolbyInspectedProgram(0);
}

TpDolbyStatus::~TpDolbyStatus()
{
    // The rows write into the lists: they go first.
    overviewRows_.clear();
    programRows_.clear();
    ac3Rows_.clear();
    cmds_.Clear();
}

std::vector<std::unique_ptr<TpStatusField>> TpDolbyStatus::MakeProgramRows(TpCommand* list, TpAcModeField*& acMode)
{
    std::vector<std::unique_ptr<TpStatusField>> rows;
    const TpCommand* source = Cmd(kLogProgram);
    for (const DolbyRowDef& def : dolby_program_rows) {
        auto at = [&def](DolbyProgramMetadata& r) {
            return reinterpret_cast<const uint16_t*>(reinterpret_cast<const char*>(&r) + def.field);
        };
        const int item = 2 * def.row + 1;
        const unsigned label = texts_[kRowLabel + def.row];
        switch (def.kind) {
        case DolbyFieldClass::Db:
            rows.push_back(std::make_unique<TpStatusDBField>(list, source, at(display_), item, label, def.maximum,
                                                             def.mask, def.names, at(record_)));
            break;
        case DolbyFieldClass::AcMode: {
            auto field = std::make_unique<TpAcModeField>(list, source, at(display_), item, label, def.maximum,
                                                         def.mask, def.names);
            acMode = field.get();
            rows.push_back(std::move(field));
            break;
        }
        case DolbyFieldClass::Status:
            rows.push_back(std::make_unique<TpStatusField>(list, source, at(display_), item, label, def.maximum,
                                                           def.mask, def.names));
            break;
        }
    }
    return rows;
}

// --- selectors ------------------------------------------------------------------------------

void TpDolbyStatus::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue || updating_)
        return;
    const int32_t value = child->GetValue();
    switch (cmds_.IndexOf(child)) {
    case kSource:
    case kInputSelect:
        SourceChanged();
        break;
    case kProgram:
        if (value < 0 || value >= kDolbyMaxPrograms)
            break;
        program_ = value;
        SetDolbyInspectedProgram(value);
        Update();
        break;
    case kIndependent:
    case kDependent:
        StreamsChanged();
        break;
    case kRefSource:
    case kRelative:
        ShowReference();
        MeasureLine();
        break;
    case kClearErrors:
        errorCount_ = 0;
        cmds_.SetValue(kErrors, 0);
        Cmd(kErrors)->SetColourAll(0);
        break;
    default:
        break;
    }
}

// The pair chosen (item 0 the AES input, receiver input 8; items 1-8 the
// embedded pairs 0-7) of the analyser's input: either changing is a new
// source, shown afresh.
void TpDolbyStatus::SourceChanged()
{
    const int32_t source = cmds_.Value(kSource);
    dolby_hw_source_select(source == 0 ? kAesReceiverInput : source - 1);
    forced_ = true;
    ForceRows();
    Update();
}

void TpDolbyStatus::StreamsChanged()
{
    int independent = cmds_.Value(kIndependent);
    if (independent < 0 || independent >= kAc3Streams) {
        DebugPrintf("ERROR: iIndependent=%d\n", independent);
        independent = 0;
    }
    // The stream items live with the views of the selector, not with the
    // page's own command: set every index through the store.
    for (int i = 0; i < kAc3Streams; ++i)
        Cmd(kDependent)->SetItemEnabledAll(i, i <= independent);
    dolby_hw_stream_select(independent, cmds_.Value(kDependent));
}

std::string TpDolbyStatus::ChannelName(int channel) const
{
    const DolbyEConfig* row = DolbyEConfigAt(shownConfig_);
    if (row == nullptr || channel < 0 || channel >= 4)
        return std::string();
    return dolby_pair_names[row->pairLabels[channel]];
}

// --- periodic update --------------------------------------------------------------------

void TpDolbyStatus::Update()
{
    updating_ = true;
    previous_ = status_;
    const bool visible = Cmd(kSource)->IsVisible();
    if (SimInputStandard() < 0) {
        ShowLoss();
    } else {
        // The kind of the stream received: the one the generator plays, not
        // the type it was last asked for, whose stream may not have loaded.
        const int kind = KindOf(ParsedDolbyType());
        if (kind != kind_)
            KindChanged(kind);
        if (kind_ == kDolbyE)
            UpdateDolbyE(visible);
        else if (kind_ != kNone)
            UpdateDolbyD();
        else
            ShowFor(kNone, visible);
        present_ = present_ || kind_ != kNone;
    }
    forced_ = false;
    updating_ = false;
}

int TpDolbyStatus::KindOf(int type)
{
    if (type == static_cast<int>(DolbyType::DolbyE))
        return kDolbyE;
    if (type == static_cast<int>(DolbyType::Plus))
        return kDolbyPlus;
    return type >= 0 && type < kDolbyTypeCount ? kDolbyD : kNone;
}

const char* TpDolbyStatus::KindName(int kind)
{
    static constexpr const char* kKindNames[] = {"PCM", "Dolby-E", "Dolby-D", "Dolby+"};
    return kKindNames[kind >= kDolbyE && kind <= kDolbyPlus ? kind : kNone];
}

// What the stream received before showed and the new one does not carry
// goes empty and grey.
void TpDolbyStatus::KindChanged(int kind)
{
    const bool ac3 = kind == kDolbyD || kind == kDolbyPlus;
    if (kind != kDolbyE) {
        ClearDolbyE();
        cmds_.SetText(kDescription, "");
        Cmd(kDescription)->SetColourAll(Colour::kGrey);
    }
    if (!ac3)
        ClearAc3();
    kind_ = kind;
}

void TpDolbyStatus::ShowFor(int kind, bool visible)
{
    const bool dolbyE = kind == kDolbyE && dolbyPresent_ && visible;
    for (int i : {kOverview, kProgramStatus, kGains, kLines, kStartTime})
        cmds_.SetVisible(i, dolbyE);
    cmds_.SetVisible(kAc3Status, kind == kDolbyD || kind == kDolbyPlus);
    cmds_.SetVisible(kIndependent, kind == kDolbyPlus);
    cmds_.SetVisible(kDependent, kind == kDolbyPlus);
    cmds_.SetText(kKindText, KindName(kind));
}

void TpDolbyStatus::UpdateDolbyE(bool visible)
{
    const bool key = dolby_key_flag() != 0;
    if (key != keyPresent_) {
        keyPresent_ = key;
        DebugPrintf("bKeyPresent=%d\n", key ? 1 : 0);
    }
    const bool present = visible && GetDolbyEStatus(status_) != 0;
    if (!present)
        status_.programConfig = kDolbyNotReadyConfig;
    if (present != dolbyPresent_) {
        dolbyPresent_ = present;
        DebugPrintf("bDolbyPresent=%d\n", present ? 1 : 0);
    }
    ShowFor(kDolbyE, visible);

    const uint16_t config = status_.programConfig;
    const DolbyEConfig* row = DolbyEConfigAt(config);
    const int programs = row != nullptr ? row->programs : 0;
    UpdateRows(overviewRows_);
    Cmd(kOverview)->SetItemTextAll(kProgramsItem, FormatStatusInt("%d", programs));
    const uint16_t tc = status_.timeCode;
    if (tc == kNoTimeCode) {
        Cmd(kOverview)->SetItemTextAll(kTimeCodeItem, "n/a");
    } else {
        // The status carries one time-code word, the frames byte (bit 6 marks
        // drop frames); hours, minutes and seconds read 0.
        const char separator = (tc & 0x40) != 0 ? ';' : ':';
        char text[24];
        std::snprintf(text, sizeof text, "%02x%c%02x%c%02x%c%02x", 0u, separator, 0u, separator, 0u, separator,
                      tc & 0x3Fu);
        Cmd(kOverview)->SetItemTextAll(kTimeCodeItem, text);
    }
    const bool configChanged = config != shownConfig_;
    if (configChanged)
        ShowConfig(config);
    ShowGains(configChanged || forced_);
    ColourOwnLabels(0);

    // A programme the stream does not carry has no metadata and no description.
    const bool carried = present && program_ < programs && ReadProgramMetadata(record_) != 0;
    if (!carried)
        record_ = AbsentRecord();
    record_.description[kDolbyDescriptionMax] = '\0';
    programMode_->SetExpected(carried ? static_cast<uint16_t>(row->ac3Modes[program_]) : kAbsent);
    PrepareDisplay();
    const std::string description = record_.description;
    const uint32_t colour = carried ? 0 : Colour::kGrey;
    if (forced_ || Cmd(kDescription)->GetText() != description || Cmd(kDescription)->GetColour() != colour) {
        cmds_.SetText(kDescription, description);
        Cmd(kDescription)->SetColourAll(colour);
    }
    UpdateRows(programRows_);
}

void TpDolbyStatus::ShowConfig(uint16_t config)
{
    shownConfig_ = config;
    const DolbyEConfig* row = DolbyEConfigAt(config);
    const int programs = row != nullptr ? row->programs : 0;
    for (int p = 0; p < kDolbyMaxPrograms; ++p)
        Cmd(kProgram)->SetItemEnabledAll(p, p < programs);
    for (int k = 0; k < kDolbyMaxChannels; ++k) {
        const char* name = row != nullptr && k < row->channels ? dolby_channel_names[row->channelLabels[k]] : "";
        char text[16];
        std::snprintf(text, sizeof text, "%6s", name);
        Cmd(kGains)->SetItemTextAll(1 + k, row != nullptr ? text : "");
    }
}

void TpDolbyStatus::ShowGains(bool all)
{
    const DolbyEConfig* row = DolbyEConfigAt(status_.programConfig);
    const int channels = row != nullptr ? row->channels : 0;
    TpCommand* gains = Cmd(kGains);
    for (int k = 0; k < kDolbyMaxChannels; ++k) {
        const size_t c = static_cast<size_t>(k);
        if (!all && status_.startGain[c] == previous_.startGain[c] && status_.endGain[c] == previous_.endGain[c])
            continue;
        const bool shown = k < channels;
        gains->SetItemTextAll(kStartGainItem + 1 + k, shown ? GainText(status_.startGain[c]) : "");
        gains->SetItemTextAll(kEndGainItem + 1 + k, shown ? GainText(status_.endGain[c]) : "");
    }
}

void TpDolbyStatus::PrepareDisplay()
{
    display_ = record_;
    DolbyProgramMetadata& d = display_;
    if (d.dialogNorm != kAbsent)
        d.dialogNorm = static_cast<uint16_t>(d.dialogNorm == 0 ? -31 : -static_cast<int>(d.dialogNorm));
    if (d.mixLevel != kAbsent)
        d.mixLevel = static_cast<uint16_t>((d.mixLevel & 0xFF) + 80);
    if (d.dynamicRange[0] != kAbsent)
        d.dynamicRange[0] = std::min<uint16_t>(d.dynamicRange[0], 7);
    if (d.compressionWord != kAbsent)
        d.compressionWord = std::min<uint16_t>(d.compressionWord, 7);
    const uint16_t mode = record_.ac3Mode;
    if (mode > 7)
        return;
    // Fields that do not apply to the programme's AC-3 mode show empty.
    auto applies = [](uint16_t& field, bool yes) {
        if (!yes)
            field |= kNotApplicable;
    };
    applies(d.downmixMode, mode >= 3);
    applies(d.ltRtCentreMixLevel, mode == 3 || mode == 5 || mode == 7);
    applies(d.loRoCentreMixLevel, mode == 3 || mode == 5 || mode == 7);
    applies(d.ltRtSurroundMixLevel, mode >= 4);
    applies(d.loRoSurroundMixLevel, mode >= 4);
    applies(d.surroundExMode, mode >= 6);
    applies(d.headphoneMode, mode == 2);
    applies(d.adConverterType, mode == 2);
    applies(d.extendedInfo, mode == 2);
    applies(d.encoderInfo, mode == 2);
}

void TpDolbyStatus::UpdateDolbyD()
{
    status_.programConfig = kAbsent;
    dolbyPresent_ = true;
    ShowFor(kind_, true);
    // The simulated AC-3 reader finds the stream the generator plays, with
    // the AC-3 mode and data rate it was loaded as.
    record_ = AbsentRecord();
    int mode = -1;
    int rate = -1;
    const bool stream = GetAc3Stream(mode, rate) != 0;
    record_.ac3Mode = static_cast<uint16_t>(stream && mode >= 0 && mode <= 7 ? mode : kAbsent);
    ac3Mode_->SetExpected(record_.ac3Mode);
    PrepareDisplay();
    UpdateRows(ac3Rows_);
    // The rate items start at 64 kbit/s, code 4.
    const int code = rate + 4;
    const bool known = code >= 0 && code < static_cast<int>(std::size(dolby_ac3_kbps));
    Cmd(kAc3Status)->SetItemTextAll(kAc3RateItem, !stream ? std::string()
                                                  : known ? FormatStatusInt("%d kbps", dolby_ac3_kbps[code])
                                                          : std::string("???"));
    for (int item : {kAc3RateItem, kPaSpacingItem})
        Cmd(kAc3Status)->SetItemColoursAll(item - 1, 0, Colour::kListBlue);
    Cmd(kAc3Status)->SetItemColoursAll(kAc3RateItem, Colour::kWhite, Colour::kListBlue);

    const bool flag = hw_status_read(kErrorRegister) != 0;
    if (flag != errorFlag_) {
        errorFlag_ = flag;
        const int base = kind_ == kDolbyPlus ? kPlusErrorOn : kDErrorOn;
        LogEvent(Cmd(kLogErrors), kEventError, texts_[flag ? base : base + 1], nullptr);
    }
    if (forced_)
        errorCount_ = 0;
    if (flag)
        ++errorCount_;
    cmds_.SetValue(kErrors, errorCount_);
    Cmd(kErrors)->SetColourAll(errorCount_ != 0 ? Colour::kRed : 0);
    if (kAc3FrameSamples != frameSize_) {
        frameSize_ = kAc3FrameSamples;
        LogEventInt(Cmd(kLogCommon), kEventInfo, texts_[kFrameSizeText], frameSize_);
    }
    Cmd(kAc3Status)->SetItemTextAll(kPaSpacingItem, FormatStatusInt("%d", frameSize_));
    Cmd(kAc3Status)->SetItemColoursAll(kPaSpacingItem, frameSize_ == kAc3FrameSamples ? Colour::kWhite : Colour::kRed,
                                       Colour::kListBlue);
}

void TpDolbyStatus::ShowLoss()
{
    if (present_)
        LogEvent(Cmd(kLogErrors), kEventError, texts_[kLossText], nullptr);
    present_ = false;
    keyPresent_ = false;
    dolbyPresent_ = false;
    kind_ = kLost;
    cmds_.SetText(kKindText, KindName(kNone));
    cmds_.SetVisible(kLines, false);
    cmds_.SetVisible(kStartTime, false);
    ClearDolbyE();
    ClearAc3();
    cmds_.SetText(kDescription, "<NO Dolby data!>");
    Cmd(kDescription)->SetColourAll(Colour::kRed);
}

DolbyProgramMetadata TpDolbyStatus::AbsentRecord()
{
    DolbyProgramMetadata record{};
    std::memset(&record, 0xFF, offsetof(DolbyProgramMetadata, reserved));
    return record;
}

void TpDolbyStatus::ClearRecord()
{
    record_ = AbsentRecord();
    display_ = record_;
}

// The Dolby E overview, configuration, programme rows and gains.
void TpDolbyStatus::ClearDolbyE()
{
    status_ = DolbyEStatus{kAbsent, kAbsent, kAbsent, kAbsent, kAbsent};
    status_.startGain.fill(kAbsent);
    status_.endGain.fill(kAbsent);
    ClearRecord();
    for (auto* rows : {&overviewRows_, &programRows_})
        for (auto& row : *rows) {
            row->Force();
            row->Update();
        }
    Cmd(kOverview)->SetItemTextAll(kProgramsItem, "");
    Cmd(kOverview)->SetItemTextAll(kTimeCodeItem, "");
    for (int i = 1; i < kGainItems; ++i)
        if (i != kStartGainItem && i != kEndGainItem)
            Cmd(kGains)->SetItemTextAll(i, "");
    ColourOwnLabels(Colour::kGrey);
    shownConfig_ = kAbsent;
}

// The labels of the overview and gain rows the page fills itself, grey while
// their values are empty, as the status rows' labels are.
void TpDolbyStatus::ColourOwnLabels(uint32_t colour)
{
    for (int item : {kProgramsItem - 1, kTimeCodeItem - 1})
        Cmd(kOverview)->SetItemColoursAll(item, colour, 0);
    for (int item : {kStartGainItem, kEndGainItem})
        Cmd(kGains)->SetItemColoursAll(item, colour, 0);
}

// The AC-3 rows, data rate and frame size.
void TpDolbyStatus::ClearAc3()
{
    ClearRecord();
    for (auto& row : ac3Rows_) {
        row->Force();
        row->Update();
    }
    for (int item : {kAc3RateItem, kPaSpacingItem}) {
        Cmd(kAc3Status)->SetItemTextAll(item, "");
        Cmd(kAc3Status)->SetItemColoursAll(item - 1, Colour::kGrey, Colour::kListBlue);
        Cmd(kAc3Status)->SetItemColoursAll(item, Colour::kGrey, Colour::kListBlue);
    }
}

void TpDolbyStatus::ForceRows()
{
    for (auto* rows : {&overviewRows_, &programRows_, &ac3Rows_})
        for (auto& row : *rows)
            row->Force();
}

void TpDolbyStatus::UpdateRows(std::vector<std::unique_ptr<TpStatusField>>& rows)
{
    for (auto& row : rows)
        row->Update();
}

// --- received start line ----------------------------------------------------------------

void TpDolbyStatus::UpdateDolbyLine(const uint32_t (&timing)[kTimingWords])
{
    std::copy(std::begin(timing), std::end(timing), timing_);
    ShowReference();
    MeasureLine();
}

// The simulator has one source of video timing, the simulated input: either
// timing reference is its standard. The reference lock text stays empty:
// the simulated input has no lock to report.
void TpDolbyStatus::ShowReference()
{
    const VideoStdRow* row = VideoStdAt(SimInputStandard());
    const std::string overview = row != nullptr ? row->name : "";
    if (cmds_.Text(kRefInfo) != overview)
        cmds_.SetText(kRefInfo, overview);
}

void TpDolbyStatus::MeasureLine()
{
    const int64_t rate = timing_[kClockKhz];
    const int64_t samplesPerLine = timing_[kSamplesPerLine];
    const int64_t lines = timing_[kLinesPerFrame];
    // Without the input's timing there is nothing to measure: the last line
    // stays.
    if (rate == 0 || samplesPerLine == 0)
        return;
    const int standard = SimInputStandard();
    // The start time (ns) in samples of the kHz clock, less the receiver's delay.
    int64_t samples = static_cast<int64_t>(dolby_start_time_ns() * static_cast<uint64_t>(rate) / 1000000u);
    samples -= standard > 1 ? 5 : 2;
    const VideoStdRow* row = VideoStdAt(standard);
    if (row != nullptr && (row->flags & kStdHighRate) != 0)
        samples /= 2;
    for (int i = 0; i < 2 && samples < 0 && lines * samplesPerLine > 0; ++i)
        samples += lines * samplesPerLine;
    const int64_t line = samples / samplesPerLine + timing_[kFirstLine];
    int64_t remainder = samples % samplesPerLine;
    if (remainder < 0)
        remainder += samplesPerLine;

    const DolbyLineWindow w = DolbyLineWindowOf(standard);
    int lineClass = -1;   // no window for the standard
    if (w.maximum != 0)
        lineClass = line >= w.low && line <= w.high ? 0 : line >= w.minimum && line <= w.maximum ? 1 : 2;
    if (lineClass != lineClass_) {
        lineClass_ = lineClass;
        if (lineClass >= 0)
            LogEvent(Cmd(kLogTiming), kEventError, texts_[kLineInWindow + lineClass], nullptr);
    }
    int64_t shown = line;
    char sign = ' ';
    // Only a Dolby E stream has an ideal line to be relative to.
    if (kind_ == kDolbyE && dolbyPresent_ && cmds_.Value(kRelative) != 0) {
        shown -= w.ideal;
        if (shown > 0)
            sign = '+';
    }
    char text[40];
    std::snprintf(text, sizeof text, "Line %c%ld", sign, static_cast<long>(shown));
    static constexpr uint32_t kClassColours[] = {0, Colour::kDarkGreen, Colour::kRed};
    cmds_.SetText(kLines, text);
    Cmd(kLines)->SetColourAll(lineClass >= 0 ? kClassColours[lineClass] : 0);
    // The start time in tenths of a microsecond: samples of the kHz clock x 10000.
    const int64_t tenths = (remainder + samplesPerLine * line) * 10000 / rate;
    const long magnitude = static_cast<long>(tenths < 0 ? -tenths : tenths);
    char time[32];
    std::snprintf(time, sizeof time, "%s%ld.%ldus", tenths < 0 ? "-" : "", magnitude / 10, magnitude % 10);
    cmds_.SetValue(kStartTime, static_cast<int32_t>(tenths));
    cmds_.SetText(kStartTime, time);
}
