// The subnet note at each edge of the address classes: the first octets just
// inside and just outside each class, and each class's own default mask.
#include "IpPageTest.h"

#include <array>
#include <tuple>

using IpSubnetNote = IpPageTest;

TEST_F(IpSubnetNote, EachClassEndsWhereItsNoteEnds)
{
    const std::string classA = "Note:IP Address starting 10 default subnet 255.0.0.0";
    const std::string classB = "Note:IP Address starting 128-191 default subnet 255.255.0.0";
    const std::string classC = "Note:IP Address starting 192-223 default subnet 255.255.255.0";
    Widgets({3447});
    Fit();
    // first octet, mask (dotted), note
    const std::tuple<int, std::array<int, 4>, std::string> cases[] = {
        {9, {255, 255, 0, 0}, ""},
        {10, {0, 0, 0, 255}, classA},
        {127, {255, 255, 255, 0}, ""},
        {128, {255, 0, 0, 0}, classB},
        {191, {255, 255, 255, 0}, classB},
        {191, {255, 255, 0, 0}, ""},
        {192, {255, 255, 0, 0}, classC},
        {223, {255, 255, 0, 0}, classC},
        {223, {255, 255, 255, 128}, classC},
        {224, {255, 255, 0, 0}, ""},
    };
    for (const auto& [first, mask, note] : cases) {
        for (int i = 0; i < 4; ++i)
            store.SetValue(COM_SFP_IP_CONTR_MASK4 - i, mask[static_cast<size_t>(i)]);
        store.SetValue(COM_SFP_IP_CONTR_IP_ADD4, first);
        EXPECT_EQ(store.GetCmdText(3447), note) << first << " " << mask[0] << "." << mask[1] << "." << mask[2] << "."
                                                << mask[3];
    }
}
