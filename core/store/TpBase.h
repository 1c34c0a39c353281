// Root of the command classes and of the other objects that take part in the
// command model (status fields, script actions, oscillators).
#pragma once

class TpBase {
public:
    TpBase() = default;
    virtual ~TpBase() = default;
    TpBase(const TpBase&) = delete;
    TpBase& operator=(const TpBase&) = delete;

    // Empties the event log (passed on to the event logger, when there is
    // one).
    virtual void ClearEventLog();

    // The event logger, which sits above the command model, hands in how its
    // log is emptied.
    using EventLogClearer = void (*)();
    static void SetEventLogClearer(EventLogClearer clearer);
};
