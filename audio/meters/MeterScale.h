// The table that turns a meter level into a bar value: 80 at 0 dBFS, 0 at
// the reference level, 80 less for every further reference step. Entry i
// belongs to -i/2 dB.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class MeterScale {
public:
    static constexpr int kEntries = 500;
    static constexpr int32_t kFloor = -200;   // entries from -5F on

    // floorDb (F) and referenceDb (R): both negative whole dB.
    MeterScale(int32_t floorDb, int32_t referenceDb);
    // -18 dB reference (F -54), with its marks at -9, -18, -27, -36 and -45 dB.
    static MeterScale Scale18();
    // -20 dB reference (F -60).
    static MeterScale Scale20();

    // Bar value of a level in tenths of a dB (limited to -99.9 ... 0 dB).
    int32_t Lookup(int32_t tenths) const;
    int32_t Entry(int i) const { return i >= 0 && i < kEntries ? table_[static_cast<size_t>(i)] : kFloor; }
    int32_t ReferenceDb() const { return reference_; }

private:
    std::array<int32_t, kEntries> table_{};
    int32_t reference_;
};

// Bar value of a level on a scale; 0 without one.
int32_t MeterLookup(const MeterScale* scale, int32_t tenths);
