#include "TpZuApplication.h"

#include "core/threads/RemoteReplySlot.h"
#include "core/requests/StoreRequests.h"
#include "core/store/TpCommand.h"
#include "core/log/TpCommandLine.h"
#include "core/files/TpIniFile.h"
#include "core/log/TpLogger.h"
#include "core/memories/TpMemoryFile.h"
#include "core/store/TpStore.h"

#include "KrZuApi.h"
#include "analysis/TpAnalyser.h"
#include "audio/generator/TpAudGenerator.h"
#include "audio/meters/TpThreshold.h"
#include "audio/dolby/TpDolbyGenerator.h"
#include "board/SimInputCommand.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/server/TpRemoteCtrl.h"
#include "remote/scripts/TpScripts.h"
#include "remote/web/TpXmlStatus.h"
#include "sim/EmSfpSimFlags.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdImageFiles.h"
#include "system/TpMemories.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/keys/TpKeyScan.h"

#include <cstring>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {
TpZuApplication* g_app = nullptr;

// Menu keys 1 and 8 held together at power-on: service mode.
constexpr uint32_t kServiceKeys = (1u << (kKeyMenu1 - 1)) | (1u << (kKeyMenu8 - 1));

// A queue handle, open while it exists.
struct QueueHandle : MessageQueue {
    explicit QueueHandle(const char* name) { Open(name, 1, 100, 1500); }
};

// Registers one of the simulated module's console commands; its handler gets
// the words of the line after the command's name.
void AddSimConsoleCommand(const std::string& name, int minAbbreviation, ConsoleCommandHandler handler)
{
    AddCommand(name, minAbbreviation, 0, [handler](int) {
        std::istringstream line(TpCommandLine::ArgText());
        std::vector<std::string> words;
        for (std::string word; line >> word;)
            words.push_back(word);
        handler(words);
    });
}

// A start-up step between two subsystems: runs once, where it stands in the
// list.
struct StartStep {
    template <typename Step>
    explicit StartStep(Step step)
    {
        step();
    }
};
} // namespace

// The top object of each subsystem, in start-up order: members are built in
// the order they are declared and destroyed in the reverse, so this list is
// both the start-up and the shutdown order. Steps between two subsystems
// stand where they run.
struct TpZuApplication::Subsystems {
    explicit Subsystems(TpZuApplication& app);

    TpKeyScan keyScan;
    StartStep keyScanStarted{[this] { keyScan.Start(); }};
    QueueHandle msgq{"/msgq"};
    QueueHandle remctrl{"/remctrl"};
    TpDialogList dialogs;
    TpCommandLine console;
    // Without a window, the simulated SFP module's modes and the simulated
    // input's video standard are switched from the console. The input is the
    // output looped back: with no video generator to pass the format on, the
    // input's standard goes straight to the Dolby generator as its output
    // format.
    StartStep simCommands{[] {
        RegisterEmSfpSimCommands(AddSimConsoleCommand);
        RegisterSimInputCommands(AddSimConsoleCommand, [](int standard) {
            if (TpDolbyGenerator* generator = TpDolbyGenerator::Instance())
                generator->SetVideoFormat(VideoFormat{standard});
        });
    }};
    TpStore store;
    TpIniFile settings{"./system.cfg"};
    TpLogger logger;
    StartStep dialogsLoaded{[this] { dialogs.LoadDefinitions(settings.GetString("", "Language", "Orb")); }};
    TpCommand keyLock{COM_REMOTE_DISABLE_KEYBOARD, kKeepsValue};
    TpXmlStatus xmlStatus;
    TpMemories memories;
    StartStep foldersMade{[] { Paths::MakeDataFolders(); }};   // the scripts, reports and screen dumps go there
    // The scripts page comes before every object that registers a script
    // action (the audio monitors, the analyser), and after the memories,
    // whose backup list its archive choice shows.
    TpScripts scripts{TpScripts::kCommandIds};
    StartStep mainShown{[this] { dialogs.Show("Main", 1); }};
    // The Dolby generator comes before the audio generator, which offers its
    // stream as a source.
    TpDolbyGenerator dolbyGenerator;
    // The audio generator comes after the video generator, which calls it,
    // and before the reference page and the analyser.
    TpAudGenerator audioGenerator;
    TpAnalyser analyser;
    // The audio threshold set follows the analyser, whose meters it watches.
    TpThresholdSet thresholds{TpThresholdSet::kRows};
    // Remote control: after the analyser, before the default settings; it
    // goes first, ending every connection while the store still stands.
    TpRemoteCtrl remoteCtrl;
};

TpZuApplication::Subsystems::Subsystems(TpZuApplication& app)
    : audioGenerator(&app, settings, kAudGenCmdIds, true, true, master_level_table, kMasterLevelCount),
      analyser(nullptr, &settings, &app),
      remoteCtrl(TpRemoteCtrl::kCommandIds, settings, &app.webPages_)
{
}

