// Commands for tests that record what the command model does to them.
#pragma once

#include "core/store/TpChildCmd.h"
#include "core/store/TpParent.h"

#include <functional>
#include <vector>

// A parent without id that records every change its children report and
// can run a reaction to each.
class RecordingParent : public TpParent {
public:
    struct Note {
        TpCommand* child;
        int reason;
        int32_t value;
    };

    RecordingParent() : TpParent(nullptr, 0, kKeepsNothing) {}

    void OnChildChanged(TpCommand* child, int reason) override
    {
        notes.push_back(Note{child, reason, child->GetValue()});
        if (onChange) {
            auto react = onChange;   // the reaction may replace itself
            react(child, reason);
        }
    }

    int CountFor(const TpCommand* child, int reason) const
    {
        int n = 0;
        for (const Note& note : notes)
            n += note.child == child && note.reason == reason;
        return n;
    }

    std::vector<Note> notes;
    std::function<void(TpCommand*, int)> onChange;
};

// A child command that counts the values it is given.
class CountingCmd : public TpChildCmd {
public:
    CountingCmd(TpCommand* parent, uint16_t cmdId) : TpChildCmd(parent, cmdId, kKeepsValue) {}
    int32_t SetValue(int32_t value) override
    {
        ++valueSets;
        return TpChildCmd::SetValue(value);
    }
    int valueSets = 0;
};

// A command whose periodic task runs a given reaction and counts its runs.
class TaskOwner : public TpCommand {
public:
    TaskOwner() : TpCommand(0, kKeepsNothing, 0) {}
    void OnTask() override
    {
        ++runs;
        if (onTask) {
            auto task = onTask;   // the reaction may delete this owner
            task();
        }
    }
    void OnRestored() override { ++restores; }

    int runs = 0;
    int restores = 0;
    std::function<void()> onTask;
};
