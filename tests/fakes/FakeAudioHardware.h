// Audio hardware that records every write as one line of text, in order
// (for example "RouteConnect(128,96)" or "RouteMix(2,5,0.501187)", gains with
// six decimals), and answers the status reads with values a test sets.
#pragma once

#include "sim/BoardDevices.h"

#include <string>
#include <vector>

class FakeAudioHardware : public AudioHardware {
public:
    void RouteConnect(int destination, int source) override;
    void RouteMix(int destination, int source, double gain) override;
    void RouteSetGain(int destination, double gain) override;
    void SetGainDb(int channel, int source, double gain) override;
    void SetOutputGain(int left, int right) override;
    void GenWrite(uint8_t value) override;
    void GenWriteA(uint8_t value) override;
    void GenWriteB(uint8_t value) override;
    void GenSetChannel(int group, uint8_t value) override;
    void GenSync() override;
    void PowerAudioPair(int pair, int on) override;
    void PowerGenFlag(uint8_t value) override;
    void PowerGenAnalog(int on) override;
    void PowerGenGroups(uint8_t g1, uint8_t g2, uint8_t g3, uint8_t g4) override;
    void PowerMeterAnalog(int on) override;
    void MeterSet(int side, int value) override;
    void MonitorWrite(uint8_t value) override;
    void ChannelStatusWrite(uint8_t value) override;
    void ChannelStatusCommit() override;
    void DolbySpacing(int value) override;
    void DolbyLine(int offset, int lines) override;

    int SourceFlagA() override { return sourceFlagA; }
    int SourceFlagB() override { return sourceFlagB; }
    uint32_t AnalyserStatusWordB() override { return analyserStatusWordB; }
    int AesRxPresent() override { return aesRxPresent; }
    int MonitorStatusOk() override { return monitorStatusOk; }
    int MonitorReadCount() override { return monitorReadCount; }
    int AesDataType() override { return aesDataType; }
    void DolbySourceSelect(int source) override;
    void DolbyStreamSelect(int independent, int dependent) override;
    int DolbyKeyFlag() override { return dolbyKeyFlag; }

    // The recorded calls whose text starts with prefix ("" = all).
    std::vector<std::string> CallsOf(const std::string& prefix = "") const;

    std::vector<std::string> calls;
    int sourceFlagA = 0;
    int sourceFlagB = 1;
    uint32_t analyserStatusWordB = kSimAnalyserStatusWordB;
    int aesRxPresent = 1;
    int monitorStatusOk = 1;
    int monitorReadCount = 0;
    int aesDataType = kSimAesDataType;
    int dolbyKeyFlag = 0;

private:
    void Record(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
};
