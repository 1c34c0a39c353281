// The application object: builds the instrument at start-up (GuiInit), runs
// the message loop of the application thread, answers remote store requests
// and shuts everything down, saving the system data.
#pragma once

#include "core/MessageQueue.h"
#include "core/TpApplication.h"
#include "remote/web/TpWebFrontEnd.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TpAudGenerator;
class TpAnalyser;
class TpCommand;
class TpCommandLine;
class TpDialogList;
class TpKeyScan;
class TpMemories;
class TpIniFile;
class TpLogger;
class TpRemoteCtrl;
class TpScripts;
class TpStore;
class TpThresholdSet;
class TpXmlStatus;

class TpZuApplication : public TpApplication {
public:
    // Runs GuiInit.
    TpZuApplication();
    ~TpZuApplication() override;
    TpZuApplication(const TpZuApplication&) = delete;
    TpZuApplication& operator=(const TpZuApplication&) = delete;

    static TpZuApplication* Instance();

    // The loop of the application thread: takes one message at a time until
    // the power-off key arrives, then shuts down.
    void ProcessMessages();
    // Handles every message waiting now (tests and single steps); false once
    // the power-off key was handled.
    bool ProcessPending();
    // Handles one message; false when it was the power-off key.
    bool Dispatch(AppMessage& message);
    // A remote store request (types 5 to 55).
    void ProcessMessage(AppMessage& message);

    // Stops every thread, saves the system data and deletes what start-up
    // made. Runs once; the destructor calls it.
    void ShutDown();
    bool IsShutDown() const { return shutDown_; }
    bool QuitRequested() const { return quit_.load(); }

    // TpApplication
    void SetLevel(int dest, double level, uint32_t flags) override;
    void SetOutputParams(int a, int b, double c, double d) override;
    bool ServiceKeysHeld() const override { return serviceKeys_; }

    // Called on the application thread after every redraw; the host learns
    // from it that the LCD image changed.
    void SetScreenChangedHandler(std::function<void()> handler) { screenChanged_ = std::move(handler); }
    uint32_t ScreenChangeCount() const { return screenChanges_.load(); }

    TpStore& Store() { return *store_; }
    TpIniFile& Settings() { return *settings_; }
    TpLogger& Logger() { return *logger_; }
    TpCommandLine& Console() { return *console_; }
    TpDialogList& Dialogs() { return *dialogs_; }
    TpKeyScan& KeyScan() { return *keyScan_; }
    TpScripts& Scripts() { return *scripts_; }

    // Where the status file written for the status key and the web request
    // is kept on this computer.
    static std::string StatusXmlPath();
    // "System.dat": the system-kept values and texts of the store.
    static constexpr const char* kSystemFile = "System.dat";

private:
    void GuiInit();
    void HandleKeyMessage(AppMessage& message);
    void HandleKey(uint16_t code);
    void ReleaseRequester(const AppMessage& message, uint16_t type, uint32_t value);
    bool RemoteEnabled() const;
    void UpdateScreen();
    bool SaveSystemData() const;
    bool LoadSystemData();
    void WriteStatusXml();

    TpWebFrontEnd webPages_;   // relayed by the remote-control page; outlives it
    std::unique_ptr<TpKeyScan> keyScan_;
    std::unique_ptr<TpDialogList> dialogs_;
    std::unique_ptr<TpCommandLine> console_;
    std::unique_ptr<TpStore> store_;
    std::unique_ptr<TpIniFile> settings_;
    std::unique_ptr<TpLogger> logger_;
    std::unique_ptr<TpCommand> keyLock_;
    std::unique_ptr<TpXmlStatus> xmlStatus_;
    std::unique_ptr<TpMemories> memories_;
    std::unique_ptr<TpScripts> scripts_;
    std::unique_ptr<TpAudGenerator> audioGenerator_;
    std::unique_ptr<TpAnalyser> analyser_;
    std::unique_ptr<TpThresholdSet> thresholds_;
    std::unique_ptr<TpRemoteCtrl> remoteCtrl_;
    MessageQueue msgq_;
    MessageQueue remctrl_;

    std::function<void()> screenChanged_;
    std::atomic<uint32_t> screenChanges_{0};
    std::atomic<bool> quit_{false};
    bool shutDown_ = false;
    bool systemActionPending_ = false;
    bool serviceKeys_ = false;   // the service key combination was held at power-on
};
