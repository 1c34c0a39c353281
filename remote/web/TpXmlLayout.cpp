#include "TpXmlLayout.h"

#include "core/files/FileHelpers.h"

#include <algorithm>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The id as a decimal number taken modulo 65536 (digits beyond any range
// still wrap as the low 16 bits of the number would).
uint16_t ReadCmdId(const std::string& text, size_t pos)
{
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    uint32_t number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = (number * 10 + static_cast<uint32_t>(text[pos] - '0')) & 0xFFFFu;
        ++pos;
    }
    if (negative)
        number = (0x10000u - number) & 0xFFFFu;
    return static_cast<uint16_t>(number);
}

} // namespace

bool TpXmlLayout::ParseLine(const std::string& line, TpXmlField& field)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    size_t comma = line.find(',', equals + 1);
    if (comma == std::string::npos)
        return false;
    field.label = line.substr(0, equals);
    field.cmdId = ReadCmdId(line, equals + 1);
    field.divisor = LeadingInteger(line, comma + 1);
    return true;
}

std::vector<TpXmlField> TpXmlLayout::Parse(const std::string& bytes)
{
    std::vector<TpXmlField> fields;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t limit = std::min(bytes.size(), pos + kMaxLine);
        size_t end = pos;
        while (end < limit && bytes[end] != '\n')
            ++end;
        if (end < limit)
            ++end;
        TpXmlField field;
        if (ParseLine(bytes.substr(pos, end - pos), field))
            fields.push_back(std::move(field));
        pos = end;
    }
    return fields;
}
