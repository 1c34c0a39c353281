// Reads the module's firmware revision on request: the four selector bytes go
// to register 55 of the module, one every 8 ticks, then registers 56-59 of
// the identity device are read and shown in hexadecimal.
#pragma once

#include "core/store/TpChildCmd.h"
#include "core/store/TpParent.h"

#include <memory>

class EmbrionixFirmwareRevisonReader : public TpParent {
public:
    // serviceKeys: the service key combination was held at power-on.
    explicit EmbrionixFirmwareRevisonReader(bool serviceKeys);
    ~EmbrionixFirmwareRevisonReader() override;

    void OnChildChanged(TpCommand* child, int reason) override;
    // One tick of a read: true while the read goes on after this tick.
    bool Tick();
    bool IsActive() const { return active_ != 0; }
    // Back to idle with "Unread" shown (the module was reset).
    void Clear();

    static constexpr uint8_t kSelectorRegister = 55;
    static constexpr uint8_t kFirstRevisionRegister = 56;
    static constexpr int kTicksPerStep = 8;

private:
    std::unique_ptr<TpCommand> revisionText_;
    std::unique_ptr<TpChildCmd> readEnable_;
    std::unique_ptr<TpChildCmd> readCommand_;
    std::unique_ptr<TpCommand> serviceControl_;
    std::unique_ptr<TpCommand> resultLabel_;
    uint8_t active_ = 0;
    uint8_t phase_ = 0;   // 0 writing the selectors, 1 reading
    uint8_t tick_ = 0;
    int32_t index_ = -1;
};
