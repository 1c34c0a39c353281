// The LCD image as files and as the remote-control answer to a screen
// request. Every image is one snapshot of the frame encoded in memory;
// files are written through a temporary name and renamed into place, one
// writer at a time.
#pragma once

#include <cstddef>
#include <string>

class Socket;

// data folder + "/PcSimLcd.bmp"
std::string LcdImagePath();
// The one folder of the numbered screen dumps ("/mnt/mmc/screendumps" on
// the instrument, mapped into the data folder).
std::string ScreenDumpFolder();

// Saves the LCD image as "PcSimLcd.bmp" in the data folder; false when the
// file cannot be written.
bool SaveLcdImage();

// Saves the LCD image as "PcSimLcd.bmp" and sends the same image over the
// socket in pieces of at most 64 KiB, the prefix bytes (a reply header), when
// given, in one write with the first piece. The client gets the whole image
// even when the file cannot be written. False when the socket fails.
bool SendLcdImage(Socket& socket, const void* prefix = nullptr, size_t prefixSize = 0);

// Writes the LCD image to the next free "scrndump" + n + ".bmp" (n from 0)
// in the screen-dump folder, never over an existing file, and returns that
// file name (without the folder); "" when nothing could be written.
std::string ScreenDump();

// Writes the LCD image to name + ".bmp" (an instrument path is mapped into
// the data folder). False when the name is empty or the file cannot be
// written.
bool SaveScriptScreenDump(const std::string& name);
