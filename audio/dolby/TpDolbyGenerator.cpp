#include "TpDolbyGenerator.h"

#include "DolbyBitReader.h"
#include "DolbyMetadataReader.h"
#include "board/AudioBoard.h"
#include "board/DolbyBoard.h"
#include "board/FrameStore.h"
#include "core/log/TpCommandLine.h"
#include "core/store/Colours.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/dialogs/TpDialogList.h"

#include <algorithm>
#include <new>

namespace {

// The two plain Dolby Digital types, whose modes stop at 7.
bool IsDolbyDigital(int type)
{
    return type == static_cast<int>(DolbyType::DLegacy) || type == static_cast<int>(DolbyType::D);
}

TpDolbyGenerator* g_generator = nullptr;

constexpr int kSegmentIdBits = 4;
constexpr int kSegmentSizeBits = 12;
constexpr unsigned kId2StepBits = 123;
constexpr int kDumpDefaultWords = 200;
constexpr int kDumpWordsPerLine = 10;
constexpr int kSpacingMin = 1400;
constexpr int kSpacingMax = 1600;
// Line values with a meaning of their own.
constexpr int kLineFirst = -9999;
constexpr int kLineLast = 9999;
constexpr int kLineIdeal = 8888;

bool IsIn(const int8_t* list, size_t n, int standard)
{
    return std::find(list, list + n, standard) != list + n;
}

// The text of the selected item, from whichever view of the id has items.
std::string SelectedItemText(const TpCommand& cmd)
{
    TpStore* store = TpStore::Instance();
    for (const TpCommand* c = store != nullptr ? store->GetCmd(cmd.CmdId()) : &cmd; c != nullptr; c = c->NextInChain())
        if (cmd.GetValue() >= 0 && cmd.GetValue() < c->GetItemCount())
            return c->GetItemText(cmd.GetValue());
    return std::string();
}

} // namespace

const char* DolbyRateSuffix(int standard)
{
    if (IsIn(dolby_rate_29, std::size(dolby_rate_29), standard))
        return "_29";
    if (IsIn(dolby_rate_30, std::size(dolby_rate_30), standard))
        return "_30";
    if (IsIn(dolby_rate_24, std::size(dolby_rate_24), standard))
        return "_24";
    if (IsIn(dolby_rate_23, std::size(dolby_rate_23), standard))
        return "_23";
    return "_25";
}

DolbyFieldPlaces FindDolbyFieldPlaces(const DolbyStreamInfo& info, int program)
{
    DolbyFieldPlaces places;
    const uint32_t size = info.data ? info.dataSize : 0;
    DolbyBitReader bits(info.data.get(), size);
    const unsigned bpw = (info.flags & dlb::kFlag20Bit) != 0 ? 20 : 16;
    if (size > 0) {
        bits.SkipBits(bpw * (5 + ((info.flags & dlb::kFlagKeyWord) != 0 ? 1 : 0)) + 20);
        places.frameRate = static_cast<int64_t>(bits.Position());
        places.originalRate = places.frameRate + 4;
        bits.SkipBits(8);
    }
    if (info.metadataWord > size / 3)
        DebugPrintf("ERROR: iSample too large %d > %ld\n", static_cast<int>(info.metadataWord),
                    static_cast<long>(size / 3));
    else
        bits.SeekBit(static_cast<uint64_t>(info.metadataWord) * bpw + info.metadataBit);

    // Past the end every id reads as 0, so the walk ends.
    const unsigned count = info.programCount;
    while (!bits.Overrun()) {
        const uint32_t id = bits.ReadBits(kSegmentIdBits);
        if (id == 0)
            break;
        const uint32_t segmentSize = bits.ReadBits(kSegmentSizeBits);
        if (id == 1) {
            places.block = static_cast<int64_t>(bits.Position() + uint64_t(kDolbyBlockBits) * program);
            bits.SkipBits(uint64_t(kDolbyBlockBits) * count);
        } else if (id == 2) {
            bits.SkipBits(uint64_t(kId2StepBits) * count);
        } else {
            bits.SkipBits(segmentSize);
        }
    }
    return places;
}

TpDolbyGenerator* TpDolbyGenerator::Instance()
{
    return g_generator;
}

std::unique_ptr<TpChildCmd> TpDolbyGenerator::Child(uint16_t id)
{
    return std::make_unique<TpChildCmd>(this, id, kKeepsValue);
}

