#include "FakeEmSfp.h"

uint8_t FakeEmSfp::Status()
{
    for (const Clear& c : clears_)
        Poke(c.page, c.reg, static_cast<uint8_t>(Peek(c.page, c.reg) & ~c.bits));
    clears_.clear();
    if (pageLoadCountdown_ >= 0 && pageLoadCountdown_-- == 0)
        pageLoaded_ = true;
    if (writeCountdown_ >= 0 && writeCountdown_-- == 0)
        writeDone_ = true;
    if (statusOverride_)
        return *statusOverride_;
    return static_cast<uint8_t>(kBooted | (pageLoaded_ ? kPageLoaded : 0) | (writeDone_ ? kWriteDone : 0));
}

bool FakeEmSfp::ReadByte(uint8_t reg, uint8_t& value)
{
    if (failReads_.count(reg) != 0)
        return false;
    if (failPageReads_.count(page_ << 8 | reg) != 0) {
        ++failedReads_;
        return false;
    }
    if (reg == kStatus)
        value = Status();
    else if (reg == kPageSelect)
        value = page_;
    else
        value = Peek(page_, reg);
    trace_.push_back({false, page_, reg, value});
    return true;
}

bool FakeEmSfp::WriteByte(uint8_t reg, uint8_t value)
{
    if (failNextWrites_ > 0) {
        --failNextWrites_;
        return false;
    }
    if (failAllWrites_ || failWrites_.count(reg) != 0)
        return false;
    trace_.push_back({true, page_, reg, value});
    if (reg == kPageSelect) {
        page_ = value;
        pageLoaded_ = false;
        pageLoadCountdown_ = pageLoadPolls_;
        return true;
    }
    if (reg == kCommand && value == 3) {
        for (const Staged& w : pendingWrites_)
            Poke(w.page, w.reg, w.value);
        pendingWrites_.clear();
    }
    if (staged_ && reg >= kMapFirst && reg != kCommand && !(page_ == kMapPage && reg <= kMapFlow))
        pendingWrites_.push_back({page_, reg, value});
    else if (reg != kStatus)
        Poke(page_, reg, value);
    if (auto it = revisions_.find(value); reg == kRevisionSelect && it != revisions_.end())
        for (uint8_t i = 0; i < 4; ++i)
            Poke(page_, static_cast<uint8_t>(kRevisionSelect + 1 + i), it->second[i]);
    if ((value & selfClearing_[reg]) != 0)
        clears_.push_back({page_, reg, static_cast<uint8_t>(value & selfClearing_[reg])});
    writeDone_ = false;
    writeCountdown_ = writePolls_;
    return true;
}

uint8_t* FakeEmSfp::MapCell(uint8_t page, uint8_t reg)
{
    const uint8_t flow = paged_[kMapPage][kMapFlow - 128u];
    if (page != kMapPage || reg < kMapFirst || reg > kMapLast || flow > 8)
        return nullptr;
    return &maps_[flow][reg - kMapFirst];
}

uint8_t FakeEmSfp::PeekMap(uint8_t flow, uint8_t reg) const
{
    return flow <= 8 && reg >= kMapFirst && reg <= kMapLast ? maps_[flow][reg - kMapFirst] : 0;
}

void FakeEmSfp::Poke(uint8_t page, uint8_t reg, uint8_t value)
{
    if (uint8_t* cell = MapCell(page, reg))
        *cell = value;
    else if (reg < 128)
        global_[reg] = value;
    else
        paged_[page][reg - 128u] = value;
}

void FakeEmSfp::Seed(uint8_t page, uint8_t first, std::initializer_list<uint8_t> bytes)
{
    unsigned reg = first;
    for (uint8_t b : bytes) {
        if (reg > 0xFF)
            break;
        Poke(page, static_cast<uint8_t>(reg++), b);
    }
}

uint8_t FakeEmSfp::Peek(uint8_t page, uint8_t reg) const
{
    if (const uint8_t* cell = const_cast<FakeEmSfp*>(this)->MapCell(page, reg))
        return *cell;
    return reg < 128 ? global_[reg] : paged_[page][reg - 128u];
}

std::vector<uint8_t> FakeEmSfp::Commands() const
{
    std::vector<uint8_t> out;
    for (const Transaction& t : trace_)
        if (t.write && t.reg == kCommand)
            out.push_back(t.value);
    return out;
}
