#include "TpMemoryFile.h"

#include "core/files/FileHelpers.h"
#include "core/store/TpCommand.h"
#include "core/log/TpLogger.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr unsigned kMaxMemoryNumber = 999;

// Line breaks cannot be kept in a one-line field.
std::string OneLine(const std::string& s)
{
    std::string out = s;
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    return out;
}

TpMemoryValue& ValueFor(TpMemory& memory, uint16_t id)
{
    for (TpMemoryValue& v : memory.values)
        if (v.cmdId == id)
            return v;
    memory.values.push_back(TpMemoryValue());
    memory.values.back().cmdId = id;
    return memory.values.back();
}

} // namespace

const TpMemory* TpMemoryFile::Find(unsigned number) const
{
    for (const TpMemory& m : memories_)
        if (m.number == number)
            return &m;
    return nullptr;
}

bool TpMemoryFile::SetMemory(const TpMemory& memory)
{
    if (memory.number == 0 || memory.number > kMaxMemoryNumber)
        return false;
    for (TpMemory& m : memories_)
        if (m.number == memory.number) {
            m = memory;
            return true;
        }
    memories_.push_back(memory);
    std::sort(memories_.begin(), memories_.end(),
              [](const TpMemory& a, const TpMemory& b) { return a.number < b.number; });
    return true;
}

bool TpMemoryFile::ValidBackupName(const std::string& name)
{
    return PlainFileName(name);
}

std::string TpMemoryFile::BackupPath(const std::string& name)
{
    return Paths::BackupsFolder() + "/" + name + ".mem";
}

std::string TpMemoryFile::Format(const std::vector<TpMemory>& memories)
{
    std::string text;
    for (const TpMemory& m : memories) {
        text += "[Memory" + std::to_string(m.number) + "]\n";
        text += "Name=" + OneLine(m.name) + "\n";
        for (const TpMemoryValue& v : m.values) {
            if (v.hasValue)
                text += "V" + std::to_string(v.cmdId) + "=" + std::to_string(v.value) + "\n";
            if (v.hasText)
                text += "T" + std::to_string(v.cmdId) + "=" + OneLine(v.text) + "\n";
        }
    }
    return text;
}

bool TpMemoryFile::Parse(const std::string& text, std::vector<TpMemory>& out)
{
    std::vector<TpMemory> memories;
    for (const std::string& line : SplitLines(text)) {
        if (line.empty())
            continue;

        if (line.front() == '[') {
            const std::string head = "[Memory";
            long long number = 0;
            if (line.size() < head.size() + 2 || line.compare(0, head.size(), head) != 0 || line.back() != ']' ||
                !ParseInt(line.substr(head.size(), line.size() - head.size() - 1), 1, kMaxMemoryNumber, number))
                return false;
            for (const TpMemory& m : memories)
                if (m.number == number)
                    return false;
            memories.push_back(TpMemory());
            memories.back().number = static_cast<unsigned>(number);
            continue;
        }

        const size_t eq = line.find('=');
        if (memories.empty() || eq == std::string::npos)
            return false;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        TpMemory& memory = memories.back();
        if (key == "Name") {
            memory.name = value;
            continue;
        }
        long long id = 0;
        if (key.size() < 2 || (key[0] != 'V' && key[0] != 'T') || !ParseInt(key.substr(1), 1, 65535, id))
            return false;
        TpMemoryValue& v = ValueFor(memory, static_cast<uint16_t>(id));
        if (key[0] == 'V') {
            long long number = 0;
            if (!ParseInt(value, INT32_MIN, INT32_MAX, number))
                return false;
            v.hasValue = true;
            v.value = static_cast<int32_t>(number);
        } else {
            v.hasText = true;
            v.text = value;
        }
    }
    std::sort(memories.begin(), memories.end(),
              [](const TpMemory& a, const TpMemory& b) { return a.number < b.number; });
    out = std::move(memories);
    return true;
}

bool TpMemoryFile::ImportMemory(const std::string& backupName, TpCommand* target)
{
    std::string text;
    if (!ValidBackupName(backupName) || !ReadWholeFile(BackupPath(backupName), text)) {
        LogMessageText(0, "Error when importing memories between ", "\"" + backupName + "\"");
        return false;
    }
    std::vector<TpMemory> memories;
    if (!Parse(text, memories)) {
        LogMessageText(0, "Text file corrupt ", BackupPath(backupName));
        return false;
    }
    memories_ = std::move(memories);
    if (target != nullptr) {
        target->ClearItemsAll();
        for (const TpMemory& m : memories_)
            target->AddItemAll(m.name, static_cast<int32_t>(m.number));
    }
    return true;
}

bool TpMemoryFile::ExportMemory(const std::string& backupName) const
{
    if (!ValidBackupName(backupName))
        return false;
    return WriteFileAtomic(BackupPath(backupName), Format(memories_));
}
