#include "AudioBoard.h"

#include "sim/BoardDevices.h"

#include <cmath>

double db_to_linear(double db)
{
    return std::pow(10.0, db / 20.0);
}

void audio_route_connect(int destination, int source)
{
    CurrentAudioHardware().RouteConnect(destination, source);
}

void audio_route_mix(int destination, int source, double gain)
{
    CurrentAudioHardware().RouteMix(destination, source, gain);
}

void audio_route_set_gain(int destination, double gain)
{
    CurrentAudioHardware().RouteSetGain(destination, gain);
}

void audio_set_gain_db(int channel, int source, double gain)
{
    CurrentAudioHardware().SetGainDb(channel, source, gain);
}

void audio_set_output_gain(int left, int right)
{
    CurrentAudioHardware().SetOutputGain(left, right);
}

void audgen_hw_write(uint8_t value) { CurrentAudioHardware().GenWrite(value); }
void audgen_hw_write_a(uint8_t value) { CurrentAudioHardware().GenWriteA(value); }
void audgen_hw_write_b(uint8_t value) { CurrentAudioHardware().GenWriteB(value); }
void audgen_hw_set_channel(int group, uint8_t value) { CurrentAudioHardware().GenSetChannel(group, value); }
void audgen_hw_sync() { CurrentAudioHardware().GenSync(); }

void meter_hw_set(int side, int value) { CurrentAudioHardware().MeterSet(side, value); }

int audio_src_flag_a() { return CurrentAudioHardware().SourceFlagA(); }
int audio_src_flag_b() { return CurrentAudioHardware().SourceFlagB(); }
uint32_t analyser_status_word_b() { return CurrentAudioHardware().AnalyserStatusWordB(); }

int aes_rx_present() { return CurrentAudioHardware().AesRxPresent(); }
int audmon_status_ok() { return CurrentAudioHardware().MonitorStatusOk(); }
int audmon_read_count() { return CurrentAudioHardware().MonitorReadCount(); }
void audmon_hw_write(uint8_t value) { CurrentAudioHardware().MonitorWrite(value); }
void aes_cs_hw_write(uint8_t value) { CurrentAudioHardware().ChannelStatusWrite(value); }
void aes_cs_hw_commit() { CurrentAudioHardware().ChannelStatusCommit(); }
int aes_data_type() { return CurrentAudioHardware().AesDataType(); }

void dolby_hw_spacing(int value) { CurrentAudioHardware().DolbySpacing(value); }
