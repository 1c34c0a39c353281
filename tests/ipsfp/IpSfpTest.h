// Fixture of the IP module tests: the board fixture, a command store, a fake
// emSFP module (installed by UseModule) and the process-wide protocol state,
// parameter table, page table and sequencer counters back at their start-up
// state before and after every test. Write retries are recorded, not slept.
#pragma once

#include "BoardTest.h"
#include "FakeEmSfp.h"

#include "core/TpStore.h"

#include <cstdint>
#include <vector>

class IpSfpTest : public BoardTest {
protected:
    IpSfpTest();
    void SetUp() override;

    // Installs the fake module behind the SFP bus.
    void UseModule();
    // Bus transactions of the fake since the last ClearTrace.
    const std::vector<FakeEmSfp::Transaction>& Trace() const { return module.Trace(); }

    static FakeEmSfp::Transaction Wr(uint8_t page, uint8_t reg, uint8_t value) { return {true, page, reg, value}; }
    static FakeEmSfp::Transaction Rd(uint8_t page, uint8_t reg, uint8_t value) { return {false, page, reg, value}; }

    TpStore store;
    FakeEmSfp module;
    std::vector<uint32_t> retryWaits;
};
