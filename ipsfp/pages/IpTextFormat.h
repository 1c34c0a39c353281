#include "core/store/Colours.h"
// printf-style formatting into a string, for the IP pages' texts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

template <class... Args>
std::string IpTextPrintf(const char* format, Args... args)
{
    char text[96];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// The text a value selects from a list of texts; other past its end.
inline const char* TextAt(std::span<const char* const> texts, uint32_t value, const char* other)
{
    return value < texts.size() ? texts[value] : other;
}

// Colours of the IP pages' values.
