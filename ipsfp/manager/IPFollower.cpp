#include "IPFollower.h"
#include "core/store/Colours.h"

#include "IpFlowView.h"

#include "ui/widgets/TKrObject.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {


uint32_t OctetColour(unsigned cmdId)
{
    const TKrObject* field = FirstDisplayWidget(cmdId);
    const uint32_t colour = field != nullptr ? field->GetColour() : 0;
    return colour != 0 ? colour : Colour::kWhite;
}

} // namespace

IPFollower::IPFollower(const IpIds::FollowerRow& row, const IpFlowView& flows) : TpParent(nullptr, 0, kKeepsNothing), flows_(flows)
{
    textControl_ = std::make_unique<TpCommand>(row.text, kKeepsText);
    for (size_t i = 0; i < altTexts_.size(); ++i)
        if (row.alt[i] != 0)
            altTexts_[i] = std::make_unique<TpCommand>(row.alt[i], kKeepsText);
    for (size_t i = 0; i < bytes_.size(); ++i)
        bytes_[i] = std::make_unique<TpChildCmd>(this, row.bytes[i], kKeepsValue);
}

IPFollower::~IPFollower() = default;

void IPFollower::OnChildChanged(TpCommand* child, int reason)
{
    Update();
    if (forward_ != nullptr)
        forward_->OnChildChanged(child, reason);
}

TpCommand* IPFollower::Target() const
{
    if (!flows_.AddressEditActive())
        return textControl_.get();
    const bool decap = flows_.IsDecapsulating();
    switch (flows_.AddressGroup()) {
    case 1:
        return textControl_.get();
    case 2:
        return altTexts_[decap ? 1 : 0].get();
    case 3:
        return altTexts_[decap ? 3 : 2].get();
    default:
        return nullptr;
    }
}

void IPFollower::Update()
{
    TpCommand* target = Target();
    if (target == nullptr)
        return;
    std::string text;
    std::vector<uint32_t> colours;
    for (int n = 4; n >= 1; --n) {
        char octet[16];
        const int length = std::snprintf(octet, sizeof octet, "%ld", static_cast<long>(bytes_[n - 1]->GetValue()));
        if (n != 4) {
            text += '.';
            colours.push_back(Colour::kWhite);
        }
        text += octet;
        // One colour per character actually printed, whatever the value.
        colours.insert(colours.end(), static_cast<size_t>(length), OctetColour(bytes_[n - 1]->CmdId()));
    }
    target->SetCharColoursAll(colours.data(), static_cast<int>(colours.size()));
    target->SetTextAll(text);
    if (target != textControl_.get() && flows_.IsDecapsulating())
        target->SetVisibleAll(true);
}