TpDolbyGenerator::TpDolbyGenerator() : TpCommand(0, kKeepsNothing), TpThread("DolbyGenThread")
{
    busy_ = true;
    // The stream folders, made once for all the fields.
    MakeDolbyFolders();
    type_ = Child(COM_GEN_DOLBY_TYPE);
    config_ = Child(COM_GEN_DOLBY_PGM_CONFIG);
    bitDepth_ = Child(COM_GEN_DOLBY_BIT_DEPTH);
    mode_ = Child(COM_GEN_DOLBY_D_MODE);
    rate_ = Child(COM_GEN_DOLBY_D_RATE);
    content_ = Child(COM_GEN_DOLBY_NAME);
    info_ = std::make_unique<TpButtonPress>(this, COM_GEN_DOLBY_INFO);
    default_ = std::make_unique<TpButtonPress>(this, COM_GEN_DOLBY_DEFAULT);
    lines_ = Child(COM_GEN_DOLBY_LINES);
    relative_ = Child(COM_GEN_DOLBY_RELATIVE_NOMINAL);
    frameRate_ = std::make_unique<TpDolbyFrameRate>(this, COM_GEN_DOLBY_FRAME_RATE);
    origRate_ = std::make_unique<TpDolbyFrameRate>(this, COM_GEN_DOLBY_ORIG_RATE);
    errors_ = Child(COM_GEN_DOLBY_ERRORS);
    source_ = Child(COM_GEN_DOLBY_PGM_SOURCE);
    for (size_t p = 0; p < programs_.size(); ++p)
        programs_[p] = std::make_unique<TpProgramData>(this, static_cast<uint16_t>(p));
    relativeWas_ = relative_->GetValue() != 0;
    g_generator = this;

    // Nothing is received before the first load: the reader starts empty,
    // ready with every value zero.
    ResetDolbyReader();
    SetDolbyReady(1);
    if (TpStore* store = TpStore::Instance()) {
        store->AddTask(this, "DolbyFileLoader", kTaskPeriodMs, false, false);
        store->AddRestoreHandler(this);
    }
    errors_->SetVisibleAll(false);
    AddCommand("dumpdolby", 6, 0, [](int) {
        if (TpDolbyGenerator* g = Instance())
            g->DumpDolby();
    });
    AddCommand("paspacing", 3, 0, [](int) {
        if (TpDolbyGenerator* g = Instance())
            g->PaSpacing();
    });
    // The controls of the starting type only (Dolby E: no AC-3 mode or rate).
    ShowForType();
    busy_ = true;
    type_->SetEnabledAll(true);
    content_->SetEnabledAll(true);
    type_->SetItemEnabledAll(static_cast<int>(DolbyType::AD), false);
    bitDepth_->SetItemEnabledAll(1, false);
    bitDepth_->SetItemEnabledAll(3, false);
    busy_ = false;
    Start();
}

TpDolbyGenerator::~TpDolbyGenerator()
{
    DebugChatty("Terminate Dolby Gen Thread\n");
    // The thread stops before anything it could touch goes.
    Stop();
    DebugChatty("deleting Dolby Gen Thread\n");
    busy_ = true;
    // Its stream plays no more.
    ResetDolbyReader();
    if (g_generator == this)
        g_generator = nullptr;
}

void TpDolbyGenerator::OnStopRequested()
{
    DebugChatty("NewStreamSemaphore.Post\n");
    if (!semaphore_.Post())
        DebugPrintf("SemaphorePost FAILED\n");
}

void TpDolbyGenerator::Run()
{
    while (!StopRequested()) {
        if (!semaphore_.Wait() || StopRequested())
            break;
        state_.store(kLoading);
        DolbyLoadRequest request;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            request = request_;
        }
        DolbyStreamInfo info;
        const int ok = LoadDolbyFile(request, info);
        std::lock_guard<std::mutex> lock(mutex_);
        result_.ready = true;
        result_.ok = ok;
        result_.request = std::move(request);
        result_.info = std::move(info);
        state_.store(ok != 0 ? kLoaded : kFailed);
    }
    DebugChatty("Dolby Gen Thread terminated\n");
}

bool TpDolbyGenerator::Running() const
{
    const TpStore* store = TpStore::Instance();
    return store != nullptr && store->LoadState() == kLoadNormal;
}

