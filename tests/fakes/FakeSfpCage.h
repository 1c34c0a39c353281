// An SFP cage whose answers a test sets, recording the power and rate-select
// calls it receives.
#pragma once

#include "sim/BoardDevices.h"

#include <vector>

class FakeSfpCage : public SfpCage {
public:
    int Detect() override { return detect; }
    int CageRevision() override { return cageRevision; }
    int BoardRevision() override { return boardRevision; }
    void SetPower(int on) override { powerCalls.push_back(on); }
    void SetRateSelect(int on) override { rateSelectCalls.push_back(on); }

    int detect = 1;
    int cageRevision = kSimCageRevision;
    int boardRevision = kSimBoardRevision;
    std::vector<int> powerCalls;
    std::vector<int> rateSelectCalls;
};
