#include "SfpCompositePairs.h"

#include "SfpParamTable.h"

#include "KrZuApi.h"

namespace {

// composite, high byte control, low byte control, width
static constexpr SfpCompositePair kCompositePairs[] = {
    {COM_SFP_IP_DEST_UDP_PORT, COM_SFP_IP_DEST_UDP_PORT_MSB, COM_SFP_IP_DEST_UDP_PORT_LSB, 16},
    {COM_SFP_IP_SRC_UDP_PORT, COM_SFP_IP_SRC_UDP_PORT_MSB, COM_SFP_IP_SRC_UDP_PORT_LSB, 16},
    {COM_SFP_IP_WEB_VLAN_ID, COM_SFP_IP_WEB_VLAN_MSB, COM_SFP_IP_WEB_VLAN_LSB, 12},
    {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C25, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C26, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C27, 12},
    {COM_SFP_IP_FLOW_MAC_BYTE1_0CA7, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0E, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0F, 16},
    {COM_SFP_IP_FLOW_MAC_BYTE1_0CA8, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C10, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C11, 16},
    {COM_SFP_IP_FLOW_VLAN_ID, COM_SFP_IP_FLOW_VLAN_MSB, COM_SFP_IP_FLOW_VLAN_LSB, 12},
};

} // namespace

std::span<const SfpCompositePair> SfpCompositePairs() { return kCompositePairs; }

const SfpCompositePair* FindSfpCompositePair(unsigned cmdId)
{
    // A second control stands for its row's value.
    const SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
    const unsigned composite = row != nullptr ? row->cmdId : cmdId;
    for (const SfpCompositePair& pair : kCompositePairs) {
        if (pair.composite == composite)
            return &pair;
    }
    return nullptr;
}
