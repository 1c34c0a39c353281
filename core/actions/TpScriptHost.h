// What a script action asks of the scripts page that runs it. The scripts
// page is the one host; it takes its place in its constructor and leaves in
// its destructor, so the actions of the analyser and the meters need nothing
// of the page's own library.
#pragma once

#include <cstdint>
#include <string>

class TpScriptAction;

class TpScriptHost {
public:
    // The host while it exists; none before and after.
    static TpScriptHost* Instance();

    // Adds the action as the next step type; always 1.
    virtual int RegisterAction(TpScriptAction* action) = 0;
    // An action being destroyed leaves its slot empty.
    virtual void ForgetAction(const TpScriptAction* action) = 0;
    // Shows the prompt window with text; wait shows the Continue button.
    virtual void Prompt(const std::string& text, uint8_t wait) = 0;
    // Closes the prompt window when there is one.
    virtual void ReleaseAction() = 0;
    // "<div>" text(number) [" " text] "</div>" into the running report.
    virtual void AddReportLine(unsigned textNumber, const char* text) = 0;
    virtual void AddReportResult(const std::string& text, bool wrap) = 0;

protected:
    TpScriptHost() = default;
    // Leaves, when still the host.
    ~TpScriptHost();
    // The host takes its place once it can answer, and leaves before it
    // starts coming apart.
    void BecomeHost();
    void LeaveHost();
    TpScriptHost(const TpScriptHost&) = delete;
    TpScriptHost& operator=(const TpScriptHost&) = delete;
};
