// Small text operations with the exact semantics the readers and the
// evaluator are defined by.
#pragma once

#include <string>
#include <string_view>

namespace matcalc {

// Replaces every non-overlapping occurrence of `from`, scanning once from the
// left and never looking again at what was just produced.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// The same in place: a text without `from` is neither copied nor reallocated.
void ReplaceAllIn(std::string& text, std::string_view from, std::string_view to);

// Removes leading and trailing space characters (code 32 only; tabs and line
// breaks stay).
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimLeadingSpaces(std::string_view text);

inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace matcalc
