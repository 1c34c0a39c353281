// printf-style formatting into a string, for the IP pages' texts.
#pragma once

#include <cstdio>
#include <string>

template <class... Args>
std::string IpTextPrintf(const char* format, Args... args)
{
    char text[96];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Colours of the IP pages' values.
constexpr uint32_t kIpWhite = 0xFFFFFF;
constexpr uint32_t kIpGrey = 0xAFAFAF;
constexpr uint32_t kIpRed = 0xFF0000;
constexpr uint32_t kIpListBackground = 0x5A92CD;
