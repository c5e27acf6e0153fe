// How many cells of a monospaced CJK font a character takes when a trace is
// printed: the wide (East Asian) characters take two. The window's print and
// the page's (through the catalog) count with the same table.
#pragma once

#include <array>
#include <utility>

namespace matcalc {

inline constexpr std::array<std::pair<char32_t, char32_t>, 12> kWidePrintRanges = {{
    {0x1100, 0x115F},
    {0x2E80, 0x303E},
    {0x3041, 0x33FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},
    {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},
    {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},
    {0x20000, 0x3FFFD},
}};

constexpr bool IsWideInPrint(char32_t c) {
  for (const auto& [first, last] : kWidePrintRanges) {
    if (c >= first && c <= last) return true;
  }
  return false;
}

}  // namespace matcalc
