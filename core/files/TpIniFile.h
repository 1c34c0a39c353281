// The section/key settings file ("./system.cfg"). Sections are written
// "[%s]\n" and entries "%s=%s\n"; the unnamed section "" holds the entries
// before the first header. Every set saves the whole file at once.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class TpIniFile {
public:
    // Reads the file when it exists; a missing file is an empty settings set.
    explicit TpIniFile(const std::string& path);

    const std::string& Path() const { return path_; }

    // Re-reads the file; false when it exists but cannot be read.
    bool Load();
    // Writes the file to a temporary name and renames it into place; false
    // (old file kept) when that fails.
    bool Save() const;

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    // Numbers: decimal, or hexadecimal with "0x"; the default when the key is
    // missing or its value is not a number.
    int32_t GetInt(const std::string& section, const std::string& key, int32_t defaultValue) const;
    uint32_t GetUInt(const std::string& section, const std::string& key, uint32_t defaultValue) const;

    // Each set saves the file and reports whether the save succeeded. A key
    // that is empty or holds '=', '[' or a line break, or a value or section
    // with a line break, is refused (false, nothing changed).
    bool SetString(const std::string& section, const std::string& key, const std::string& value);
    bool SetInt(const std::string& section, const std::string& key, int32_t value);
    bool SetUInt(const std::string& section, const std::string& key, uint32_t value);

    // The file's text as Save writes it.
    std::string Text() const;

private:
    struct Line {
        std::string key;     // empty for a line kept as it stands
        std::string value;
        std::string raw;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    const std::string* Find(const std::string& section, const std::string& key) const;
    bool SaveLocked() const;
    std::string TextLocked() const;

    std::string path_;
    mutable std::mutex mutex_;
    std::vector<Section> sections_;   // sections_[0] is the unnamed section
};

// A gain kept in the unnamed section: strict decimal text. True with the
// value when the key holds one; a value that is not a decimal number is
// reported on the console and gives false, as a missing key does.
bool ReadGainSetting(const TpIniFile& settings, const char* key, int32_t& value);