TpZuApplication* TpZuApplication::Instance()
{
    return g_app;
}

TpZuApplication::TpZuApplication()
{
    g_app = this;
    GuiInit();
}

TpZuApplication::~TpZuApplication()
{
    ShutDown();
    if (g_app == this)
        g_app = nullptr;
}

std::string TpZuApplication::StatusXmlPath()
{
    return Paths::MapInstrumentPath(TpXmlStatus::kStatusFile);
}

void TpZuApplication::GuiInit()
{
    serviceKeys_ = (read_key_state() & kServiceKeys) == kServiceKeys;
    parts_ = std::make_unique<Subsystems>(*this);

    DebugPrintf("Default settings\n");
    parts_->store.ApplyDefaults();
    DebugPrintf("Loading saved settings\n");
    LoadSystemData();

    parts_->dialogs.MarkAllDirty();
    UpdateScreen();
    parts_->logger.EnableEvents(true);
    parts_->keyScan.EnableUpdates(true);
    MakeFolder(ScreenDumpFolder());
    MakeScreendumpIndex();
    DebugPrintf("finished GuiInit\n");
    AnnounceListener();
}

void TpZuApplication::ShutDown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    // The key scan first, so nothing posts while the system data is saved
    // and the objects go.
    parts_->keyScan.Stop();
    DebugPrintf("Saving System data...\n");
    SaveSystemData();
    parts_.reset();
}

TpStore& TpZuApplication::Store() { return parts_->store; }
TpIniFile& TpZuApplication::Settings() { return parts_->settings; }
TpLogger& TpZuApplication::Logger() { return parts_->logger; }
TpCommandLine& TpZuApplication::Console() { return parts_->console; }
TpDialogList& TpZuApplication::Dialogs() { return parts_->dialogs; }
TpKeyScan& TpZuApplication::KeyScan() { return parts_->keyScan; }
TpScripts& TpZuApplication::Scripts() { return parts_->scripts; }

void TpZuApplication::ProcessMessages()
{
    // Every message waiting is taken at once and handled in order before the
    // thread waits again. Only while clients are sending does the thread
    // watch for the next request before it sleeps, so an idle simulator
    // (one update every tick) costs nothing extra.
    std::vector<AppMessage> batch(kAppQueueCapacity);
    bool clientsActive = false;
    while (!quit_.load() && parts_) {
        const size_t n = parts_->msgq.ReceiveAll(batch.data(), batch.size(), clientsActive);
        clientsActive = false;
        for (size_t i = 0; i < n && !quit_.load(); ++i) {
            clientsActive = clientsActive || batch[i].header.type != MsgType::kUpdate;
            Dispatch(batch[i]);
        }
    }
    ShutDown();
}

bool TpZuApplication::ProcessPending()
{
    AppMessage message;
    while (!quit_.load() && parts_ && parts_->msgq.ReceiveFor(message, 0))
        Dispatch(message);
    return !quit_.load();
}

bool TpZuApplication::Dispatch(AppMessage& message)
{
    if (shutDown_)
        return false;
    const RemoteMsgHeader& h = message.header;
    if (h.type == MsgType::kUpdate) {
        parts_->store.Tick();
        UpdateScreen();
        AnnounceListener();
    } else if (h.type == MsgType::kConsole) {
        parts_->console.RunLine(reinterpret_cast<const char*>(message.payload));
    } else if (h.type == MsgType::kKey) {
        HandleKeyMessage(message);
    } else if (h.type >= MsgType::kStoreFirst && h.type <= MsgType::kStoreLast) {
        ProcessMessage(message);
    } else {
        ReleaseRequester(message, ReplyType::kError, ResultWord::kRefused);
    }
    return !quit_.load();
}

void TpZuApplication::ReleaseRequester(const AppMessage& message, uint16_t type, uint32_t value)
{
    if (message.header.magic == Origin::kLocal)
        return;
    uint8_t reply[kRemoteHeaderSize];
    MakeHeaderReply(message.header, type, value, reply);
    RemoteReplySlot::Reply(message.header.spare, reply, sizeof reply);
}

void TpZuApplication::HandleKeyMessage(AppMessage& message)
{
    const RemoteMsgHeader& h = message.header;
    if (h.length != 0) {
        // A key message with a payload is a console line.
        parts_->console.RunLine(reinterpret_cast<const char*>(message.payload));
        ReleaseRequester(message, ReplyType::kOk, 0);
        return;
    }
    if (h.cmdId == KeySub::kNoKeyCmdId) {
        ReleaseRequester(message, ReplyType::kOk, 0);
        return;
    }
    const uint16_t code = static_cast<uint16_t>(h.value);
    const bool hostPowerOff = h.magic == Origin::kLocal && code == (kKeyPressFlag | kKeyPowerOff);
    if (code == KeySub::kStatusXml) {
        WriteStatusXml();
    } else if (hostPowerOff) {
        // The host's quit (window or signal) works whatever a client locked.
        quit_.store(true);
    } else if (parts_->store.GetValue(COM_REMOTE_DISABLE_KEYBOARD) == 0 && !systemActionPending_) {
        HandleKey(code);
    }
    if (code & kKeyPressFlag)
        UpdateScreen();
    // Every remote key message is answered once it has been handled (or
    // dropped). A connection waits for the one that carries its token: the
    // press, or for the status file the release, answered after the file was
    // written.
    ReleaseRequester(message, ReplyType::kOk, 0);
}

