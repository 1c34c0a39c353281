// Text written into the pages and files the web side makes: markup
// characters become entities, so a name or a value can neither break the
// markup nor end a page early.
#pragma once

#include <string>

enum class MarkupKind {
    kPageText,    // page body: & < >; control bytes left out
    kHtml,        // HTML text and attribute values: & < > ' "
    kXml,         // XML character data: & < > ' "; control bytes XML forbids left out
};

std::string MarkupText(const std::string& text, MarkupKind kind);
