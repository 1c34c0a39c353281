// Shows what was read for one parameter row on the IP menu: a control value,
// a text, a colour or the visibility of other controls, by the row's display
// kind. The row's control, or its second control when the menu shows the
// second flow or the second PTP view, is the target. It never talks to the
// module. Application thread only.
#pragma once

#include "IpValueTexts.h"

#include "ipsfp/link/SfpCodes.h"
#include "ipsfp/manager/IpPageView.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct SfpParamRow;

class IpValueDisplay : public IpPageView {
public:
    explicit IpValueDisplay(const IpPageParts& parts) : parts_(parts), texts_(parts) {}

    // bytes: count bytes as read, lowest register first (for a masked row the
    // field); nonzero: a masked field was not 0. A kind that needs more bytes
    // than count shows nothing.
    unsigned DisplayParameterValue(SfpParamRow& row, const uint8_t* bytes, size_t count, bool nonzero) override;
    void HandleToggleCommand(unsigned cmdId) override { texts_.HandleToggleCommand(cmdId); }
    bool ShowSubnetNote() override { return texts_.ShowSubnetNote(); }
    void ShowIanaWarning(bool on) override { texts_.ShowIanaWarning(on); }
    void ShowSequenceCounter() override { texts_.ShowSequenceCounter(); }
    void ShowVideoSequenceErrors() override { texts_.ShowVideoSequenceErrors(); }
    void ShowSsrc() override { texts_.ShowSsrc(); }
    void ShowAudioChannel(int flow, int channel, int sdiChannel) override
    {
        texts_.ShowAudioChannel(flow, channel, sdiChannel);
    }
    void ShowActiveSource(bool secondSource) override { texts_.ShowActiveSource(secondSource); }
    void ForgetActiveSource() override { texts_.ForgetActiveSource(); }

    IpValueTexts& Texts() { return texts_; }
    // Firmware versions 1 to 3 as shown ("%d.%d" of major and minor), 0 unread.
    uint16_t FirmwareVersion(size_t element) const;

private:
    struct View {
        bool secondFlow = false;
        bool secondPtp = false;
        bool shown = true;
    };
    // One value to show: its row, the control it goes to, the bytes read.
    struct Shown {
        SfpParamRow& row;
        unsigned target;
        const uint8_t* bytes;
        size_t count;
        bool nonzero;
        View view;
        uint8_t First() const { return bytes[0]; }
        // The bytes as one big-endian number, a masked row's field; false
        // when they make none.
        bool Number(uint32_t& number) const;
    };
    // A display kind: the bytes it needs and how it shows them.
    struct KindRow {
        SfpDisplayKind kind;
        uint8_t bytes;
        void (IpValueDisplay::*show)(const Shown&);
    };
    static std::span<const KindRow> Kinds();

    View ViewOf(const SfpParamRow& row) const;
    void ShowRowValue(const Shown& s);
    void ShowValue(const Shown& s);
    void ShowCount16(const Shown& s);
    void ShowText(const Shown& s);
    void ShowStatusOk(const Shown& s);
    void ShowFlag(const Shown& s);
    void ShowCount32(const Shown& s);
    void ShowCount24(const Shown& s);
    void ShowSigned32(const Shown& s);
    void ShowMacAddress(const Shown& s);
    void ShowStandardText(const Shown& s);
    void ShowJoinStatus(const Shown& s);
    void ShowMirroredValue(const Shown& s);
    void ShowVersion(const Shown& s);
    void ShowHex32(const Shown& s);
    void ShowSsrcByte(const Shown& s);
    void ShowBothViews(const Shown& s);
    void ShowOffsetWarning(const Shown& s);
    void ShowProgramSlots(const Shown& s);
    void ShowCountText(const Shown& s);
    // The texts that hang on a value row, by its control.
    void FollowUp(const SfpParamRow& row, uint32_t value, const View& view);
    void LogSsrcChange();

    IpPageParts parts_;
    IpValueTexts texts_;
    std::array<uint16_t, 3> firmwareVersions_ {};
    std::array<std::string, 2> loggedSsrc_;   // SSRC texts last logged, by flow
};
