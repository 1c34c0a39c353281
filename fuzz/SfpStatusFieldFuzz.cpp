// Feeds arbitrary 0xA0 and 0xA2 register images (the first 512 bytes) to
// every field of the SFP status list of one module type (chosen by the
// input), through the formatters alone and through the fields reading a bus,
// then fields of any kind, register range and parameters made from the rest
// of the input. Checks that every value keeps to its colours and text bounds.
#include "board/SfpBoard.h"
#include "core/store/TpCommand.h"
#include "ipsfp/status/SfpFieldTables.h"
#include "ipsfp/status/TpSfpStatusField.h"
#include "sim/BoardDevices.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

using Image = std::array<uint8_t, 256>;

class ImageBus : public TwoWireBus {
public:
    bool BusReady() override { return true; }
    bool ReadByte(uint8_t device, uint8_t reg, uint8_t& value) override
    {
        if (device != kSfpIdentityDevice && device != kSfpDiagnosticsDevice)
            return false;
        if (((failMask >> (reg % 32)) & 1) != 0)
            return false;
        value = (device == kSfpIdentityDevice ? a0 : a2)[reg];
        return true;
    }
    bool WriteByte(uint8_t, uint8_t, uint8_t) override { return false; }

    Image a0{}, a2{};
    uint32_t failMask = 0;
};

void Check(const SfpFieldDesc& d, const SfpFieldText& v)
{
    if ((v.colour != kSfpValueColour && v.colour != kSfpErrorColour && v.colour != 0) ||
        (d.kind == kSfpAscii && v.text.size() > d.count) || v.text.size() > 4 * 256)
        std::abort();
}

// Formats of each kind's own argument type, as the tables use them.
constexpr const char* kFormats[] = {"text", "%d%%", "%.8xh", "%.2xh", nullptr, "%.4fmW", "%.2f C", "%.3fdBm", nullptr, nullptr, nullptr};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ImageBus bus;
    static TpCommand list(0, kKeepsNothing);
    while (list.GetItemCount() < 128)
        list.AddItem("");
    SetTwoWireBus(&bus);

    FuzzedDataProvider in(data, size);
    for (Image* image : {&bus.a0, &bus.a2}) {
        image->fill(0);
        const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(image->size());
        std::copy(bytes.begin(), bytes.end(), image->begin());
    }
    bus.failMask = in.ConsumeIntegral<uint32_t>();

    SfpFieldList fields;
    BuildSfpStatusFields(&list, static_cast<SfpType>(in.ConsumeIntegralInRange<uint32_t>(0, kSfpTypeCount - 1)),
                         fields);
    for (const auto& f : fields) {
        const SfpFieldDesc& d = f->Desc();
        const Image& image = d.device == kSfpIdentityDevice ? bus.a0 : bus.a2;
        Check(d, FormatSfpField(d, image, true));
        f->Show();
    }

    // Fields of any shape over an image of any length.
    while (in.remaining_bytes() > 0) {
        const uint32_t kind = in.ConsumeIntegralInRange<uint32_t>(0, 10);
        const SfpFieldDesc d{"Vcc", kind, kSfpDiagnosticsDevice, in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                             0, kFormats[kind], in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>()};
        const size_t length = in.ConsumeIntegralInRange<size_t>(0, 256);
        Check(d, FormatSfpField(d, std::span<const uint8_t>(bus.a2.data(), length), in.ConsumeBool()));
        MakeSfpField(&list, in.ConsumeIntegralInRange<uint32_t>(0, 200), d)->Show();
    }
    SetTwoWireBus(nullptr);
    ResetSfpStatusReadings();
    return 0;
}
