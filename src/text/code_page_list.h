#pragma once
// The code pages the program offers: their numbers, names and display names, and the ICU
// converter behind each. The code page registry is built from this list.
#include <array>
#include <span>

namespace lbv {

struct CodePageEntry {
    int number;
    const char* name; // the charset name written into files, e.g. "windows-1251"
    const char* displayName; // e.g. "Cyrillic (Windows)"
    const char* converter; // ICU converter name; null means the same as name
    std::array<const char*, 2> aliases; // further names; unused slots are null
};

// Sorted by number; 117 entries, UTF-8 and the five built-in code pages among them.
std::span<const CodePageEntry> CodePageEntries();

} // namespace lbv
