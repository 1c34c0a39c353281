// The AES3 channel-status side of the board: reading the 24-byte blocks of
// the two AES inputs and of the embedded audio, and the CRCC shift register
// that checks byte 23 of a block.
#pragma once

#include <cstdint>

// Fills all 24 bytes of block with the channel status of AES input 0 or 1
// and returns 1. Another input, or a receiver that delivers nothing, gives a
// block of zeros and 0.
int aes_rx_status_ok(int input, uint8_t* block);

// Fills all 24 bytes of block with the embedded channel status and returns
// 1 (a block of zeros and 0 when none could be read).
int aes_crc_reset_ctx(uint8_t* block);

// The block used while no AES input is present: professional, PCM, 48 kHz,
// no emphasis, with its CRCC. Fills all 24 bytes and returns the flag byte
// that goes with the block.
uint8_t aes_default_status_block(uint8_t* block);

// The CRCC register: x^8 + x^4 + x^3 + x^2 + 1, preset to all ones, each
// byte fed least significant bit first; the value read back has register
// bit 0 as its most significant bit (the CRC-8/AES of the bytes fed).
void aes_crc_init();
void aes_crc_add_byte(uint8_t value);
uint8_t aes_crc_get();
// The CRCC of a block's first 23 bytes (what byte 23 carries), through the
// register above.
uint8_t aes_block_crc(const uint8_t* block);
