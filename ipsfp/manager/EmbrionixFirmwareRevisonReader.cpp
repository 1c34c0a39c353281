#include "EmbrionixFirmwareRevisonReader.h"
#include "ipsfp/status/SfpFieldFormat.h"
#include "IpControlIds.h"

#include "board/SfpBoard.h"

#include <cstdio>
#include <string>

namespace {

constexpr uint8_t kSelectors[] = {0x00, 0x10, 0x20, 0x40};

} // namespace

EmbrionixFirmwareRevisonReader::EmbrionixFirmwareRevisonReader(bool serviceKeys) : TpParent(nullptr, 0, kKeepsNothing)
{
    revisionText_ = std::make_unique<TpCommand>(IpIds::kFwRevisionText, kKeepsText);
    revisionText_->SetTextAll("Unread");
    readEnable_ = std::make_unique<TpChildCmd>(this, IpIds::kFwReadEnable, kKeepsValue);
    readCommand_ = std::make_unique<TpChildCmd>(this, IpIds::kFwReadCommand, kKeepsValue);
    readCommand_->SetEnabledAll(false);
    serviceControl_ = std::make_unique<TpCommand>(IpIds::kFwServiceControl, kKeepsValue);
    serviceControl_->SetVisibleAll(serviceKeys);
    resultLabel_ = std::make_unique<TpCommand>(IpIds::kFwResultLabel, kKeepsValue);
    resultLabel_->SetVisibleAll(false);
}

EmbrionixFirmwareRevisonReader::~EmbrionixFirmwareRevisonReader() = default;

void EmbrionixFirmwareRevisonReader::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue)
        return;
    if (child == readEnable_.get()) {
        readCommand_->SetEnabledAll(readEnable_->GetValue() != 0);
    } else if (child == readCommand_.get() && readCommand_->GetValue() != 0) {
        revisionText_->SetTextAll("Wait...");
        index_ = 0;
        active_ = 1;
        phase_ = 0;
    }
}

bool EmbrionixFirmwareRevisonReader::Tick()
{
    if (active_ == 0)
        return false;
    if (++tick_ < kTicksPerStep)
        return true;
    tick_ = 0;
    if (phase_ == 0) {
        if (index_ >= 0 && index_ < static_cast<int32_t>(sizeof kSelectors))
            sfp_write_byte(kSelectorRegister, kSelectors[index_]);
        if (++index_ > 3)
            phase_ = 1;
        return true;
    }
    std::string text;
    for (uint8_t reg = kFirstRevisionRegister; reg < kFirstRevisionRegister + 4; ++reg) {
        uint8_t byte = 0;
        i2c_read_byte(kSfpIdentityDevice, reg, &byte);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02Xh ", byte);
        text += hex;
    }
    revisionText_->SetTextAll(text);
    readCommand_->SetValueAll(0);
    resultLabel_->SetVisibleAll(true);
    index_ = -1;
    active_ = 0;
    phase_ = 0;
    return false;
}

void EmbrionixFirmwareRevisonReader::Clear()
{
    readCommand_->SetEnabledAll(false);
    readEnable_->SetValueAll(0);
    revisionText_->SetTextAll("Unread");
    resultLabel_->SetVisibleAll(false);
}
