// The simulated keyboard: the host's key buttons put codes in, the key-scan
// thread takes them out. It keeps the mask of keys held down (key k is bit
// k - 1) and the key codes not yet collected, a press marked with 0x8000.
// Safe for one writer thread and one reader thread (or more of each).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

// Key codes of the instrument.
constexpr uint16_t kKeyMenu1 = 1;        // menu keys 1 to 8
constexpr uint16_t kKeyMenu8 = 8;
constexpr uint16_t kKeyUp = 9;
constexpr uint16_t kKeyLeft = 10;
constexpr uint16_t kKeyRight = 11;
constexpr uint16_t kKeyOk = 12;
constexpr uint16_t kKeyDown = 13;
constexpr uint16_t kKeyRecallFirst = 14; // codes 14 to 21 recall memories 1 to 8
constexpr uint16_t kKeyRecallLast = 21;
constexpr uint16_t kKeyLongOk = 31;      // long OK press: screen dump
constexpr uint16_t kKeyPowerOff = 32;
constexpr uint16_t kKeyPressFlag = 0x8000;

class KeyMailbox {
public:
    // Pending codes kept at most; further codes are refused until the
    // reader catches up.
    static constexpr size_t kCapacity = 64;

    // True for the codes the instrument knows (1-13, 14-21, 31, 32).
    static bool IsKeyCode(uint16_t code);

    // A key goes down: its mask bit is set and code | 0x8000 queued.
    bool Press(uint16_t code);
    // A key comes up: its mask bit is cleared and the plain code queued.
    bool Release(uint16_t code);
    // Queues a code as it stands (with or without the press flag), for codes
    // that are not a held key (long OK, power off). The mask is unchanged.
    bool Post(uint16_t codeWithFlag);

    // Takes the oldest pending code; false when none is waiting.
    bool Take(uint16_t& code);
    size_t PendingCount() const;
    uint32_t PressedMask() const;

    void Reset();

private:
    bool Queue(uint16_t code);

    mutable std::mutex mutex_;
    std::deque<uint16_t> pending_;
    uint32_t pressed_ = 0;
};

// The simulator's one keyboard.
KeyMailbox& SimKeyMailbox();

// The mask of keys held down now (key k = bit k - 1).
uint32_t read_key_state();
