// The frame-store module: the video frame store the simulator really keeps
// (words addressed from 0; the Dolby memory starts at 0) and the hardware
// status registers. Reads and writes are bounded by the store's size.
#pragma once

#include <cstdint>

constexpr uint32_t kFrameStoreWords = 1u << 20;
constexpr uint32_t kHwStatusRegisters = 64;
constexpr uint32_t kDolbyMemoryBase = 0;

// Copies count words from address into destination and returns how many
// came from the store; the part of destination beyond the store's end is
// filled with zeros.
uint32_t fb_read_words(uint32_t* destination, uint32_t address, uint32_t count);
// Copies count words into the store at address; returns how many fitted.
uint32_t fb_write_words(uint32_t address, const uint32_t* source, uint32_t count);

// The last word stored in a status register; 0 for registers outside the
// register file, whose stores are ignored.
uint32_t hw_status_read(uint32_t reg);
void hw_status_set(uint32_t reg, uint32_t value);

// An empty store and zeroed registers.
void frame_store_reset();
