#include "TextFormat.h"

#include <cctype>
#include <cstdio>
#include <cstring>

std::string FormatTextInt(const std::string& format, long number)
{
    std::string out;
    bool used = false;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // %[flags][width][l]d|i|u
        size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ 0", format[j]) != nullptr)
            ++j;
        while (j < format.size() && j - i < 6 && std::isdigit(static_cast<unsigned char>(format[j])) != 0)
            ++j;
        if (j < format.size() && format[j] == 'l')
            ++j;
        if (!used && j < format.size() && std::strchr("diu", format[j]) != nullptr) {
            std::string conversion = format.substr(i, j - i);
            if (!conversion.empty() && conversion.back() == 'l')
                conversion.pop_back();
            conversion += "ld";
            char text[32];
            std::snprintf(text, sizeof text, conversion.c_str(), number);
            out += text;
            used = true;
            i = j + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
