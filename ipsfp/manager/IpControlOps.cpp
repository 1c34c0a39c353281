#include "IpControlOps.h"
#include "IpStoreAccess.h"

#include "ui/widgets/TKrObject.h"

namespace IpControlOps {

using IpStoreAccess::TheStore;

uint32_t GetWidgetColour(unsigned cmdId)
{
    const TKrObject* box = FirstWidget(cmdId, kWidgetColouredBox);
    return box != nullptr ? box->GetColour() : 0;
}

uint32_t GetWidgetColourNotEdit(unsigned cmdId)
{
    const TpStore* store = TheStore();
    for (const TpCommand* c = store != nullptr ? store->GetCmd(cmdId) : nullptr; c != nullptr; c = c->NextInChain()) {
        const int type = GetWidgetType(c);
        if (type != kWidgetNone && type != kWidgetEdit)
            return c->GetColour();
    }
    return 0;
}

bool ClearEditColour(unsigned cmdId, bool force)
{
    const TpStore* store = TheStore();
    for (TpCommand* c = store != nullptr ? store->GetCmd(cmdId) : nullptr; c != nullptr; c = c->NextInChain()) {
        const uint32_t colour = c->GetColour();
        if (colour == Colour::kOrange && !force)
            continue;
        if (GetWidgetType(c) == kWidgetEdit) {
            if (colour != Colour::kWhite)
                c->SetColour(Colour::kWhite);
        } else if (colour != 0) {
            c->SetColour(0);
        }
    }
    return true;
}

void SetColour(unsigned cmdId, uint32_t colour)
{
    if (TpStore* store = TheStore())
        store->SetColour(cmdId, colour);
}

void SetBoxEnabled(unsigned cmdId, bool enabled)
{
    if (TKrObject* box = InputWidget(cmdId); box != nullptr && box->WidgetType() == kWidgetColouredBox)
        box->SetEnabled(enabled);
}

uint32_t ColourOf(unsigned cmdId)
{
    const TpCommand* c = TheStore() != nullptr ? TheStore()->GetCmd(cmdId) : nullptr;
    return c != nullptr ? c->GetColour() : 0;
}

} // namespace IpControlOps
