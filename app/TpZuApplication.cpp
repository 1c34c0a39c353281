#include "TpZuApplication.h"

#include "core/RemoteReplySlot.h"
#include "core/StoreRequests.h"
#include "core/TpCommand.h"
#include "core/TpCommandLine.h"
#include "core/TpIniFile.h"
#include "core/TpLogger.h"
#include "core/TpMemoryFile.h"
#include "core/TpStore.h"

#include "KrZuApi.h"
#include "analysis/TpAnalyser.h"
#include "audio/TpAudGenerator.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/server/TpRemoteCtrl.h"
#include "remote/scripts/TpScripts.h"
#include "remote/web/TpXmlStatus.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdImageFiles.h"
#include "system/TpMemories.h"
#include "ui/TpDialogList.h"
#include "ui/TpKeyScan.h"

#include <cstring>
#include <vector>

namespace {
TpZuApplication* g_app = nullptr;

// Menu keys 1 and 8 held together at power-on: service mode.
constexpr uint32_t kServiceKeys = (1u << (kKeyMenu1 - 1)) | (1u << (kKeyMenu8 - 1));

// --- remote control ----------------------------------------------------------------
// Command ids of the remote-control page, in the order it takes them: the
// network page's (Setup, Apply, DHCP switch, the DHCP address, mask, gateway
// and DNS displays, host name, the first octets of the static address, mask,
// gateway and DNS editors), then the enable switch, the port, the note shown
// while enabled and the client list.
constexpr uint16_t kRemoteCtrlIds[TpRemoteCtrl::kIdCount] = {
    COM_NETWORK_SETUP, COM_NETWORK_APPLY, COM_NETWORK_DHCP,
    COM_NETWORK_DHCP_IP, COM_NETWORK_DHCP_MASK, COM_NETWORK_DHCP_GATEWAY, COM_NETWORK_DHCP_DNS,
    COM_NETWORK_NAME,
    COM_NETWORK_IP_1, COM_NETWORK_MASK_1, COM_NETWORK_GATEWAY_1, COM_NETWORK_DNS_1,
    COM_REMOTE_ENABLE, COM_REMOTE_PORT, COM_REMOTE_ENABLED_NOTE, COM_REMOTE_CONNECTIONS,
};
// ---------------------------------------------------------------------------------
} // namespace

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
    keyScan_ = std::make_unique<TpKeyScan>();
    keyScan_->Start();
    msgq_.Open("/msgq", 1, 100, 1500);
    remctrl_.Open("/remctrl", 1, 100, 1500);
    dialogs_ = std::make_unique<TpDialogList>();
    console_ = std::make_unique<TpCommandLine>();
    store_ = std::make_unique<TpStore>();
    settings_ = std::make_unique<TpIniFile>("./system.cfg");
    logger_ = std::make_unique<TpLogger>();
    dialogs_->LoadDefinitions(settings_->GetString("", "Language", "Orb"));
    keyLock_ = std::make_unique<TpCommand>(COM_REMOTE_DISABLE_KEYBOARD, 1);
    xmlStatus_ = std::make_unique<TpXmlStatus>();
    memories_ = std::make_unique<TpMemories>();
    // The scripts page comes before every object that registers a script
    // action (the audio monitors, the analyser), and after the memories,
    // whose backup list its archive choice shows.
    Paths::MakeDataFolders();
    scripts_ = std::make_unique<TpScripts>(TpScripts::kCommandIds);
    dialogs_->Show("Main", 1);
    // The audio generator comes after the video generator, which calls it,
    // and before the reference page and the analyser.
    audioGenerator_ = std::make_unique<TpAudGenerator>(this, *settings_, kAudGenCmdIds, true, true, master_level_table,
                                                       kMasterLevelCount);
    analyser_ = std::make_unique<TpAnalyser>();
    // Remote control: after the analyser, before the default settings.
    remoteCtrl_ = std::make_unique<TpRemoteCtrl>(kRemoteCtrlIds, *settings_, &webPages_);

    DebugPrintf("Default settings\n");
    store_->ApplyDefaults();
    DebugPrintf("Loading saved settings\n");
    LoadSystemData();

    dialogs_->MarkAllDirty();
    UpdateScreen();
    logger_->EnableEvents(true);
    keyScan_->EnableUpdates(true);
    Paths::MakeDataFolders();
    MakeFolder(ScreenDumpFolder());
    MakeScreendumpIndex();
    DebugPrintf("finished GuiInit\n");
}

