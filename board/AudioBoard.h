// The audio hardware of the board: the router, the generator's registers,
// the meters and the monitors, and the status words the analyser reads.
// Every call goes to the audio device in force (sim/BoardDevices.h).
#pragma once

#include <cstdint>

// 10^(dB / 20).
double db_to_linear(double db);

// Router: connects router channel destination to a source code.
void audio_route_connect(int destination, int source);
void audio_route_mix(int destination, int source, double gain);
void audio_route_set_gain(int destination, double gain);
// Analogue output gain of channel 4 or 5 from a source.
void audio_set_gain_db(int channel, int source, double gain);
void audio_set_output_gain(int left, int right);

// Generator registers.
void audgen_hw_write(uint8_t value);
void audgen_hw_write_a(uint8_t value);
void audgen_hw_write_b(uint8_t value);
void audgen_hw_set_channel(int group, uint8_t value);
void audgen_hw_sync();

// Input gain of a meter side.
void meter_hw_set(int side, int value);

// AES input flags (0 and 1 on the simulated board).
int audio_src_flag_a();
int audio_src_flag_b();
// Two bits per 4-bit group per embedded input pair (7140 on the simulated board).
uint32_t analyser_status_word_b();

int aes_rx_present();
int audmon_status_ok();
int audmon_read_count();
void audmon_hw_write(uint8_t value);
void aes_cs_hw_write(uint8_t value);
void aes_cs_hw_commit();
// Data-type code (0-3) of the AES input's bit-stream layer (2 on the simulated board).
int aes_data_type();

// Dolby E packet spacing register (1400-1600).
void dolby_hw_spacing(int value);
// Dolby E line register and the rest of the Dolby receiver: board/DolbyBoard.h.
