#include "TpAESMonitor.h"

#include "board/AesChannelStatus.h"
#include "board/AudioBoard.h"
#include "core/text/LocalTime.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/Colours.h"
#include "core/store/TpStore.h"
#include "platform/Clock.h"

#include <cstring>

namespace {
// Status texts: AES PCM (no user bits), input lost, data types 2, 3, 1.
constexpr unsigned kTextPcm = 80, kTextPcmNoUser = 133, kTextLost = 81;
constexpr unsigned kTextType2 = 277, kTextType3 = 278, kTextType1 = 279;
// Event texts.
constexpr unsigned kEventPresent = 94, kEventLost = 93, kEventUserSet = 134, kEventUserClear = 135;
constexpr unsigned kEventErrorsEnded = 91, kEventErrors = 92;
} // namespace

TpAESMonitor::TpAESMonitor(const CmdIds& ids)
    : TpCommand(nullptr, ids[kLabel], kKeepsText), TpScriptAction("Check AES i/p", "CHECK_AES_INP", kTexts, 1, 0, 1), ids_(ids)
{
    status_ = std::make_unique<TpChildCmd>(this, ids[kStatus], kKeepsText);
    longStatus_ = std::make_unique<TpChildCmd>(this, ids[kLongStatus], kKeepsText);
    clear_ = std::make_unique<TpButtonPress>(this, ids[kClear]);
    errors_ = std::make_unique<TpChildCmd>(this, ids[kErrors], kKeepsValue);
    errorSecs_ = std::make_unique<TpChildCmd>(this, ids[kErrorSecs], kKeepsText);
    lastSecond_ = lastError_ = CurrentClock().WallSeconds();
    SetTextAll(" AES:");
    if (TpStore* store = TpStore::Instance())
        for (int i : {kErrorSource, kLabel, kStatus, kLongStatus, kClear})
            store->SetVisible(ids[static_cast<size_t>(i)], true);
}

TpCommand* TpAESMonitor::Source(int index) const
{
    TpStore* store = TpStore::Instance();
    return store != nullptr ? store->GetCmd(ids_[static_cast<size_t>(index)]) : nullptr;
}

void TpAESMonitor::OnChildChanged(TpCommand* child, int reason)
{
    if (child == clear_.get() && reason == kReasonValue) {
        errors_->SetValueAll(0);
        lastError_ = lastSecond_;
    }
}

void TpAESMonitor::ReadBlock()
{
    std::array<uint8_t, kAesStatusBytes> block{};
    uint8_t flag;
    if (aes_rx_present() != 0)
        flag = static_cast<uint8_t>(aes_rx_status_ok(0, block.data()));
    else
        flag = aes_default_status_block(block.data());
    blockFlag_ = flag;
    audmon_hw_write(flag);
    if (block != block_) {
        block_ = block;
        for (uint8_t byte : block_)
            aes_cs_hw_write(byte);
        aes_cs_hw_commit();
    }
}

void TpAESMonitor::StatusChanged(bool inputOk, bool u, bool v, int32_t status)
{
    unsigned text = kTextLost;
    if (inputOk) {
        switch (status) {
        case 0: text = u ? kTextPcm : kTextPcmNoUser; break;
        case 1: text = kTextType1; break;
        case 2: text = kTextType2; break;
        case 3: text = kTextType3; break;
        default: break;
        }
    }
    const std::string statusText = ::GetText(text);
    status_->SetTextAll(statusText);
    longStatus_->SetTextAll(statusText);
    const TpCommand* source = Source(kStatusSource);
    if (inputOk != inputOk_)
        LogEvent(source, kEventError, inputOk ? kEventPresent : kEventLost, statusText.c_str());
    if (inputOk)
        LogEvent(source, kEventInfo, u ? kEventUserSet : kEventUserClear, nullptr);
    if (u != u_ || v != v_) {
        u_ = u;
        v_ = v;
        audmon_hw_write(static_cast<uint8_t>(!v && u));
        LogEvent(source, kEventInfo, u ? kTextPcm : kTextPcmNoUser, nullptr);
    }
}

void TpAESMonitor::Update()
{
    const bool u = audio_src_flag_a() == 0 && audio_src_flag_b() == 0;
    const bool v = aes_rx_present() != 0;
    const bool inputOk = audmon_status_ok() != 0;
    const int32_t status = aes_data_type();
    ReadBlock();
    if (inputOk != inputOk_ || u != u_ || v != v_ || status != statusCode_) {
        StatusChanged(inputOk, u, v, status);
        inputOk_ = inputOk;
        statusCode_ = status;
    }

    const std::time_t now = CurrentClock().WallSeconds();
    if (!inputOk) {
        ++errorCount_;
        lastError_ = now;
        status_->SetColourAll(Colour::kRed);
        longStatus_->SetColourAll(Colour::kRed);
        errors_->SetColourAll(Colour::kRed);
    } else {
        const int n = audmon_read_count();
        if (n > 0) {
            errorCount_ += static_cast<uint32_t>(n);
            errors_->SetValueAll(errors_->GetValue() + n);
            lastError_ = now;
            status_->SetColourAll(Colour::kRed);
            longStatus_->SetColourAll(Colour::kRed);
            if (!errorState_)
                LogEvent(Source(kErrorSource), kEventError, kEventErrors, nullptr);
            errorState_ = true;
        } else {
            if (errorState_)
                LogEvent(Source(kErrorSource), kEventError, kEventErrorsEnded, nullptr);
            errorState_ = false;
            status_->SetColourAll(0);
            longStatus_->SetColourAll(0);
        }
    }
    const uint32_t countColour = errors_->GetValue() != 0 ? Colour::kRed : 0;
    errors_->SetColourAll(countColour);
    errors_->SetVisibleAll(inputOk);
    if (now != lastSecond_) {
        lastSecond_ = now;
        errorSecs_->SetTextAll(FormatElapsedTime(now, lastError_));
        errorSecs_->SetColourAll(countColour);
        errorSecs_->SetVisibleAll(inputOk);
    }
}
