// A booted emSFP module behind the SFP bus: a paged register file (a write
// to 127 selects the page; 128-255 are paged, 0-126 are global), the status
// byte at 128 and the command register 129, action bits that clear themselves
// once the module has acted, with an ordered trace of every bus transaction
// and failures that a test can inject.
#pragma once

#include "sim/BoardDevices.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

class FakeEmSfp : public EmSfpBus {
public:
    static constexpr uint8_t kRevisionSelect = 55;
    static constexpr uint8_t kPageSelect = 127;
    static constexpr uint8_t kStatus = 128;
    static constexpr uint8_t kCommand = 129;
    static constexpr uint8_t kBooted = 0x80;
    static constexpr uint8_t kRangeError = 0x10;
    static constexpr uint8_t kPageLoaded = 0x04;
    static constexpr uint8_t kWriteDone = 0x02;

    struct Transaction {
        bool write = false;
        uint8_t page = 0;   // page selected when it happened
        uint8_t reg = 0;
        uint8_t value = 0;
        bool operator==(const Transaction&) const = default;
        // "[page:reg<-value]" (or "->" for a read), in hex, for test failures.
        friend void PrintTo(const Transaction& t, std::ostream* os)
        {
            *os << std::hex << std::uppercase << "[" << int {t.page} << ':' << int {t.reg} << (t.write ? "<-" : "->")
                << int {t.value} << "]" << std::dec << std::nouppercase;
        }
    };

    bool ReadByte(uint8_t reg, uint8_t& value) override;
    bool WriteByte(uint8_t reg, uint8_t value) override;

    // Register contents without bus traffic.
    void Poke(uint8_t page, uint8_t reg, uint8_t value);
    uint8_t Peek(uint8_t page, uint8_t reg) const;
    uint8_t SelectedPage() const { return page_; }
    // Consecutive registers of a page, from first on.
    void Seed(uint8_t page, uint8_t first, std::initializer_list<uint8_t> bytes);

    // Firmware revision bytes the module puts into registers 56-59 when the
    // selector is written to register 55.
    void SetFirmwareRevision(uint8_t selector, std::array<uint8_t, 4> bytes) { revisions_[selector] = bytes; }

    // Bits of a register (on any page) that, once written as 1, the module
    // clears again by the next status read.
    void SetSelfClearing(uint8_t reg, uint8_t bits) { selfClearing_[reg] = bits; }

    // Completion bits appear after this many status reads (0 = at the next).
    void SetPageLoadPolls(int polls) { pageLoadPolls_ = polls; }
    void SetWritePolls(int polls) { writePolls_ = polls; }
    // A status byte returned as it stands instead of the modelled one.
    void SetStatusOverride(std::optional<uint8_t> status) { statusOverride_ = status; }

    // Reads or writes of a register (on any page) that fail.
    void FailReadsOf(uint8_t reg) { failReads_.insert(reg); }
    // Reads of one register of one page that fail (or no longer do); how many failed.
    void FailReadsOf(uint8_t page, uint8_t reg, bool fail = true)
    {
        if (fail)
            failPageReads_.insert(page << 8 | reg);
        else
            failPageReads_.erase(page << 8 | reg);
    }
    int FailedReads() const { return failedReads_; }
    void FailWritesOf(uint8_t reg, bool fail = true)
    {
        if (fail)
            failWrites_.insert(reg);
        else
            failWrites_.erase(reg);
    }
    void FailAllWrites(bool fail) { failAllWrites_ = fail; }
    // The next count write attempts fail, whatever the register.
    void FailNextWrites(int count) { failNextWrites_ = count; }

    // The encoder audio-map page: register 130 is the map's busy byte (a
    // write of 0 clears it), register 131 chooses the flow (1-8) whose map
    // registers 0x84-0xB4 show.
    static constexpr uint8_t kMapPage = 0xCF;
    static constexpr uint8_t kMapBusy = 130;
    static constexpr uint8_t kMapFlow = 131;
    static constexpr uint8_t kMapFirst = 0x84, kMapLast = 0xB4;
    uint8_t PeekMap(uint8_t flow, uint8_t reg) const;

    // Strict mode: parameter writes are held until the commit command and
    // only then reach the registers.
    void SetStagedWrites(bool on) { staged_ = on; }

    const std::vector<Transaction>& Trace() const { return trace_; }
    // The values written to the command register, in order.
    std::vector<uint8_t> Commands() const;
    void ClearTrace() { trace_.clear(); }

private:
    uint8_t Status();

    std::array<uint8_t, 128> global_{};
    std::array<std::array<uint8_t, 128>, 256> paged_{};
    uint8_t page_ = 0;
    int pageLoadPolls_ = 0;
    int writePolls_ = 0;
    int pageLoadCountdown_ = -1;   // -1 = no load under way
    int writeCountdown_ = -1;
    bool pageLoaded_ = false;
    bool writeDone_ = false;
    std::optional<uint8_t> statusOverride_;
    std::set<uint8_t> failReads_;
    std::set<int> failPageReads_;
    int failedReads_ = 0;
    std::set<uint8_t> failWrites_;
    bool failAllWrites_ = false;
    int failNextWrites_ = 0;
    std::vector<Transaction> trace_;
    uint8_t* MapCell(uint8_t page, uint8_t reg);
    std::array<std::array<uint8_t, kMapLast - kMapFirst + 1>, 9> maps_{};
    bool staged_ = false;
    struct Staged {
        uint8_t page;
        uint8_t reg;
        uint8_t value;
    };
    std::vector<Staged> pendingWrites_;
    std::map<uint8_t, std::array<uint8_t, 4>> revisions_;
    std::array<uint8_t, 256> selfClearing_{};
    struct Clear {
        uint8_t page;
        uint8_t reg;
        uint8_t bits;
    };
    std::vector<Clear> clears_;
};
