// The generator page's Dolby source. The user picks a stream type, a Dolby E
// configuration and bit depth or an AC-3 mode and data rate, and a content;
// the generator finds the matching ".dlb" stream, has its thread
// "DolbyGenThread" read it, and on the application thread takes the new
// stream in, binds the metadata fields of the programme being edited to the
// stream's bits and parses the metadata. Every edit is written straight into
// the stream. It also keeps the Dolby E start line relative to the output
// video standard.
//
// The loader thread only reads files into buffers of their own; the request
// and the result pass under a mutex, and everything else (the stream, the
// fields, the parse) stays on the application thread.
#pragma once

#include "DolbyStreamFile.h"
#include "TpDolbyField.h"
#include "board/VideoFormat.h"
#include "core/commands/TpButtonPress.h"
#include "core/store/TpChildCmd.h"
#include "core/commands/TpSysDialog.h"
#include "core/threads/TpThread.h"
#include "platform/Semaphore.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

// Where the bound fields of a stream lie, as bit positions of its data (-1 =
// none): the two frame-rate codes and the metadata block of one programme.
struct DolbyFieldPlaces {
    int64_t frameRate = -1;
    int64_t originalRate = -1;
    int64_t block = -1;
};
// Walks the stream's segments to the block of programme (0 to count - 1).
DolbyFieldPlaces FindDolbyFieldPlaces(const DolbyStreamInfo& info, int program);

// The stream-rate suffix of a video standard.
const char* DolbyRateSuffix(int standard);

class TpDolbyGenerator : public TpCommand, public TpThread {
public:
    enum LoaderState : int { kIdle = 0, kLoading = 1, kLoaded = 2, kFailed = 3 };
    static constexpr int kTaskPeriodMs = 300;
    static constexpr int kReloadTicks = 10;
    static constexpr unsigned kDefaultTexts[2] = {245, 246};

    TpDolbyGenerator();
    ~TpDolbyGenerator() override;

    static TpDolbyGenerator* Instance();

    // The output video format changed.
    void SetVideoFormat(const VideoFormat& format);
    // Tells every view of the type control (the audio generator's among
    // them) whether a stream can be made.
    void AnnounceAvailability();

    void OnChildChanged(TpCommand* child, int reason) override;
    // "DolbyFileLoader": requests loads and takes finished ones in.
    void OnTask() override;
    void OnRestored() override;

    int GetLoaderState() const { return state_.load(); }
    const DolbyStreamInfo& Stream() const { return stream_; }
    const std::string& LoadedName() const { return loadedName_; }
    const std::string& RateSuffix() const { return suffix_; }

    // Console commands.
    void DumpDolby();
    void PaSpacing();

protected:
    void Run() override;
    void OnStopRequested() override;

private:
    std::unique_ptr<TpChildCmd> Child(uint16_t id);
    bool Running() const;
    TpProgramData& Current() { return *programs_[0]; }
    TpProgramData& Stored(int p) { return *programs_[static_cast<size_t>(p) + 1]; }
    int ConfigMode(int program) const;
    void RequestReload();
    void ShowForType();
    void ApplyRateLimits();
    void UpdateStartLine();
    void RelativeChanged();
    void RequestLoad();
    void TakeResult();
    void Reparse();
    void UnbindAll();
    void BindProgram(int program);
    void SelectProgram(int program);
    void CopyStoredToCurrent(int program);
    void CopyCurrentToStored(int program);
    void ApplyAll();
    void AskDefaults();
    void DefaultAll();
    void ColourAc3Mode();

    std::unique_ptr<TpChildCmd> type_, config_, bitDepth_, mode_, rate_, content_;
    std::unique_ptr<TpButtonPress> info_, default_;
    std::unique_ptr<TpChildCmd> lines_, relative_;
    std::unique_ptr<TpDolbyFrameRate> frameRate_, origRate_;
    std::unique_ptr<TpChildCmd> errors_, source_;
    std::array<std::unique_ptr<TpProgramData>, kDolbyMaxPrograms + 1> programs_;
    std::unique_ptr<TpSysDialog> confirm_;

    VideoFormat format_;
    std::string suffix_ = "_25";
    int ideal_ = 0;
    int countdown_ = kReloadTicks;
    bool reloadRequested_ = true;   // the first stream loads once the countdown ends
    std::atomic<bool> spacingRequested_{false};
    bool busy_ = false;
    bool defaulting_ = false;
    bool applying_ = false;
    bool restored_ = false;
    bool relativeWas_ = false;

    // The stream in use (application thread only).
    DolbyStreamInfo stream_;
    int streamConfig_ = 0;
    int program_ = 0;   // the programme the fields are bound to
    std::string loadedName_;

    // Hand-over with the loader thread.
    std::mutex mutex_;
    DolbyLoadRequest request_;
    struct Result {
        bool ready = false;
        int ok = 0;
        DolbyLoadRequest request;
        DolbyStreamInfo info;
    } result_;
    std::atomic<int> state_{kIdle};
    Semaphore semaphore_{0, 1};
};
