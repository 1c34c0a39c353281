// Keeps one dotted IPv4 text in step with the four byte controls of an
// address: any change of a byte rebuilds the text, each octet drawn in the
// colour of the field that shows its byte. While an address is being edited
// the text goes to one of up to four alternative texts instead.
#pragma once

#include "IpControlIds.h"

#include "core/store/TpChildCmd.h"
#include "core/store/TpParent.h"

#include <array>
#include <memory>

class IpFlowView;

class IPFollower : public TpParent {
public:
    // flows: whether an address is being edited, and in which direction.
    IPFollower(const IpIds::FollowerRow& row, const IpFlowView& flows);
    ~IPFollower() override;

    void OnChildChanged(TpCommand* child, int reason) override;
    // The byte changes also go to this command (the manager), which keeps
    // them as edits of their parameters.
    void SetForward(TpCommand* to) { forward_ = to; }
    // Rebuilds the text and its per-character colours.
    void Update();

    TpCommand* TextControl() const { return textControl_.get(); }
    TpChildCmd* Byte(int n) const { return n >= 1 && n <= 4 ? bytes_[n - 1].get() : nullptr; }

private:
    const IpFlowView& flows_;
    TpCommand* forward_ = nullptr;
    TpCommand* Target() const;

    std::unique_ptr<TpCommand> textControl_;
    std::array<std::unique_ptr<TpCommand>, 4> altTexts_;   // A-D, may be empty
    std::array<std::unique_ptr<TpChildCmd>, 4> bytes_;     // byte 1-4; byte 4 is the first octet
};
