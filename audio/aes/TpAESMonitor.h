// The AES input monitor: the input's status texts, its error count and the
// time since the last error, with their events; and the script check
// "CHECK_AES_INP", whose error count every update raises while the input is
// lost or in error.
#pragma once

#include "KrZuApi.h"
#include "core/commands/TpButtonPress.h"
#include "core/store/TpChildCmd.h"
#include "core/store/TpCommand.h"
#include "core/actions/TpScriptAction.h"
#include "sim/BoardDevices.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>

class TpAESMonitor : public TpCommand, public TpScriptAction {
public:
    enum IdIndex : int { kLabel, kStatus, kLongStatus, kClear, kErrors, kErrorSecs, kStatusSource, kErrorSource, kIdCount };
    using CmdIds = std::array<uint16_t, kIdCount>;
    static constexpr CmdIds kCommandIds = {COM_ANLYS_INP2_LABEL, COM_ANLYS_INP2_STD, COM_ANLYS_INP2_LONG_STD,
                                           COM_STATUS_CLEAR_AES_ERRORS, COM_STATUS_AES_ERRORS,
                                           COM_STATUS_AES_ERROR_SECS, COM_ANLYS_LOG_AES_STATUS_ENABLE,
                                           COM_ANLYS_LOG_AES_ERRORS_ENABLE};
    static constexpr TpScriptAction::Descriptor kTexts{152, 0, 76, 77, 117};

    explicit TpAESMonitor(const CmdIds& ids);

    void OnChildChanged(TpCommand* child, int reason) override;
    // One monitor update (before every meter update).
    void Update();

    // The last channel-status block handed to the board.
    const std::array<uint8_t, kAesStatusBytes>& Block() const { return block_; }

private:
    void ReadBlock();
    void StatusChanged(bool inputOk, bool u, bool v, int32_t status);
    TpCommand* Source(int index) const;

    CmdIds ids_;
    std::unique_ptr<TpChildCmd> status_;
    std::unique_ptr<TpChildCmd> longStatus_;
    std::unique_ptr<TpButtonPress> clear_;
    std::unique_ptr<TpChildCmd> errors_;
    std::unique_ptr<TpChildCmd> errorSecs_;

    int32_t statusCode_ = -1;
    bool inputOk_ = false;
    bool u_ = true;
    bool v_ = false;
    bool errorState_ = false;
    std::array<uint8_t, kAesStatusBytes> block_{};
    uint8_t blockFlag_ = 0;
    std::time_t lastSecond_;
    std::time_t lastError_;
};
