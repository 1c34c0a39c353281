// Fills a text-table text that holds one integer conversion ("Group %d").
// Only the first %d, %i or %u (with flags and a width) takes the number;
// "%%" is one '%', and every other '%' is copied as it stands, so a text
// from the dialog file can never read anything but the number given.
#pragma once

#include <string>

std::string FormatTextInt(const std::string& format, long number);
