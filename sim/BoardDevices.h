// The replaceable devices behind the board operations. Each device class of
// the instrument's board is one interface; the simulator installs its own
// device of each class (the fixed answers of the simulated board), and a
// test can install another one through the setter and remove it again with
// nullptr. The caller keeps an installed device alive until it is replaced.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kAesStatusBytes = 24;   // one AES3 channel-status block
constexpr int kSimAesDataType = 2;       // data-type code of the simulated AES input

// The emSFP module's paged register window on the SFP two-wire bus
// (register 127 selects the page, 128 is the status byte, 129 the command).
class EmSfpBus {
public:
    virtual ~EmSfpBus() = default;
    // One read of a register of the selected page; false when the module did
    // not answer (value left as it was).
    virtual bool ReadByte(uint8_t reg, uint8_t& value) = 0;
    // One write attempt; false when the module did not acknowledge it.
    virtual bool WriteByte(uint8_t reg, uint8_t value) = 0;
};

// The two-wire bus of the SFP cage with its devices (0xA0 identity and
// EDID, 0xA2 diagnostics).
class TwoWireBus {
public:
    virtual ~TwoWireBus() = default;
    virtual bool BusReady() = 0;
    virtual bool ReadByte(uint8_t device, uint8_t reg, uint8_t& value) = 0;
    virtual bool WriteByte(uint8_t device, uint8_t reg, uint8_t value) = 0;
};

// The SFP cage and the board it sits on.
class SfpCage {
public:
    virtual ~SfpCage() = default;
    // Non-zero when a module answers in the cage.
    virtual int Detect() = 0;
    virtual int CageRevision() = 0;
    virtual int BoardRevision() = 0;
    virtual void SetPower(int on) = 0;
    virtual void SetRateSelect(int on) = 0;
};

// The AES3 receivers: the channel-status blocks of the two AES inputs and of
// the embedded audio.
class AesReceiver {
public:
    virtual ~AesReceiver() = default;
    // Fills all 24 bytes of the block of AES input 0 or 1; false when no
    // block could be read (the block is then filled with zeros by the caller).
    virtual bool ReadChannelStatus(int input, uint8_t* block) = 0;
    // Fills all 24 bytes of the embedded channel-status block.
    virtual bool ReadEmbeddedStatus(uint8_t* block) = 0;
};

// The audio hardware: router, generator, power controller, meters and
// monitors. The writes go to the hardware; the reads are its status words.
class AudioHardware {
public:
    virtual ~AudioHardware() = default;
    virtual void RouteConnect(int destination, int source) = 0;
    virtual void RouteMix(int destination, int source, double gain) = 0;
    virtual void RouteSetGain(int destination, double gain) = 0;
    virtual void SetGainDb(int channel, int source, double gain) = 0;
    virtual void SetOutputGain(int left, int right) = 0;
    virtual void GenWrite(uint8_t value) = 0;
    virtual void GenWriteA(uint8_t value) = 0;
    virtual void GenWriteB(uint8_t value) = 0;
    virtual void GenSetChannel(int group, uint8_t value) = 0;
    virtual void GenSync() = 0;
    virtual void PowerAudioPair(int pair, int on) = 0;
    virtual void PowerGenFlag(uint8_t value) = 0;
    virtual void PowerGenAnalog(int on) = 0;
    virtual void PowerGenGroups(uint8_t g1, uint8_t g2, uint8_t g3, uint8_t g4) = 0;
    virtual void PowerMeterAnalog(int on) = 0;
    virtual void MeterSet(int side, int value) = 0;
    virtual void MonitorWrite(uint8_t value) = 0;
    virtual void ChannelStatusWrite(uint8_t value) = 0;
    virtual void ChannelStatusCommit() = 0;
    virtual void DolbySpacing(int value) = 0;
    virtual void DolbyLine(int offset, int lines) = 0;

    virtual int SourceFlagA() = 0;
    virtual int SourceFlagB() = 0;
    virtual uint32_t AnalyserStatusWordB() = 0;
    virtual int AesRxPresent() = 0;
    virtual int MonitorStatusOk() = 0;
    virtual int MonitorReadCount() = 0;
    // The data-type code (0-3) of the AES input's bit-stream layer.
    virtual int AesDataType() { return kSimAesDataType; }
    // The Dolby receiver: which input it decodes (0-7 embedded pairs, 8 the
    // AES input), which AC-3 streams it follows, and whether the received
    // Dolby E stream carries a key word.
    virtual void DolbySourceSelect(int source) {}
    virtual void DolbyStreamSelect(int independent, int dependent) {}
    virtual int DolbyKeyFlag() { return 0; }
};

// The devices in force: never null (the simulator's own unless one was
// installed).
EmSfpBus& CurrentEmSfpBus();
TwoWireBus& CurrentTwoWireBus();
SfpCage& CurrentSfpCage();
AesReceiver& CurrentAesReceiver();
AudioHardware& CurrentAudioHardware();

// Install a device; nullptr puts the simulator's own back.
void SetEmSfpBus(EmSfpBus* device);
void SetTwoWireBus(TwoWireBus* device);
void SetSfpCage(SfpCage* device);
void SetAesReceiver(AesReceiver* device);
void SetAudioHardware(AudioHardware* device);

// Puts every simulator device back and returns each to its power-on state
// (the pseudo-random sequence of the emSFP reads restarts).
void ResetBoardDevices();

// The simulated board's fixed answers.
constexpr int kSimBoardRevision = 11;
constexpr int kSimCageRevision = 4;
constexpr uint32_t kSimAnalyserStatusWordB = 7140;   // 0x1BE4
constexpr uint8_t kSimSfpReadLimit = 50;             // emSFP reads are below this
