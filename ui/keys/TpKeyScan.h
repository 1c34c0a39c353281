// The key-scan thread ("KeyScan"): takes the key codes the host put into the
// key mailbox and posts each to the application queue as a key message
// (MsgType::kKey, Origin::kLocal, the code in the value field) followed by an
// update message (MsgType::kUpdate, forced, so the screen follows the key at once), and sets
// the program-wide key-event byte. Once start-up has finished it also posts
// an update every update period (20 ms, one tick of the periodic tasks), so a
// task of P ms runs every P ms of wall time. An update still waiting in the
// queue is not doubled (MessageQueue::Send).
//
// The thread polls the mailbox every poll period. The update period is
// measured on the current clock, so a test with a manual clock decides when
// periodic updates fall due; tests may also drive ScanKeys and
// PostPeriodicUpdate directly, without the thread.
#pragma once

#include "core/threads/MessageQueue.h"
#include "core/threads/TpThread.h"

#include <atomic>
#include <cstdint>

class KeyMailbox;

class TpKeyScan : public TpThread {
public:
    static constexpr uint32_t kUpdatePeriodMs = 20;
    static constexpr uint32_t kPollPeriodMs = 10;

    explicit TpKeyScan(KeyMailbox& mailbox, uint32_t updatePeriodMs = kUpdatePeriodMs,
                       uint32_t pollPeriodMs = kPollPeriodMs);
    TpKeyScan();   // the simulator's key mailbox
    ~TpKeyScan() override;

    // Set by the application at the end of start-up: periodic updates begin.
    void EnableUpdates(bool on) { updatesEnabled_.store(on); }
    bool UpdatesEnabled() const { return updatesEnabled_.load(); }

    // Posts every code waiting in the mailbox (SendKey); returns how many.
    int ScanKeys();
    // Posts one update when start-up has finished; true when posted.
    bool PostPeriodicUpdate();
    // Posts a key message and an update, then sets the key-event byte.
    // False when the queue refused the key.
    bool SendKey(uint16_t code);

    // The program-wide key-event byte: set after every key posted; the
    // scripts read and clear it.
    static bool KeyEventPending();
    static bool TakeKeyEvent();
    static void ClearKeyEvent();

protected:
    void Run() override;

private:
    KeyMailbox& mailbox_;
    uint32_t updatePeriodMs_;
    uint32_t pollPeriodMs_;
    std::atomic<bool> updatesEnabled_{false};
    MessageQueue queue_;
};
