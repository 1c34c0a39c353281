#include "KeyMailbox.h"

bool KeyMailbox::IsKeyCode(uint16_t code)
{
    return (code >= kKeyMenu1 && code <= kKeyRecallLast) || code == kKeyLongOk || code == kKeyPowerOff;
}

bool KeyMailbox::Queue(uint16_t code)
{
    if (pending_.size() >= kCapacity)
        return false;
    pending_.push_back(code);
    return true;
}

bool KeyMailbox::Press(uint16_t code)
{
    if (!IsKeyCode(code))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Queue(static_cast<uint16_t>(code | kKeyPressFlag)))
        return false;
    pressed_ |= 1u << (code - 1);
    return true;
}

bool KeyMailbox::Release(uint16_t code)
{
    if (!IsKeyCode(code))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    // The key is up whether or not its code still fits in the queue.
    pressed_ &= ~(1u << (code - 1));
    return Queue(code);
}

bool KeyMailbox::Post(uint16_t codeWithFlag)
{
    if (!IsKeyCode(static_cast<uint16_t>(codeWithFlag & ~kKeyPressFlag)))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    return Queue(codeWithFlag);
}

bool KeyMailbox::Take(uint16_t& code)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.empty())
        return false;
    code = pending_.front();
    pending_.pop_front();
    return true;
}

size_t KeyMailbox::PendingCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.size();
}

uint32_t KeyMailbox::PressedMask() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return pressed_;
}

void KeyMailbox::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
    pressed_ = 0;
}

KeyMailbox& SimKeyMailbox()
{
    static KeyMailbox mailbox;
    return mailbox;
}

uint32_t read_key_state()
{
    return SimKeyMailbox().PressedMask();
}