int TpDolbyGenerator::ConfigMode(int program) const
{
    const DolbyEConfig* row = DolbyEConfigAt(streamConfig_);
    return row != nullptr && program >= 0 && program < kDolbyMaxPrograms ? static_cast<int>(row->ac3Modes[program]) : 0;
}

void TpDolbyGenerator::AnnounceAvailability()
{
    if (TpStore* store = TpStore::Instance())
        store->SetVisible(COM_GEN_DOLBY_TYPE, type_->IsVisible());
}

// --- output format and start line ----------------------------------------------------

void TpDolbyGenerator::SetVideoFormat(const VideoFormat& format)
{
    format_ = format;
    if (format.standard >= 0 && format.standard <= 55)
        suffix_ = DolbyRateSuffix(format.standard);
    ideal_ = DolbyLineWindowOf(format.standard).ideal;
    loadedName_.clear();
    reloadRequested_ = true;
    countdown_ = kReloadTicks;
    UpdateStartLine();
}

void TpDolbyGenerator::UpdateStartLine()
{
    const bool relative = relative_->GetValue() != 0;
    int total = VideoFormat::GetTotalLines(format_);
    int line = lines_->GetValue();
    if (line == kLineFirst)
        line = 1;
    else if (line == kLineLast)
        line = total;
    else if (line == kLineIdeal)
        line = relative ? 0 : ideal_;
    else if (line > total)
        line = 1;
    else if (!relative && line <= 0)
        line = total;
    if (line != lines_->GetValue()) {
        busy_ = true;
        lines_->SetValueAll(line);
        busy_ = false;
    }

    const int absolute = line + (relative ? ideal_ : 0);
    const DolbyLineWindow w = DolbyLineWindowOf(format_.standard);
    uint32_t colour = 0;
    if (absolute < w.minimum || absolute > w.maximum)
        colour = Colour::kRed;
    else if (absolute < w.low || absolute > w.high)
        colour = Colour::kDarkGreen;
    lines_->SetColourAll(colour);

    // The receiver of the looped-back output counts the lines from the
    // start line to the end of the frame.
    if (total > 0)
        dolby_set_line_count(total - (((absolute - 1) % total + total) % total));

    int offset = absolute - VideoFormat::GetDolbyIdealLine(format_);
    const VideoStdRow* row = format_.Row();
    if (format_.levelB != 0 && row != nullptr && (row->flags & kStdHighRate) != 0) {
        offset /= 2;
        total /= 2;
    }
    if (total > 0 && offset < 1)
        offset += (1 - offset + total - 1) / total * total;
    dolby_hw_line(offset, total);
}

void TpDolbyGenerator::RelativeChanged()
{
    const bool now = relative_->GetValue() != 0;
    if (now != relativeWas_) {
        busy_ = true;
        lines_->SetValueAll(lines_->GetValue() + (now ? -ideal_ : ideal_));
        busy_ = false;
    }
    relativeWas_ = now;
    UpdateStartLine();
}

// --- controls by type ---------------------------------------------------------------------

void TpDolbyGenerator::ShowForType()
{
    const int type = type_->GetValue();
    const bool dolbyE = type == static_cast<int>(DolbyType::DolbyE);
    busy_ = true;
    for (TpCommand* cmd : std::initializer_list<TpCommand*>{config_.get(), bitDepth_.get(), lines_.get(),
                                                            frameRate_.get(), origRate_.get(), default_.get(),
                                                            source_.get(), &Current()})
        cmd->SetVisibleAll(dolbyE);
    for (int i = 0; i < kDolbyFieldCount; ++i)
        Current().Field(i).SetVisibleAll(dolbyE);
    mode_->SetVisibleAll(!dolbyE);
    rate_->SetVisibleAll(!dolbyE);
    bitDepth_->SetItemEnabledAll(2, dolbyE);
    bitDepth_->SetItemEnabledAll(3, dolbyE && type_->IsEnabled());
    for (int item = 8; item < kDolbyAc3ModeCount; ++item)
        mode_->SetItemEnabledAll(item, type == static_cast<int>(DolbyType::Plus) && item == 13);
    if (IsDolbyDigital(type) && mode_->GetValue() > 7)
        mode_->SetValueAll(7);
    busy_ = false;
    if (Running())
        ApplyRateLimits();
}

