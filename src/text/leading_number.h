// The leading-number rule: how every prompt answer, and every number inside an
// entry expression, becomes a double.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace matcalc {

// Reads the longest prefix of `text` that forms a number, ignoring spaces,
// tabs and line feeds anywhere: an optional sign, digits with at most one ".",
// an optional exponent (E or e, optional sign, digits); or &H / &O followed by
// a hexadecimal / octal integer. Anything else ends the number; a text without
// such a prefix gives 0. Magnitudes beyond the double range give +-Infinity,
// those below it give 0.
double LeadingNumber(std::string_view text);

// Rounds to the nearest integer (ties to even) and checks the 16-bit signed
// range. Outside that range, or for a value that is not a number, there is no
// result: the caller keeps its previous value.
std::optional<std::int16_t> ToInt16(double value);

}  // namespace matcalc
