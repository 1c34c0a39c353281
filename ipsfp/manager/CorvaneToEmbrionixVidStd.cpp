#include "CorvaneToEmbrionixVidStd.h"

#include "IpBusy.h"
#include "IpFlowView.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"

namespace {

// List ids and their item counts: family, format, sampling, rate.
constexpr const uint16_t (&kListIds)[4] = IpIds::kStdLists;
constexpr int kItemCounts[4] = {5, 6, 9, 14};

// family, format, sampling, rate, scan, sample, vidFormat, frameRate, bitRate, extra1, extra2
constexpr std::array<VidStdCombination, CorvaneToEmbrionixVidStd::kRowCount> kCombinations {{
    {1, 2, 0, 0, 1, 0, 1, 2, 0, 0, 1},
    {1, 2, 0, 1, 1, 0, 1, 3, 0, 0, 1},
    {1, 2, 0, 2, 1, 0, 1, 5, 0, 0, 1},
    {1, 2, 0, 3, 1, 0, 1, 6, 0, 0, 1},
    {1, 2, 0, 4, 1, 0, 1, 7, 0, 0, 1},
    {1, 2, 0, 7, 1, 0, 1, 9, 0, 0, 1},
    {1, 2, 0, 8, 1, 0, 1, 10, 0, 0, 1},
    {1, 2, 0, 9, 1, 0, 1, 11, 0, 0, 1},
    {1, 3, 0, 7, 0, 0, 0, 9, 0, 0, 0},
    {1, 3, 0, 8, 0, 0, 0, 10, 0, 0, 0},
    {1, 3, 0, 9, 0, 0, 0, 11, 0, 0, 0},
    {1, 4, 0, 0, 1, 0, 0, 2, 0, 0, 0},
    {1, 4, 0, 1, 1, 0, 0, 3, 0, 0, 0},
    {1, 4, 0, 2, 1, 0, 0, 5, 0, 0, 0},
    {1, 4, 0, 3, 1, 0, 0, 6, 0, 0, 0},
    {1, 4, 0, 4, 1, 0, 0, 7, 0, 0, 0},
    {1, 5, 0, 0, 1, 0, 0, 2, 0, 0, 1},
    {1, 5, 0, 1, 1, 0, 0, 3, 0, 0, 1},
    {1, 5, 0, 2, 1, 0, 0, 5, 0, 0, 1},
    {1, 5, 0, 3, 1, 0, 0, 6, 0, 0, 1},
    {1, 5, 0, 4, 1, 0, 0, 7, 0, 0, 1},
    {2, 5, 0, 7, 1, 0, 0, 9, 0, 0, 1},
    {2, 5, 0, 8, 1, 0, 0, 10, 0, 0, 1},
    {2, 5, 0, 9, 1, 0, 0, 11, 0, 0, 1},
    {3, 5, 0, 5, 1, 0, 2, 4, 2, 0, 1},
    {3, 5, 0, 6, 1, 0, 2, 8, 2, 0, 1},
    {3, 5, 0, 7, 1, 0, 2, 9, 2, 0, 1},
    {3, 5, 0, 8, 1, 0, 2, 10, 2, 0, 1},
    {3, 5, 0, 9, 1, 0, 2, 11, 2, 0, 1},
}};

uint8_t ListColumn(const VidStdCombination& row, size_t list)
{
    const uint8_t columns[4] = {row.family, row.format, row.sampling, row.rate};
    return columns[list];
}

} // namespace

const std::array<VidStdCombination, CorvaneToEmbrionixVidStd::kRowCount>& CorvaneToEmbrionixVidStd::Combinations()
{
    return kCombinations;
}

CorvaneToEmbrionixVidStd::CorvaneToEmbrionixVidStd(const IpFlowView& flows) : TpCommand(0, kKeepsNothing, 0), flows_(flows)
{
    for (size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = std::make_unique<TpChildCmd>(this, kListIds[i], kKeepsValue);
        // Items come from the dialog definitions; without them the list gets blank ones.
        while (lists_[i]->GetItemCount() < kItemCounts[i])
            lists_[i]->AddItem("", lists_[i]->GetItemCount());
    }
}

CorvaneToEmbrionixVidStd::~CorvaneToEmbrionixVidStd() = default;

void CorvaneToEmbrionixVidStd::OnChildChanged(TpCommand* child, int)
{
    if (updating_ != 0)
        return;
    changedList_ = child;
    standardUpdateRequest = 1;
}

void CorvaneToEmbrionixVidStd::RunRequestedUpdate()
{
    if (standardUpdateRequest == 0)
        return;
    UpdateVidStd();
    standardUpdateRequest = 0;
}

int CorvaneToEmbrionixVidStd::ChooseRow(const std::array<int32_t, 4>& noted) const
{
    const TpCommand* changed = changedList_;
    const bool byFamily = changed == lists_[0].get();
    const bool byFormat = changed == lists_[1].get();
    const bool byRate = changed == lists_[3].get();
    int fallback = -1;
    for (size_t r = 0; r < kRowCount; ++r) {
        const VidStdCombination& row = kCombinations[r];
        if (match_[r] == 0 || row.format != noted[1])
            continue;
        if (byFamily && row.family == noted[0])
            return static_cast<int>(r);
        if (byFormat)
            return static_cast<int>(r);
        if (byRate) {
            if (row.rate == noted[3])
                return static_cast<int>(r);
            fallback = static_cast<int>(r);
        }
    }
    return fallback;
}

void CorvaneToEmbrionixVidStd::ApplyRow(const VidStdCombination& row)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    for (size_t i = 0; i < lists_.size(); ++i)
        store->SetValue(kListIds[i], ListColumn(row, i));
    if (!flows_.DirectionKnown())
        return;
    // field id, value: in the order the module takes them
    const std::pair<uint16_t, uint8_t> fields[] = {
        {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22, row.extra2}, {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, row.extra1},
        {COM_SFP_IP_STD_VID_FMT, row.vidFormat},          {COM_SFP_IP_STD_SAMPLE_FMT, row.sample},
        {COM_SFP_IP_STD_SCAN_MODE, row.scan},             {COM_SFP_IP_STD_BIT_RATE, row.bitRate},
        {COM_SFP_IP_STD_FRAME_RATE, row.frameRate},
    };
    for (const auto& [id, value] : fields)
        store->SetValue(id, value);
}

void CorvaneToEmbrionixVidStd::UpdateVidStd()
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    BusyGuard guard(updating_);
    std::array<int32_t, 4> noted {};
    for (size_t i = 0; i < lists_.size(); ++i)
        noted[i] = lists_[i]->GetValue();
    for (size_t r = 0; r < kRowCount; ++r)
        match_[r] = kCombinations[r].family == noted[0] ? 1 : 0;
    for (size_t list = 1; list < lists_.size(); ++list) {
        for (int item = 0; item < kItemCounts[list]; ++item)
            store->SetItemEnabled(kListIds[list], item, false);
        for (size_t r = 0; r < kRowCount; ++r)
            if (match_[r] != 0)
                store->SetItemEnabled(kListIds[list], ListColumn(kCombinations[r], list), true);
    }
    for (size_t i = 0; i < lists_.size(); ++i)
        store->SetValue(kListIds[i], noted[i]);
    const int row = ChooseRow(noted);
    if (row >= 0)
        ApplyRow(kCombinations[static_cast<size_t>(row)]);
}