void TpZuApplication::ShutDown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    // Threads first, so nothing posts while the objects go.
    if (keyScan_)
        keyScan_->Stop();
    DebugPrintf("Saving System data...\n");
    SaveSystemData();
    remoteCtrl_.reset();   // ends every connection; before the store goes
    analyser_.reset();
    audioGenerator_.reset();
    scripts_.reset();
    memories_.reset();
    xmlStatus_.reset();
    keyLock_.reset();
    dialogs_.reset();
    logger_.reset();
    settings_.reset();
    store_.reset();
    console_.reset();
    keyScan_.reset();
    remctrl_.Close();
    msgq_.Close();
}

void TpZuApplication::ProcessMessages()
{
    // Every message waiting is taken at once and handled in order before the
    // thread waits again.
    std::vector<AppMessage> batch(kAppQueueCapacity);
    while (!quit_.load()) {
        const size_t n = msgq_.ReceiveAll(batch.data(), batch.size());
        for (size_t i = 0; i < n && !quit_.load(); ++i)
            Dispatch(batch[i]);
    }
    ShutDown();
}

bool TpZuApplication::ProcessPending()
{
    AppMessage message;
    while (!quit_.load() && msgq_.ReceiveFor(message, 0))
        Dispatch(message);
    return !quit_.load();
}

bool TpZuApplication::Dispatch(AppMessage& message)
{
    if (shutDown_)
        return false;
    const RemoteMsgHeader& h = message.header;
    if (h.type == MsgType::kUpdate) {
        store_->Tick();
        UpdateScreen();
    } else if (h.type == MsgType::kConsole) {
        console_->RunLine(reinterpret_cast<const char*>(message.payload));
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
        console_->RunLine(reinterpret_cast<const char*>(message.payload));
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
    } else if (store_->GetValue(COM_REMOTE_DISABLE_KEYBOARD) == 0 && !systemActionPending_) {
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
    if (dialogs_->RouteKey(code) == TpKeyResult::PowerOff)
        quit_.store(true);
}

bool TpZuApplication::RemoteEnabled() const
{
    // Without the enable switch nothing can disable remote control.
    return store_->GetCmd(COM_REMOTE_ENABLE) == nullptr || store_->GetValue(COM_REMOTE_ENABLE) != 0;
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
        length = AnswerStoreRequest(message, *store_, reply);
    }
    RemoteReplySlot::Reply(message.header.spare, reply, length);
}

void TpZuApplication::UpdateScreen()
{
    if (!dialogs_->RedrawChanged())
        return;
    ++screenChanges_;
    if (screenChanged_)
        screenChanged_();
}

void TpZuApplication::WriteStatusXml()
{
    xmlStatus_->Write(TpXmlStatus::kStatusFile, "xmlformat.ini", *store_);
}

// The generator's levels and output parameters go to the audio monitors
// through the analyser.
void TpZuApplication::SetLevel(int dest, double level, uint32_t flags)
{
    if (TpAnalyser* analyser = TpAnalyser::Instance())
        analyser->SetLevel(dest, level, flags);
}

void TpZuApplication::SetOutputParams(int a, int b, double c, double d)
{
    if (TpAnalyser* analyser = TpAnalyser::Instance())
        analyser->SetOutputParams(a, b, c, d);
}

bool TpZuApplication::SaveSystemData() const
{
    TpMemory system;
    system.number = 1;
    system.name = "System";
    for (unsigned id = 1; id < store_->EntryCount(); ++id) {
        const TpCommandEntry* e = store_->Entry(id);
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
    for (const TpMemoryValue& v : memories.front().values) {
        const TpCommandEntry* e = store_->Entry(v.cmdId);
        if (e == nullptr || !e->defined || !(e->storeMask & kStoreSystem))
            continue;
        if (v.hasValue)
            store_->SetValue(v.cmdId, v.value);
        if (v.hasText)
            store_->SetText(v.cmdId, v.text);
    }
    return true;
}