void TpDolbyGenerator::ApplyRateLimits()
{
    const int type = type_->GetValue();
    const int mode = mode_->GetValue();
    int low = 0;
    int high = 15;
    if (IsDolbyDigital(type) && mode >= 0 && mode <= 7) {
        low = dolby_rate_low_d[mode];
    } else if (type == static_cast<int>(DolbyType::Plus) && mode >= 0 && mode < kDolbyAc3ModeCount) {
        low = dolby_rate_low_plus[mode];
        high = mode >= 8 ? 16 : 15;
    }
    busy_ = true;
    for (int item = 0; item < kDolbyRateItems; ++item)
        rate_->SetItemEnabledAll(item, item >= low && item <= high);
    busy_ = false;
    // A raised rate is a new stream.
    if (rate_->GetValue() < low)
        rate_->SetValueAll(low);
}

// --- loading ------------------------------------------------------------------------------

void TpDolbyGenerator::RequestReload()
{
    reloadRequested_ = true;
    countdown_ = 0;
}

void TpDolbyGenerator::OnTask()
{
    if (countdown_ > 0) {
        --countdown_;
    } else if (reloadRequested_ || spacingRequested_.load()) {
        if (spacingRequested_.exchange(false))
            loadedName_.clear();
        reloadRequested_ = false;
        RequestLoad();
    }
    TakeResult();
}

void TpDolbyGenerator::RequestLoad()
{
    const DolbyNameSettings settings{type_->GetValue(), config_->GetValue(), bitDepth_->GetValue(),
                                     mode_->GetValue(),  SelectedItemText(*rate_), SelectedItemText(*content_),
                                     suffix_};
    DolbyLoadRequest request;
    if (!DolbyFileName(settings, request) || request.path == loadedName_)
        return;
    request.ac3Rate = rate_->GetValue();
    if (!type_->IsVisible()) {
        loadedName_.clear();
        return;
    }
    loadedName_ = request.path;
    for (int p = 0; p < kDolbyMaxPrograms; ++p)
        request.descriptions[static_cast<size_t>(p)] = Stored(p).GetText();
    request.format = format_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        request_ = std::move(request);
    }
    state_.store(kLoading);
    if (!semaphore_.Post())
        DebugPrintf("SemaphorePost FAILED\n");
}

void TpDolbyGenerator::TakeResult()
{
    Result result;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!result_.ready)
            return;
        result = std::move(result_);
        result_ = Result{};
        int finished = result.ok != 0 ? kLoaded : kFailed;
        state_.compare_exchange_strong(finished, kIdle);
    }
    if (result.ok == 0) {
        ReportDolbyLoadFailure(result.request.path);
        return;
    }
    UnbindAll();
    stream_ = std::move(result.info);
    streamConfig_ = result.request.config;
    // A new stream ends what a restore left: every programme takes its
    // configuration's AC-3 mode.
    restored_ = false;
    if (stream_.type == static_cast<int>(DolbyType::DolbyE) && stream_.programCount > 0)
        ApplyAll();
    Reparse();
}

void TpDolbyGenerator::Reparse()
{
    SetDolbyReady(0);
    ParseDolbyMetadata(stream_);
    SetDolbyReady(1);
}

// --- binding and programmes ---------------------------------------------------------------

void TpDolbyGenerator::UnbindAll()
{
    frameRate_->Unbind();
    origRate_->Unbind();
    for (int i = 0; i < kDolbyFieldCount; ++i)
        Current().Field(i).Unbind();
}

void TpDolbyGenerator::BindProgram(int program)
{
    UnbindAll();
    const int count = stream_.programCount;
    if (stream_.type != static_cast<int>(DolbyType::DolbyE) || count < 1 || !stream_.data)
        return;
    if (program >= count) {
        DebugPrintf("ERROR: Invalid Program selected: %d (Max=%d)\n", program, count);
        program = count - 1;
    }
    program = std::max(program, 0);
    program_ = program;
    const DolbyFieldPlaces places = FindDolbyFieldPlaces(stream_, program);
    if (places.frameRate >= 0) {
        if (frameRate_->IsVisible())
            frameRate_->Bind(stream_.data, stream_.dataSize, static_cast<uint64_t>(places.frameRate));
        if (origRate_->IsVisible())
            origRate_->Bind(stream_.data, stream_.dataSize, static_cast<uint64_t>(places.originalRate));
    }
    busy_ = true;
    for (int p = 0; p < kDolbyMaxPrograms; ++p)
        source_->SetItemEnabledAll(p, p < count);
    busy_ = false;
    if (places.block >= 0) {
        for (int i = 0; i < kDolbyFieldCount; ++i) {
            TpDolbyField& field = Current().Field(i);
            if (field.IsVisible())
                field.Bind(stream_.data, stream_.dataSize,
                           static_cast<uint64_t>(places.block) + dolby_field_rows[i].blockBit);
        }
    }
    TpCommand& mode = Current().Field(kDolbyAc3ModeField);
    for (int item = 0; item < kDolbyMaxPrograms; ++item) {
        const bool own = item == ConfigMode(program);
        mode.SetItemColoursAll(item, own ? 0 : Colour::kRed, own ? 0 : Colour::kWhite);
    }
}

