#include "BoardDevices.h"

#include "platform/LcgRandom.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace {

// The simulated emSFP: every read answers with a pseudo-random byte below
// 50 (so the module never reports itself booted), every write is taken.
class SimEmSfpBus : public EmSfpBus {
public:
    bool ReadByte(uint8_t, uint8_t& value) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        value = static_cast<uint8_t>(random_.Next() % kSimSfpReadLimit);
        return true;
    }
    bool WriteByte(uint8_t, uint8_t) override { return true; }
    void Reset()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        random_.Seed(1);
    }

private:
    std::mutex mutex_;
    LcgRandom random_{1};
};

// Every two-wire read succeeds and yields 0; every write is taken.
class SimTwoWireBus : public TwoWireBus {
public:
    bool BusReady() override { return true; }
    bool ReadByte(uint8_t, uint8_t, uint8_t& value) override
    {
        value = 0;
        return true;
    }
    bool WriteByte(uint8_t, uint8_t, uint8_t) override { return true; }
};

// A module sits in a powered cage of revision 4 on a board of revision 11.
class SimSfpCage : public SfpCage {
public:
    int Detect() override { return 1; }
    int CageRevision() override { return kSimCageRevision; }
    int BoardRevision() override { return kSimBoardRevision; }
    void SetPower(int) override {}
    void SetRateSelect(int) override {}
};

// No channel status is received: the blocks read as zeros.
class SimAesReceiver : public AesReceiver {
public:
    bool ReadChannelStatus(int, uint8_t* block) override
    {
        std::memset(block, 0, kAesStatusBytes);
        return true;
    }
    bool ReadEmbeddedStatus(uint8_t* block) override
    {
        std::memset(block, 0, kAesStatusBytes);
        return true;
    }
};

// Writes go nowhere; the status words are the simulated board's constants.
class SimAudioHardware : public AudioHardware {
public:
    void RouteConnect(int, int) override {}
    void RouteMix(int, int, double) override {}
    void RouteSetGain(int, double) override {}
    void SetGainDb(int, int, double) override {}
    void SetOutputGain(int, int) override {}
    void GenWrite(uint8_t) override {}
    void GenWriteA(uint8_t) override {}
    void GenWriteB(uint8_t) override {}
    void GenSetChannel(int, uint8_t) override {}
    void GenSync() override {}
    void PowerAudioPair(int, int) override {}
    void PowerGenFlag(uint8_t) override {}
    void PowerGenAnalog(int) override {}
    void PowerGenGroups(uint8_t, uint8_t, uint8_t, uint8_t) override {}
    void PowerMeterAnalog(int) override {}
    void MeterSet(int, int) override {}
    void MonitorWrite(uint8_t) override {}
    void ChannelStatusWrite(uint8_t) override {}
    void ChannelStatusCommit() override {}
    void DolbySpacing(int) override {}
    void DolbyLine(int, int) override {}

    int SourceFlagA() override { return 0; }
    int SourceFlagB() override { return 1; }
    uint32_t AnalyserStatusWordB() override { return kSimAnalyserStatusWordB; }
    int AesRxPresent() override { return 1; }
    int MonitorStatusOk() override { return 1; }
    int MonitorReadCount() override { return 0; }
};

SimEmSfpBus gSimEmSfp;
SimTwoWireBus gSimTwoWire;
SimSfpCage gSimCage;
SimAesReceiver gSimAes;
SimAudioHardware gSimAudio;

std::atomic<EmSfpBus*> gEmSfp{nullptr};
std::atomic<TwoWireBus*> gTwoWire{nullptr};
std::atomic<SfpCage*> gCage{nullptr};
std::atomic<AesReceiver*> gAes{nullptr};
std::atomic<AudioHardware*> gAudio{nullptr};

template <typename T, typename D>
T& Pick(const std::atomic<T*>& installed, D& fallback)
{
    T* device = installed.load();
    return device != nullptr ? *device : fallback;
}

} // namespace

EmSfpBus& CurrentEmSfpBus() { return Pick(gEmSfp, gSimEmSfp); }
TwoWireBus& CurrentTwoWireBus() { return Pick(gTwoWire, gSimTwoWire); }
SfpCage& CurrentSfpCage() { return Pick(gCage, gSimCage); }
AesReceiver& CurrentAesReceiver() { return Pick(gAes, gSimAes); }
AudioHardware& CurrentAudioHardware() { return Pick(gAudio, gSimAudio); }

void SetEmSfpBus(EmSfpBus* device) { gEmSfp.store(device); }
void SetTwoWireBus(TwoWireBus* device) { gTwoWire.store(device); }
void SetSfpCage(SfpCage* device) { gCage.store(device); }
void SetAesReceiver(AesReceiver* device) { gAes.store(device); }
void SetAudioHardware(AudioHardware* device) { gAudio.store(device); }

void ResetBoardDevices()
{
    SetEmSfpBus(nullptr);
    SetTwoWireBus(nullptr);
    SetSfpCage(nullptr);
    SetAesReceiver(nullptr);
    SetAudioHardware(nullptr);
    gSimEmSfp.Reset();
}
