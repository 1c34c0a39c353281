#include "LocalTime.h"

#include "platform/Clock.h"

#include <cstdio>
#include <ctime>
#include <locale.h>
#include <vector>

namespace {

locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

constexpr std::time_t kDay = 24 * 60 * 60;

} // namespace

std::string FormatLocalTime(const std::string& format, size_t bufferBytes)
{
    return FormatLocalTimeAt(CurrentClock().WallSeconds(), format, bufferBytes);
}

std::string FormatLocalTimeAt(std::time_t when, const std::string& format, size_t bufferBytes)
{
    if (bufferBytes == 0 || format.empty())
        return {};
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return {};
    std::vector<char> buffer(bufferBytes, '\0');
    size_t length = CLocale() != static_cast<locale_t>(nullptr)
                        ? strftime_l(buffer.data(), buffer.size(), format.c_str(), &local, CLocale())
                        : std::strftime(buffer.data(), buffer.size(), format.c_str(), &local);
    return std::string(buffer.data(), length);
}

std::string FormatElapsedTime(std::time_t now, std::time_t start)
{
    const std::time_t elapsed = now > start ? now - start : 0;
    if (elapsed >= 7 * kDay)
        return "MAX";
    std::tm parts {};
    gmtime_r(&elapsed, &parts);
    char clock[16];
    if (elapsed < kDay) {
        std::strftime(clock, sizeof clock, "%H:%M:%S", &parts);
        return clock;
    }
    std::strftime(clock, sizeof clock, "%H:%M", &parts);
    char days[16];
    std::snprintf(days, sizeof days, "%dd ", static_cast<int>(elapsed / kDay));
    return std::string(days) + clock;
}