void TpDolbyGenerator::SelectProgram(int program)
{
    busy_ = true;
    source_->SetValueAll(program);
    busy_ = false;
    BindProgram(program);
    if (!defaulting_)
        CopyStoredToCurrent(program_);
}

void TpDolbyGenerator::CopyStoredToCurrent(int program)
{
    if (program < 0 || program >= kDolbyMaxPrograms)
        return;
    busy_ = true;
    for (int i = 0; i < kDolbyFieldCount; ++i)
        Current().Field(i).SetValueAll(Stored(program).Field(i).GetValue());
    Current().SetTextAll(Stored(program).GetText());
    busy_ = false;
}

void TpDolbyGenerator::CopyCurrentToStored(int p)
{
    if (p < 0 || p >= kDolbyMaxPrograms)
        return;
    busy_ = true;
    for (int i = 0; i < kDolbyFieldCount; ++i)
        Stored(p).Field(i).SetValueAll(Current().Field(i).GetValue());
    Stored(p).SetTextAll(Current().GetText());
    busy_ = false;
    stream_.programs[static_cast<size_t>(p)].description = Current().GetText().substr(0, kDolbyDescriptionMax);
}

void TpDolbyGenerator::ColourAc3Mode()
{
    TpCommand& mode = Current().Field(kDolbyAc3ModeField);
    mode.SetColourAll(mode.GetValue() == ConfigMode(program_) ? 0 : Colour::kRed);
}

void TpDolbyGenerator::ApplyAll()
{
    BindProgram(source_->GetValue());
    busy_ = true;
    if (frameRate_->IsBound())
        frameRate_->SetValueAll(static_cast<int32_t>(frameRate_->ReadCode()));
    if (origRate_->IsBound())
        origRate_->SetValueAll(static_cast<int32_t>(origRate_->ReadCode()));
    busy_ = false;
    applying_ = true;
    for (int p = 0; p < stream_.programCount; ++p) {
        SelectProgram(p);
        for (int i = 0; i < kDolbyFieldCount; ++i)
            if (i != kDolbyAc3ModeField)
                Current().Field(i).WriteStream();
        if (!restored_) {
            busy_ = true;
            Stored(p).Field(kDolbyAc3ModeField).SetValueAll(ConfigMode(p));
            Current().Field(kDolbyAc3ModeField).SetValueAll(ConfigMode(p));
            busy_ = false;
        }
    }
    SelectProgram(0);
    ColourAc3Mode();
    applying_ = false;
}

void TpDolbyGenerator::AskDefaults()
{
    if (!confirm_)
        confirm_ = std::make_unique<TpSysDialog>(this);
    ShowCheckDialog(kDefaultTexts[0], kDefaultTexts[1], confirm_.get());
}

void TpDolbyGenerator::DefaultAll()
{
    const TpStore* store = TpStore::Instance();
    defaulting_ = true;
    busy_ = true;
    for (int i = 0; i < kDolbyFieldCount; ++i) {
        TpDolbyField& field = Current().Field(i);
        const TpCommandEntry* entry = store != nullptr ? store->Entry(field.CmdId()) : nullptr;
        field.SetValueAll(entry != nullptr ? entry->defaultValue : 0);
    }
    busy_ = false;
    // Every stored programme, in the stream or not: a later load copies the
    // stored programmes into its stream.
    for (int p = 0; p < kDolbyMaxPrograms; ++p) {
        if (p < stream_.programCount) {
            SelectProgram(p);
            for (int i = 0; i < kDolbyFieldCount; ++i)
                Current().Field(i).WriteStream();
        }
        busy_ = true;
        Current().SetTextAll("Program " + std::to_string(p + 1) + " Description");
        busy_ = false;
        CopyCurrentToStored(p);
    }
    SelectProgram(0);
    defaulting_ = false;
    CopyStoredToCurrent(0);
    Reparse();
}

