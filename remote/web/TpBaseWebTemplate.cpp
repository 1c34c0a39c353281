#include "TpBaseWebTemplate.h"

#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The token's text from pos up to its closing '>' (or the end of the line),
// without a line break, for error messages.
std::string RestOfToken(const std::string& line, size_t pos)
{
    size_t end = line.find('>', pos);
    if (end == std::string::npos)
        end = line.size();
    while (end > pos && (line[end - 1] == '\n' || line[end - 1] == '\r'))
        --end;
    return line.substr(pos, end - pos);
}

} // namespace

bool TpBaseWebTemplate::Create(const std::string& templatePath, const std::string& outputPath)
{
    DebugPrintf("Creating report: %s\n using template: %s\n", outputPath.c_str(), templatePath.c_str());
    std::string bytes;
    if (!ReadWholeFile(Paths::MapInstrumentPath(templatePath), bytes))
        return false;
    if (!out_.Open(Paths::MapInstrumentPath(outputPath)))
        return false;
    ProcessFile(bytes);
    return out_.Commit();
}

void TpBaseWebTemplate::ProcessFile(const std::string& bytes)
{
    size_t pos = 0;
    while (pos < bytes.size()) {
        // One chunk: up to and including the next line break, at most
        // kMaxChunk characters.
        size_t limit = std::min(bytes.size(), pos + kMaxChunk);
        size_t end = pos;
        while (end < limit && bytes[end] != '\n')
            ++end;
        if (end < limit)
            ++end; // keep the line break with its line
        ProcessLine(bytes.substr(pos, end - pos));
        pos = end;
    }
}

void TpBaseWebTemplate::ProcessLine(const std::string& line)
{
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find("<#", pos);
        if (start == std::string::npos)
            break;
        out_.Write(line.data() + pos, start - pos);
        pos = ParseToken(line, start + 1);
    }
    if (pos < line.size())
        out_.Write(line.data() + pos, line.size() - pos);
}

size_t TpBaseWebTemplate::ParseToken(const std::string& line, size_t hash)
{
    const size_t size = line.size();
    size_t p = hash + 1;
    size_t nameStart = p;
    while (p < size && !IsSpace(line[p]) && line[p] != '>')
        ++p;
    const std::string name = line.substr(nameStart, p - nameStart);
    ClearParams();

    for (;;) {
        while (p < size && IsSpace(line[p]))
            ++p;
        if (p >= size)
            break; // the line (or chunk) ends the token
        if (line[p] == '>') {
            ++p;
            break;
        }
        size_t paramStart = p;
        while (p < size && line[p] != '=' && !IsSpace(line[p]) && line[p] != '>')
            ++p;
        if (p >= size || line[p] != '=') {
            const std::string msg = "No '=' after parameter " + RestOfToken(line, paramStart) +
                                    " for token " + name + "\n";
            Write(msg);
            return size;
        }
        const std::string paramName = line.substr(paramStart, p - paramStart);
        ++p; // past '='
        std::string value;
        if (p < size && (line[p] == '\'' || line[p] == '"')) {
            size_t close = line.find(line[p], p + 1);
            if (close == std::string::npos) {
                Write("Unterminated quote for parameter " + paramName + " for token: " + name + "\n");
                return size;
            }
            value = line.substr(p + 1, close - p - 1);
            p = close + 1;
        } else {
            size_t valueStart = p;
            while (p < size && !IsSpace(line[p]) && line[p] != '>')
                ++p;
            value = line.substr(valueStart, p - valueStart);
        }
        AddParam(paramName, value);
    }
    if (!name.empty())
        HandleToken(name);
    return p;
}

std::string TpBaseWebTemplate::GetParam(const std::string& name) const
{
    for (const auto& [key, value] : params_)
        if (SameText(key, name))
            return value;
    return {};
}

void TpBaseWebTemplate::AddParam(const std::string& name, const std::string& value)
{
    params_.emplace_back(name, value);
}

bool TpBaseWebTemplate::SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
