// The event log. Events are kept as the items of the event list command
// COM_ANLYS_LOG_VIEW, one text per event laid out for the web pages:
//
//   "L HH:MM:SS DD-MM-YYYY message"
//    0 2        11         22
//
// with L the level letter (E error, W warning, i information, C command). The
// message is the event's text-table text and its own text, joined by a space.
//
// Filtered adds (LogMessage*, LogEvent*) are kept only once start-up has
// enabled the logger, while the switch COM_ANLYS_LOG_ENABLE is on and, when a
// source command is given, while its value is not 0. AddEvent always adds.
//
// Any thread may add events. Events added on the application thread (the one
// that created the logger) go into the list at once; events from other
// threads wait in a locked queue and join the list, in order, when the
// application thread next runs the logger (its every-tick task, or its next
// add). Only the application thread touches the list command. A source
// command is a command, so it is read on the application thread only: worker
// threads log without one.
//
// The log keeps at most kCapacity events: when it is full, the oldest event
// goes to make room. Events waiting from other threads are bounded the same
// way.
#pragma once

#include "core/store/TpChildCmd.h"
#include "core/store/TpParent.h"
#include "core/commands/TpTextListCmd.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

enum TpEventLevel : int {
    kEventError = 0,
    kEventWarning = 1,
    kEventInfo = 2,
    kEventCommand = 3,
};

struct TpEvent {
    std::time_t time = 0;
    uint16_t source = 0;        // command id of the source, 0 = none
    int level = kEventError;
    unsigned textNumber = 0;    // text-table number, 0 = none
    std::string text;
};

class TpLogger : public TpParent {
public:
    static constexpr int kCapacity = 10000;

    explicit TpLogger(TpCommand* parent = nullptr);
    ~TpLogger() override;

    static TpLogger* Instance();

    // Set at the end of start-up; filtered adds are dropped before.
    void EnableEvents(bool on) { eventsEnabled_.store(on); }
    bool EventsEnabled() const { return eventsEnabled_.load(); }
    // The state of the logging switch COM_ANLYS_LOG_ENABLE.
    bool LoggingOn() const { return loggingOn_.load(); }

    // Joins the events queued by other threads to the list (application
    // thread).
    void Update();
    // Empties the event log.
    void Clear();
    int EntryCount() const { return list_->GetItemCount(); }
    std::string EntryText(int index) const { return list_->GetItemText(index); }

    // Writes the entries, one a line, to data folder + "/logfile.txt". False
    // when the file cannot be written.
    bool SaveAsText() const;
    static std::string TextFilePath();

    static char LevelChar(int level);
    static std::string FormatEntry(const TpEvent& event);

    TpTextListCmd& EventList() { return *list_; }
    TpChildCmd& LoggingSwitch() { return *switch_; }

    void OnChildChanged(TpCommand* child, int reason) override;
    void OnTask() override;

    // Adds one event (see the functions below); filtered applies the switches.
    static void Submit(const TpCommand* source, int level, unsigned textNumber, const std::string& text,
                       bool filtered);

private:
    void Append(const TpEvent& event);

    std::thread::id appThread_;
    std::atomic<bool> eventsEnabled_{false};
    std::atomic<bool> loggingOn_{true};
    std::deque<TpEvent> pending_;    // guarded by the process-wide logger lock
    std::unique_ptr<TpTextListCmd> list_;
    std::unique_ptr<TpChildCmd> switch_;
};

// Debug output with the level's prefix ("ERROR:", "WARN:", none, "???:"), and
// a filtered event of that level.
void LogMessage(int level, const std::string& text);
// As LogMessage with " " and the number after the text.
void LogMessageValue(int level, const std::string& text, long number);
// As LogMessage with the two texts joined.
void LogMessageText(int level, const std::string& text1, const std::string& text2);

// Filtered event: text number and text (text may be none).
void LogEvent(const TpCommand* source, int level, unsigned textNumber, const char* text);
void LogEventInt(const TpCommand* source, int level, unsigned textNumber, int number);
void LogEventLong(const TpCommand* source, int level, unsigned textNumber, long number);
// Unconditional event (when a logger exists).
void AddEvent(int level, unsigned textNumber, const std::string& text);
