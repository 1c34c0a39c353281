// The application object: builds the instrument at start-up (GuiInit), runs
// the message loop of the application thread, answers remote store requests
// and shuts everything down, saving the system data.
#pragma once

#include "core/threads/MessageQueue.h"
#include "core/store/TpApplication.h"
#include "remote/web/TpWebFrontEnd.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TpCommandLine;
class TpDialogList;
class TpKeyScan;
class TpIniFile;
class TpLogger;
class TpScripts;
class TpStore;

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
    void SetOutputParams(int leftCode, int rightCode, double leftGain, double rightGain) override;
    bool ServiceKeysHeld() const override { return serviceKeys_; }

    // Called on the application thread after every redraw; the host learns
    // from it that the LCD image changed.
    void SetScreenChangedHandler(std::function<void()> handler) { screenChanged_ = std::move(handler); }
    uint32_t ScreenChangeCount() const { return screenChanges_.load(); }

    // Until ShutDown.
    TpStore& Store();
    TpIniFile& Settings();
    TpLogger& Logger();
    TpCommandLine& Console();
    TpDialogList& Dialogs();
    TpKeyScan& KeyScan();
    TpScripts& Scripts();

    // Where the status file written for the status key and the web request
    // is kept on this computer.
    static std::string StatusXmlPath();
    // "System.dat": the system-kept values and texts of the store.
    static constexpr const char* kSystemFile = "System.dat";

private:
    struct Subsystems;

    void GuiInit();
    void HandleKeyMessage(AppMessage& message);
    void HandleKey(uint16_t code);
    void ReleaseRequester(const AppMessage& message, uint16_t type, uint32_t value);
    bool RemoteEnabled() const;
    void UpdateScreen();
    // Says once, when the remote-control server listens on a new port, the
    // port and the working and data folders.
    void AnnounceListener();
    bool SaveSystemData() const;
    bool LoadSystemData();
    void WriteStatusXml();

    TpWebFrontEnd webPages_;   // relayed by the remote-control page; outlives it
    // The top object of each subsystem, made by GuiInit in start-up order and
    // deleted by ShutDown in the reverse.
    std::unique_ptr<Subsystems> parts_;

    std::function<void()> screenChanged_;
    std::atomic<uint32_t> screenChanges_{0};
    std::atomic<bool> quit_{false};
    bool shutDown_ = false;
    bool systemActionPending_ = false;
    uint16_t announcedPort_ = 0;   // the listening port last announced; 0 while none
    bool serviceKeys_ = false;   // the service key combination was held at power-on
};
