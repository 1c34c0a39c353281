// The Dolby parts of the audio board: the generator's start-line register
// and the receiver that finds the start of the received Dolby E frame. The
// simulated input is the generator's own output looped back, so the
// receiver's line counter holds what the generator gave it: the lines from
// its start line to the end of its frame.
#pragma once

#include <cstdint>

// Dolby E line register: the start line as an offset from the ideal line
// (1 to lines) and the lines of the output frame.
void dolby_hw_line(int offset, int lines);

// The receiver's input (0-7 embedded pairs, 8 the AES input) and the AC-3
// streams it follows.
void dolby_hw_source_select(int source);
void dolby_hw_stream_select(int independent, int dependent);
// Non-zero when the received Dolby E stream carries a key word.
int dolby_key_flag();

// Start time = (a - line count) x b x 1e9 / c nanoseconds from the input
// frame's start, for one input standard.
struct DolbyTimeConstants {
    uint64_t a = 0;
    uint64_t b = 0;
    uint64_t c = 0;
};
// False (constants all 0) for an index outside the video standard table.
bool dolby_time_constants(int standard, DolbyTimeConstants& constants);
// The receiver's line counter, as the generator gives it with every start
// line: the lines from the start line to the end of the frame (1 to the
// frame's lines; 0 at power-on).
void dolby_set_line_count(int count);
int dolby_line_count();
// The received Dolby E start time in nanoseconds; 0 without input. A count
// the input's frame cannot hold (a generator on another standard) is taken
// round that frame, so the time stays inside it.
uint64_t dolby_start_time_ns();

// Power-on state of the line counter.
void dolby_board_reset();
