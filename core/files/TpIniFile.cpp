#include "TpIniFile.h"

#include "FileHelpers.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// Decimal integer text; false for anything else.
bool ParseDecimal(const std::string& text, int32_t& value)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool HasLineBreak(const std::string& s)
{
    return s.find_first_of("\r\n") != std::string::npos;
}

} // namespace

TpIniFile::TpIniFile(const std::string& path) : path_(path)
{
    Load();
}

bool TpIniFile::Load()
{
    std::lock_guard<std::mutex> lock(mutex_);
    sections_.clear();
    sections_.push_back(Section{});
    std::string text;
    if (!ReadWholeFile(path_, text)) {
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (f != nullptr) {
            std::fclose(f);
            return false;
        }
        return true;   // no file yet: no settings
    }
    for (const std::string& raw : SplitLines(text)) {
        std::string line = Trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            if (name.empty())
                continue;   // "[]" is the unnamed section, which is always first
            sections_.push_back(Section{name, {}});
            continue;
        }
        Line entry;
        size_t eq = line.find('=');
        if (!line.empty() && line[0] != ';' && line[0] != '#' && eq != std::string::npos && eq > 0) {
            entry.key = Trim(line.substr(0, eq));
            entry.value = Trim(line.substr(eq + 1));
        } else {
            if (line.empty())
                continue;
            entry.raw = raw;
        }
        sections_.back().lines.push_back(entry);
    }
    return true;
}

const std::string* TpIniFile::Find(const std::string& section, const std::string& key) const
{
    for (const Section& s : sections_) {
        if (s.name != section)
            continue;
        for (const Line& l : s.lines)
            if (!l.key.empty() && l.key == key)
                return &l.value;
    }
    return nullptr;
}

std::string TpIniFile::GetString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string* v = Find(section, key);
    return v != nullptr ? *v : defaultValue;
}

int32_t TpIniFile::GetInt(const std::string& section, const std::string& key, int32_t defaultValue) const
{
    std::string v = GetString(section, key, std::string());
    if (v.empty())
        return defaultValue;
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(v.c_str(), &end, 0);
    if (end == v.c_str() || *end != '\0' || errno == ERANGE || n < INT32_MIN || n > INT32_MAX)
        return defaultValue;
    return static_cast<int32_t>(n);
}

uint32_t TpIniFile::GetUInt(const std::string& section, const std::string& key, uint32_t defaultValue) const
{
    std::string v = GetString(section, key, std::string());
    if (v.empty() || v[0] == '-')
        return defaultValue;
    char* end = nullptr;
    errno = 0;
    unsigned long long n = std::strtoull(v.c_str(), &end, 0);
    if (end == v.c_str() || *end != '\0' || errno == ERANGE || n > UINT32_MAX)
        return defaultValue;
    return static_cast<uint32_t>(n);
}

bool TpIniFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    if (key.empty() || key.find_first_of("=[\r\n") != std::string::npos || Trim(key) != key ||
        HasLineBreak(value) || HasLineBreak(section) || section.find(']') != std::string::npos)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    Section* target = nullptr;
    for (Section& s : sections_)
        if (s.name == section) {
            target = &s;
            break;
        }
    if (target == nullptr) {
        sections_.push_back(Section{section, {}});
        target = &sections_.back();
    }
    bool found = false;
    for (Line& l : target->lines)
        if (l.key == key) {
            l.value = value;
            found = true;
            break;
        }
    if (!found)
        target->lines.push_back(Line{key, value, std::string()});
    return SaveLocked();
}

bool TpIniFile::SetInt(const std::string& section, const std::string& key, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return SetString(section, key, text);
}

bool TpIniFile::SetUInt(const std::string& section, const std::string& key, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    return SetString(section, key, text);
}

std::string TpIniFile::TextLocked() const
{
    std::string out;
    for (const Section& s : sections_) {
        if (!s.name.empty()) {
            out += "[";
            out += s.name;
            out += "]\n";
        }
        for (const Line& l : s.lines) {
            if (l.key.empty()) {
                out += l.raw;
                out += "\n";
            } else {
                out += l.key;
                out += "=";
                out += l.value;
                out += "\n";
            }
        }
    }
    return out;
}

std::string TpIniFile::Text() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return TextLocked();
}

bool TpIniFile::Save() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return SaveLocked();
}

bool TpIniFile::SaveLocked() const
{
    return WriteFileAtomic(path_, TextLocked());
}

bool ReadGainSetting(const TpIniFile& settings, const char* key, int32_t& value)
{
    const std::string text = settings.GetString("", key, "");
    if (text.empty())
        return false;
    if (ParseDecimal(text, value))
        return true;
    DebugPrintf("ERROR: %s=%s is not a number; the gain stays\n", key, text.c_str());
    return false;
}
