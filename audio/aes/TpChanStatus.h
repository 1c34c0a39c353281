// The AES3 channel-status page: the 24 channel-status bytes of the chosen
// pair, as hexadecimal rows and items and decoded field by field
// (professional or consumer, by byte 0 bit 0), with the CRCC check.
#pragma once

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"
#include "core/commands/TpValListCmd.h"
#include "sim/BoardDevices.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TpChanStatus : public TpValListCmd {
public:
    enum IdIndex : int { kOwn, kInputSelect, kSourceSelect, kLine1, kLine2, kLine3, kIdCount };
    using CmdIds = std::array<uint16_t, kIdCount>;
    static constexpr CmdIds kCommandIds = {COM_ANLYS_INP_SEL, COM_STATUS_CSS_INP_SELECT,
                                           COM_STATUS_CSS_SOURCE_SELECT, COM_STATUS_CSS_LINE_1,
                                           COM_STATUS_CSS_LINE_2, COM_STATUS_CSS_LINE_3};
    // Items of the input selection that read the two AES inputs.
    static constexpr int kAesInput1 = 15;
    static constexpr int kAesInput2 = 16;

    using Block = std::array<uint8_t, kAesStatusBytes>;

    // aesItems clear: items 2 and 3 of the input selection are disabled.
    TpChanStatus(const CmdIds& ids, bool aesItems);
    ~TpChanStatus() override;

    void SetItemEnabled(int item, bool enabled) override;
    void OnChildChanged(TpCommand* child, int reason) override;
    // Reads the bytes and rewrites every item.
    void DrawStatus();
    // Keeps the AES input items enabled from now on (process-wide).
    void ForceItemsEnabled();
    static bool ItemsForced();
    static void ResetItemsForced();

    // "%02x %02x %02x %02x %02x %02x %02x %02x\n" of eight bytes.
    static std::string FormatHexRow(const uint8_t* bytes);
    // The label/value items of a block (36 professional, 16 consumer).
    static std::vector<std::string> Decode(const Block& block, uint8_t crc);

private:
    void EnableAesItems();
    void ShowInvalid(int line1Items);
    void ColourField(const Block& block, int first, bool professional);

    std::unique_ptr<TpValListCmd> inputSelect_;
    std::unique_ptr<TpChildCmd> sourceSelect_;
    std::unique_ptr<TpCommand> line1_;
    std::unique_ptr<TpCommand> line2_;
    std::unique_ptr<TpCommand> line3_;
    std::unique_ptr<TpCommand> loop_;
};
