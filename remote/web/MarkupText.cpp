#include "MarkupText.h"

namespace {

// True when the byte is a control character the kind leaves out.
bool LeftOut(unsigned char c, MarkupKind kind)
{
    if (c >= 0x20)
        return false;
    switch (kind) {
    case MarkupKind::kPageText: return true;
    case MarkupKind::kXml: return c != '\t' && c != '\n' && c != '\r';
    case MarkupKind::kHtml: return false;
    }
    return false;
}

} // namespace

std::string MarkupText(const std::string& text, MarkupKind kind)
{
    const bool quotes = kind != MarkupKind::kPageText;
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '\'':
            if (quotes) {
                out += kind == MarkupKind::kXml ? "&apos;" : "&#39;";
                continue;
            }
            break;
        case '"':
            if (quotes) {
                out += "&quot;";
                continue;
            }
            break;
        default: break;
        }
        if (!LeftOut(static_cast<unsigned char>(c), kind))
            out += c;
    }
    return out;
}
