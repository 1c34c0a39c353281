#include "MeterScale.h"

#include <algorithm>

MeterScale::MeterScale(int32_t floorDb, int32_t referenceDb) : reference_(referenceDb)
{
    const int limit = std::clamp(-5 * floorDb, 0, kEntries);
    const int32_t step = referenceDb != 0 ? 800 / referenceDb : 0;
    for (int i = 0; i < kEntries; ++i)
        table_[static_cast<size_t>(i)] = i < limit ? (i * step) / 20 + 80 : kFloor;
}

MeterScale MeterScale::Scale18()
{
    MeterScale scale(-54, -18);
    // The graticule's marks: entry, bar value.
    static constexpr struct { int entry; int32_t bar; } kMarks[] = {
        {18, 40}, {36, 0}, {54, -40}, {72, -80}, {90, -120},
    };
    for (const auto& mark : kMarks)
        scale.table_[static_cast<size_t>(mark.entry)] = mark.bar;
    return scale;
}

MeterScale MeterScale::Scale20()
{
    return MeterScale(-60, -20);
}

int32_t MeterScale::Lookup(int32_t tenths) const
{
    const int32_t v = std::clamp<int32_t>(tenths, -999, 0);
    return table_[static_cast<size_t>(-v / 5)];
}

int32_t MeterLookup(const MeterScale* scale, int32_t tenths)
{
    return scale != nullptr ? scale->Lookup(tenths) : 0;
}