// --- changes --------------------------------------------------------------------------------

void TpDolbyGenerator::OnChildChanged(TpCommand* child, int reason)
{
    if (busy_ || child == nullptr || (reason != kReasonValue && reason != kReasonText))
        return;
    const bool running = Running();
    if (child == type_.get()) {
        ShowForType();
        RequestReload();
    } else if (child == config_.get() || child == content_.get() || child == rate_.get()) {
        RequestReload();
    } else if (child == bitDepth_.get()) {
        RequestReload();
        const int depth = bitDepth_->GetValue();
        const bool eightChannels = depth < -1 || depth > 1;
        busy_ = true;
        for (int row : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 22, 23})
            config_->SetItemEnabledAll(row, eightChannels);
        busy_ = false;
    } else if (child == mode_.get()) {
        RequestReload();
        if (running)
            ApplyRateLimits();
    } else if (child == default_.get()) {
        AskDefaults();
    } else if (confirm_ && child == confirm_.get()) {
        if (confirm_->GetValue() != 0) {
            confirm_->TpCommand::SetValue(0);
            DefaultAll();
        }
    } else if (child == lines_.get()) {
        if (running)
            UpdateStartLine();
    } else if (child == relative_.get()) {
        if (running)
            RelativeChanged();
    } else if (child == frameRate_.get() || child == origRate_.get()) {
        if (stream_.data)
            Reparse();
    } else if (child == source_.get()) {
        if (running)
            SelectProgram(source_->GetValue());
    } else if (child == &Current() || Current().Owns(child)) {
        if (!running)
            return;
        if (child == &Current().Field(kDolbyAc3ModeField))
            ColourAc3Mode();
        if (child == &Current().Field(kDolbyLfeField) && type_->GetValue() != static_cast<int>(DolbyType::DolbyE))
            RequestReload();
        CopyCurrentToStored(program_);
        if (!applying_ && stream_.data)
            Reparse();
    }
}

void TpDolbyGenerator::OnRestored()
{
    restored_ = true;
    // The flag came with the defaults or the memory, its line with it: the
    // next change converts from here.
    relativeWas_ = relative_->GetValue() != 0;
    AnnounceAvailability();
    UpdateStartLine();
    ApplyRateLimits();
}

// --- console --------------------------------------------------------------------------------

void TpDolbyGenerator::DumpDolby()
{
    int start = TpCommandLine::ArgCount() >= 1 ? TpCommandLine::ArgWord(0) : 0;
    int count = TpCommandLine::ArgCount() >= 2 ? TpCommandLine::ArgWord(1) : kDumpDefaultWords;
    start &= ~3;
    if (start < 0 || count <= 0 || static_cast<uint32_t>(start) >= kFrameStoreWords) {
        DebugPrintf("ERROR: dumpdolby start %d count %d\n", start, count);
        return;
    }
    count = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(count), kFrameStoreWords - start));
    DebugPrintf("Start=%d WordCount=%d\n", start, count);
    std::unique_ptr<uint32_t[]> words(new (std::nothrow) uint32_t[static_cast<size_t>(count)]);
    if (!words) {
        DebugPrintf("Couldn't allocate dolby dump memory\n");
        return;
    }
    fb_read_words(words.get(), kDolbyMemoryBase + static_cast<uint32_t>(start), static_cast<uint32_t>(count));
    std::string text = "Dolby DDR Buffer\n";
    char cell[32];
    for (int i = 0; i < count; ++i) {
        if (i % kDumpWordsPerLine == 0) {
            std::snprintf(cell, sizeof cell, i == 0 ? "%4d: " : "\n%4d: ", start + i);
            text += cell;
        }
        std::snprintf(cell, sizeof cell, "%5x ", words[static_cast<size_t>(i)]);
        text += cell;
    }
    DebugPrintf("%s\n", text.c_str());
}

void TpDolbyGenerator::PaSpacing()
{
    const int value = TpCommandLine::ArgWord(0);
    if (value < kSpacingMin || value > kSpacingMax) {
        DebugPrintf("PaSpacing value 1400-1600\n");
        return;
    }
    dolby_hw_spacing(value);
    spacingRequested_.store(true);
}
