#include "FakeAudioHardware.h"

#include <cstdarg>
#include <cstdio>

void FakeAudioHardware::Record(const char* fmt, ...)
{
    char line[128];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    calls.emplace_back(line);
}

void FakeAudioHardware::RouteConnect(int d, int s) { Record("RouteConnect(%d,%d)", d, s); }
void FakeAudioHardware::RouteMix(int d, int s, double g) { Record("RouteMix(%d,%d,%.6f)", d, s, g); }
void FakeAudioHardware::RouteSetGain(int d, double g) { Record("RouteSetGain(%d,%.6f)", d, g); }
void FakeAudioHardware::SetGainDb(int c, int s, double g) { Record("SetGainDb(%d,%d,%.6f)", c, s, g); }
void FakeAudioHardware::SetOutputGain(int l, int r) { Record("SetOutputGain(%d,%d)", l, r); }
void FakeAudioHardware::GenWrite(uint8_t v) { Record("GenWrite(%u)", v); }
void FakeAudioHardware::GenWriteA(uint8_t v) { Record("GenWriteA(%u)", v); }
void FakeAudioHardware::GenWriteB(uint8_t v) { Record("GenWriteB(%u)", v); }
void FakeAudioHardware::GenSetChannel(int g, uint8_t v) { Record("GenSetChannel(%d,%u)", g, v); }
void FakeAudioHardware::GenSync() { Record("GenSync()"); }
void FakeAudioHardware::PowerAudioPair(int p, int on) { Record("PowerAudioPair(%d,%d)", p, on); }
void FakeAudioHardware::PowerGenFlag(uint8_t v) { Record("PowerGenFlag(%u)", v); }
void FakeAudioHardware::PowerGenAnalog(int on) { Record("PowerGenAnalog(%d)", on); }
void FakeAudioHardware::PowerGenGroups(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    Record("PowerGenGroups(%u,%u,%u,%u)", a, b, c, d);
}
void FakeAudioHardware::PowerMeterAnalog(int on) { Record("PowerMeterAnalog(%d)", on); }
void FakeAudioHardware::MeterSet(int s, int v) { Record("MeterSet(%d,%d)", s, v); }
void FakeAudioHardware::MonitorWrite(uint8_t v) { Record("MonitorWrite(%u)", v); }
void FakeAudioHardware::ChannelStatusWrite(uint8_t v) { Record("ChannelStatusWrite(%u)", v); }
void FakeAudioHardware::ChannelStatusCommit() { Record("ChannelStatusCommit()"); }
void FakeAudioHardware::DolbySpacing(int v) { Record("DolbySpacing(%d)", v); }
void FakeAudioHardware::DolbyLine(int offset, int lines) { Record("DolbyLine(%d,%d)", offset, lines); }
void FakeAudioHardware::DolbySourceSelect(int s) { Record("DolbySourceSelect(%d)", s); }
void FakeAudioHardware::DolbyStreamSelect(int i, int d) { Record("DolbyStreamSelect(%d,%d)", i, d); }

std::vector<std::string> FakeAudioHardware::CallsOf(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c);
    return out;
}