void TpZuApplication::HandleKey(uint16_t code)
{
    if (parts_->dialogs.RouteKey(code) == TpKeyResult::PowerOff)
        quit_.store(true);
}

bool TpZuApplication::RemoteEnabled() const
{
    // Without the enable switch nothing can disable remote control.
    const TpStore& store = parts_->store;
    return store.GetCmd(COM_REMOTE_ENABLE) == nullptr || store.GetValue(COM_REMOTE_ENABLE) != 0;
}

void TpZuApplication::ProcessMessage(AppMessage& message)
{
    const uint32_t origin = message.header.magic;
    if (origin != Origin::kRemote && origin != Origin::kWebPage) {
        DebugPrintf("ProcessMessage-Error-MagicNo Setup\n");
        ReleaseRequester(message, ReplyType::kError, ResultWord::kRefused);
        return;
    }
    uint8_t reply[kReplyBufferSize];
    size_t length;
    if (origin == Origin::kRemote && !RemoteEnabled()) {
        LogMessage(0, "Rejected Remote Control: Disabled");
        length = MakeHeaderReply(message.header, ReplyType::kError, ResultWord::kDisabled, reply);
    } else {
        length = AnswerStoreRequest(message, parts_->store, reply);
    }
    RemoteReplySlot::Reply(message.header.spare, reply, length);
}

void TpZuApplication::UpdateScreen()
{
    if (!parts_->dialogs.RedrawChanged())
        return;
    ++screenChanges_;
    if (screenChanged_)
        screenChanged_();
}

void TpZuApplication::AnnounceListener()
{
    // The server may listen only later: the port was taken, or the address
    // came later. Each tick looks, at the cost of one lock.
    const uint16_t port = parts_->remoteCtrl.ListeningPort();
    if (port != 0 && port != announcedPort_) {
        char cwd[4096];
        const char* work = getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
        DebugPrintf("Listening on port %u; working folder %s; data folder %s\n", static_cast<unsigned>(port), work,
                    Paths::DataFolder().c_str());
    }
    announcedPort_ = port;
}

void TpZuApplication::WriteStatusXml()
{
    parts_->xmlStatus.Write(TpXmlStatus::kStatusFile, "xmlformat.ini", parts_->store);
}

// The generator's levels and output parameters go to the audio monitors
// through the analyser.
void TpZuApplication::SetLevel(int dest, double level, uint32_t flags)
{
    if (TpAnalyser* analyser = TpAnalyser::Instance())
        analyser->SetLevel(dest, level, flags);
}

void TpZuApplication::SetOutputParams(int leftCode, int rightCode, double leftGain, double rightGain)
{
    if (TpAnalyser* analyser = TpAnalyser::Instance())
        analyser->SetOutputParams(leftCode, rightCode, leftGain, rightGain);
}

bool TpZuApplication::SaveSystemData() const
{
    const TpStore& store = parts_->store;
    TpMemory system;
    system.number = 1;
    system.name = "System";
    for (unsigned id = 1; id < store.EntryCount(); ++id) {
        const TpCommandEntry* e = store.Entry(id);
        if (e == nullptr || !e->defined || !(e->storeMask & kStoreSystem) || e->head == nullptr)
            continue;
        TpMemoryValue v;
        v.cmdId = static_cast<uint16_t>(id);
        v.hasValue = (e->storeKind & kStoreValue) != 0;
        v.value = e->head->GetValue();
        v.hasText = (e->storeKind & kStoreText) != 0;
        v.text = e->head->GetText();
        if (v.hasValue || v.hasText)
            system.values.push_back(v);
    }
    return WriteFileAtomic(kSystemFile, TpMemoryFile::Format({system}));
}

bool TpZuApplication::LoadSystemData()
{
    std::string text;
    if (!ReadWholeFile(kSystemFile, text))
        return false;
    std::vector<TpMemory> memories;
    if (!TpMemoryFile::Parse(text, memories) || memories.empty()) {
        DebugPrintf("ERROR: %s is corrupt; the default settings stay\n", kSystemFile);
        return false;
    }
    TpStore& store = parts_->store;
    for (const TpMemoryValue& v : memories.front().values) {
        const TpCommandEntry* e = store.Entry(v.cmdId);
        if (e == nullptr || !e->defined || !(e->storeMask & kStoreSystem))
            continue;
        if (v.hasValue)
            store.SetValue(v.cmdId, v.value);
        if (v.hasText)
            store.SetText(v.cmdId, v.text);
    }
    return true;
}
