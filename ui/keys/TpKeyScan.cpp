#include "TpKeyScan.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "sim/KeyMailbox.h"

namespace {

std::atomic<uint8_t> g_keyEvent{0};

} // namespace

TpKeyScan::TpKeyScan(KeyMailbox& mailbox, uint32_t updatePeriodMs, uint32_t pollPeriodMs)
    : TpThread("KeyScan"), mailbox_(mailbox), updatePeriodMs_(updatePeriodMs > 0 ? updatePeriodMs : 1),
      pollPeriodMs_(pollPeriodMs > 0 ? pollPeriodMs : 1)
{
    queue_.Open("/msgq", 1, 100, 1500);
}

TpKeyScan::TpKeyScan() : TpKeyScan(SimKeyMailbox()) {}

TpKeyScan::~TpKeyScan()
{
    Stop();
}

bool TpKeyScan::SendKey(uint16_t code)
{
    RemoteMsgHeader key;
    key.magic = Origin::kLocal;
    key.type = MsgType::kKey;
    key.value = code;
    if (!queue_.Send(key, nullptr)) {
        DebugPrintf("ERROR: key 0x%04X could not be queued\n", code);
        return false;
    }
    RemoteMsgHeader update;
    update.type = MsgType::kUpdate;
    queue_.Send(update, nullptr, true);
    g_keyEvent.store(1);
    return true;
}

int TpKeyScan::ScanKeys()
{
    int sent = 0;
    uint16_t code = 0;
    while (mailbox_.Take(code)) {
        if (SendKey(code))
            ++sent;
    }
    return sent;
}

bool TpKeyScan::PostPeriodicUpdate()
{
    if (!updatesEnabled_.load())
        return false;
    RemoteMsgHeader update;
    update.type = MsgType::kUpdate;
    return queue_.Send(update, nullptr);
}

void TpKeyScan::Run()
{
    uint64_t last = CurrentClock().MonotonicMs();
    while (!StopRequested()) {
        ScanKeys();
        const uint64_t now = CurrentClock().MonotonicMs();
        if (now - last >= updatePeriodMs_) {
            // Updates keep their cadence; after a stall the next is due a
            // whole period on, not at once.
            last += updatePeriodMs_;
            if (now - last >= updatePeriodMs_)
                last = now;
            PostPeriodicUpdate();
        }
        ::Sleep(pollPeriodMs_);
    }
}

bool TpKeyScan::KeyEventPending()
{
    return g_keyEvent.load() != 0;
}

bool TpKeyScan::TakeKeyEvent()
{
    return g_keyEvent.exchange(0) != 0;
}

void TpKeyScan::ClearKeyEvent()
{
    g_keyEvent.store(0);
}
