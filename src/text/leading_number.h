// The leading-number rule: how every prompt answer, and every number inside an
// entry expression, becomes a double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// The value of `c` as a digit of an &H (radix 16) or &O (radix 8) number, or
// -1 when it is none.
inline int RadixDigit(int c, int radix) {
  int digit = -1;
  if (c >= '0' && c <= '9')
    digit = c - '0';
  else if (radix == 16 && c >= 'A' && c <= 'F')
    digit = c - 'A' + 10;
  else if (radix == 16 && c >= 'a' && c <= 'f')
    digit = c - 'a' + 10;
  return digit < radix ? digit : -1;
}

// Enough significant digits of a decimal number to round it correctly when the
// digits after them are reduced to one sticky nonzero digit: a number is read
// in a few hundred bytes however many digits it has.
inline constexpr std::size_t kSignificantDigits = 800;

// The double nearest the decimal number whose significant digits are `digits`
// (from the first nonzero one, at most kSignificantDigits of them), followed by
// further nonzero digits when `more`, the first digit standing for 10^e.
// Beyond the double range: +-Infinity above, 0 below. `digits` is used as
// scratch space.
double DecimalValue(std::string& digits, bool more, long long e, bool negative);

}  // namespace matcalc
