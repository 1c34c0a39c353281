// The global text table: the numbered texts of the instrument (captions,
// prompts, event texts). Entry n is text number n; entry 0 is always empty.
// The dialog definition file fills it; until then it is set directly.
#pragma once

#include <string>
#include <vector>

// Text number n: "" for 0, "? n" beyond the table.
std::string GetText(unsigned n);

// Replaces the table (entry 0 is treated as "" whatever it holds).
void SetTextTable(std::vector<std::string> texts);
// Number of entries (0 when the table is empty).
unsigned TextTableSize();
