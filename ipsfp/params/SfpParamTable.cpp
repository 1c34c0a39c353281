#include "SfpParamTable.h"

#include "board/SfpBoard.h"

namespace {

SfpParamRow RowFrom(const SfpParamDef& d)
{
    SfpParamRow r {};
    r.cmdId = d.cmdId;
    r.secondCmdId = d.secondCmdId;
    r.followsFlowPage = (d.flags & kSfpFollowsFlowPage) != 0 ? 1 : 0;
    r.page = SfpPageNumber(d.page);
    r.alwaysAccess = (d.flags & kSfpAlwaysAccess) != 0 ? 1 : 0;
    r.readRegister = d.readRegister;
    r.writeRegister = d.writeRegister;
    r.mask = d.mask;
    r.byteCount = d.byteCount;
    r.displayKind = static_cast<uint32_t>(d.displayKind);
    r.value = -1;
    r.shift = d.shift;
    r.logName = d.logName;
    r.isAction = (d.flags & kSfpIsAction) != 0 ? 1 : 0;
    r.addressGroup = d.addressGroup;
    r.inControllerSet = (d.flags & kSfpControllerSet) != 0 ? 1 : 0;
    r.inFlowSet = (d.flags & kSfpFlowSet) != 0 ? 1 : 0;
    return r;
}

} // namespace

SfpParamTable& SfpParamTable::Instance()
{
    static SfpParamTable table;
    return table;
}

SfpParamTable::SfpParamTable()
{
    index_.fill(-1);
    const auto defs = Definitions();
    // Walk backwards so the first row of an id wins.
    for (size_t i = defs.size(); i-- > 0;) {
        for (unsigned id : {unsigned {defs[i].secondCmdId}, unsigned {defs[i].cmdId}}) {
            if (id >= kFirstCmdId && id <= kLastCmdId)
                index_[id - kFirstCmdId] = static_cast<int16_t>(i);
        }
    }
    Reset();
}

void SfpParamTable::Reset()
{
    const auto defs = Definitions();
    for (size_t i = 0; i < rows_.size() && i < defs.size(); ++i)
        rows_[i] = RowFrom(defs[i]);
}

SfpParamRow* SfpParamTable::Row(size_t index)
{
    return index < rows_.size() ? &rows_[index] : nullptr;
}

int SfpParamTable::IndexOf(unsigned cmdId) const
{
    if (cmdId < kFirstCmdId || cmdId > kLastCmdId)
        return -1;
    return index_[cmdId - kFirstCmdId];
}

SfpParamRow* SfpParamTable::Find(unsigned cmdId)
{
    const int i = IndexOf(cmdId);
    return i < 0 ? nullptr : &rows_[static_cast<size_t>(i)];
}

bool ReadSfpParamBytes(const SfpParamRow& row, uint8_t* bytes, size_t capacity, size_t& count)
{
    count = 0;
    const size_t need = row.byteCount;
    if (need == 0 || bytes == nullptr || need > capacity || row.readRegister + need - 1 > 0xFF)
        return false;
    for (size_t i = 0; i < need; ++i) {
        if (sfp_read_byte(static_cast<uint8_t>(row.readRegister + i), &bytes[i]) == 0)
            return false;
        count = i + 1;
    }
    return true;
}

uint8_t SfpParamField(const SfpParamRow& row, uint8_t byte)
{
    const uint32_t shift = row.shift & 0xFF;
    return static_cast<uint8_t>(shift < 8 ? (byte & row.mask) >> shift : 0);
}

bool SfpParamFieldValue(const SfpParamRow& row, const uint8_t* bytes, size_t count, uint32_t& value)
{
    if (bytes == nullptr || row.byteCount == 0 || count < row.byteCount || row.byteCount > 4)
        return false;
    if (row.mask != 0) {
        value = SfpParamField(row, bytes[0]);
        return true;
    }
    uint32_t v = 0;
    for (size_t i = 0; i < row.byteCount; ++i)
        v = (v << 8) | bytes[i];
    value = v;
    return true;
}
