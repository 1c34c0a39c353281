#include "core/store/Colours.h"
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
