#include "text/leading_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "text/float_chars.h"

namespace matcalc {
namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of a hexadecimal or octal digit string; a value that leaves the double
// range becomes Infinity.
double RadixInteger(std::string_view text, std::size_t pos, int radix) {
  double value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (IsIgnored(c)) continue;
    const int digit = RadixDigit(static_cast<unsigned char>(c), radix);
    if (digit < 0) break;
    value = value * radix + digit;
  }
  return value;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  auto skip = [&] {
    while (pos < text.size() && IsIgnored(text[pos])) ++pos;
  };
  skip();
  if (pos < text.size() && text[pos] == '&') {
    // Blanks are ignored here too: "& H10" is &H10.
    std::size_t look = pos + 1;
    while (look < text.size() && IsIgnored(text[look])) ++look;
    if (look < text.size() && text[look] == 'H') return RadixInteger(text, look + 1, 16);
    if (look < text.size() && text[look] == 'O') return RadixInteger(text, look + 1, 8);
  }

  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }

  // The significant digits, at most kSignificantDigits of them: a run of
  // digits however long is read in that much memory.
  std::string digits;
  bool more_digits = false;  // a nonzero digit beyond those kept
  bool seen_point = false;
  bool any_digit = false;
  // Decimal magnitude of the mantissa: the number of integer digits from the
  // first nonzero one on, or minus the zeros after the point before it.
  long long magnitude = 0;
  bool any_nonzero = false;
  for (;; ++pos) {
    skip();
    if (pos >= text.size()) break;
    const char c = text[pos];
    if (IsDigit(c)) {
      any_digit = true;
      if (c != '0') any_nonzero = true;
      if (!seen_point) {
        if (any_nonzero) ++magnitude;
      } else if (!any_nonzero) {
        --magnitude;
      }
      if (!any_nonzero) continue;
      if (digits.size() < kSignificantDigits)
        digits.push_back(c);
      else if (c != '0')
        more_digits = true;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return 0;

  skip();
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    std::size_t look = pos + 1;
    while (look < text.size() && IsIgnored(text[look])) ++look;
    bool exponent_negative = false;
    if (look < text.size() && (text[look] == '+' || text[look] == '-')) {
      exponent_negative = text[look] == '-';
      ++look;
    }
    long long exponent = 0;
    bool any_exponent_digit = false;
    for (;; ++look) {
      while (look < text.size() && IsIgnored(text[look])) ++look;
      if (look >= text.size() || !IsDigit(text[look])) break;
      any_exponent_digit = true;
      // Far beyond the double range already; stop growing so it cannot overflow.
      if (exponent < 1000000000LL) exponent = exponent * 10 + (text[look] - '0');
    }
    if (any_exponent_digit) magnitude += exponent_negative ? -exponent : exponent;
  }
  if (!any_nonzero) return 0.0;
  // The mantissa is 0.ddd..., so its first digit stands for 10^(magnitude - 1).
  return DecimalValue(digits, more_digits, magnitude - 1, negative);
}

double DecimalValue(std::string& digits, bool more, long long e, bool negative) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  // Far outside the double range whatever the digits: not worth parsing.
  if (e > 400) return negative ? -kInfinity : kInfinity;
  if (e < -400) return negative ? -0.0 : 0.0;
  if (more) digits.push_back('1');
  const long long scale = e - static_cast<long long>(digits.size()) + 1;
  digits.push_back('e');
  digits += std::to_string(scale);
  double value = 0;
  // ParseDouble rounds correctly but reports values outside the double range
  // without storing them.
  const auto result = ParseDouble(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) value = e >= 0 ? kInfinity : 0.0;
  return negative ? -value : value;
}

std::optional<std::int16_t> ToInt16(double value) {
  if (std::isnan(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // ties to even
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace matcalc
