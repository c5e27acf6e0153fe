#include "text/float_chars.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace matcalc {
namespace portable {
namespace {

// Copies printf's text of a finite value into [first, last), writing the
// decimal separator of the current locale (one or more bytes that are no
// digit, sign or 'e') as '.'.
std::to_chars_result CopyNumberText(const char* text, std::size_t length, char* first,
                                    char* last) {
  char* out = first;
  for (std::size_t i = 0; i < length;) {
    const char c = text[i];
    const bool plain = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e';
    if (out == last) return {last, std::errc::value_too_large};
    if (plain) {
      *out++ = c;
      ++i;
      continue;
    }
    *out++ = '.';
    while (i < length && !(text[i] >= '0' && text[i] <= '9') && text[i] != 'e') ++i;
  }
  return {out, std::errc{}};
}

// printf with the given format ("%.*e" or "%.*f") and precision.
std::to_chars_result Print(char* first, char* last, const char* format, double value,
                           int precision) {
  if (!std::isfinite(value)) {
    const char* text = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                         : (value < 0 ? "-inf" : "inf");
    const std::size_t length = std::strlen(text);
    if (static_cast<std::size_t>(last - first) < length) return {last, std::errc::value_too_large};
    std::memcpy(first, text, length);
    return {first + length, std::errc{}};
  }
  if (precision < 0) precision = 6;  // as printf takes a negative precision
  char small[64];
  const int length = std::snprintf(small, sizeof small, format, precision, value);
  if (length < 0) return {last, std::errc::value_too_large};
  if (static_cast<std::size_t>(length) < sizeof small) {
    return CopyNumberText(small, static_cast<std::size_t>(length), first, last);
  }
  std::string large(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(large.data(), large.size(), format, precision, value);
  return CopyNumberText(large.data(), static_cast<std::size_t>(length), first, last);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether [p, last) starts with `word` in any case.
bool StartsWithWord(const char* p, const char* last, const char* word) {
  const std::size_t length = std::strlen(word);
  if (static_cast<std::size_t>(last - p) < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (Lower(p[i]) != word[i]) return false;
  }
  return true;
}

}  // namespace

std::to_chars_result ScientificChars(char* first, char* last, double value, int precision) {
  return Print(first, last, "%.*e", value, precision);
}

std::to_chars_result FixedChars(char* first, char* last, double value, int places) {
  return Print(first, last, "%.*f", value, places);
}

std::from_chars_result ParseDouble(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative) ++p;

  if (p < last && (Lower(*p) == 'i' || Lower(*p) == 'n')) {
    if (StartsWithWord(p, last, "inf")) {
      p += StartsWithWord(p, last, "infinity") ? 8 : 3;
      value = negative ? -HUGE_VAL : HUGE_VAL;
      return {p, std::errc{}};
    }
    if (StartsWithWord(p, last, "nan")) {
      p += 3;
      // An optional (n-char-sequence) belongs to the text.
      if (p < last && *p == '(') {
        const char* q = p + 1;
        while (q < last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_')) ++q;
        if (q < last && *q == ')') p = q + 1;
      }
      value = negative ? -std::nan("") : std::nan("");
      return {p, std::errc{}};
    }
    return {first, std::errc::invalid_argument};
  }

  // The longest prefix of the form digits[.digits][e[+-]digits].
  const char* mantissa = p;
  bool any_digit = false;
  while (p < last && IsDigit(*p)) ++p, any_digit = true;
  if (p < last && *p == '.') {
    ++p;
    while (p < last && IsDigit(*p)) ++p, any_digit = true;
  }
  if (!any_digit) return {first, std::errc::invalid_argument};
  if (p < last && Lower(*p) == 'e') {
    const char* q = p + 1;
    if (q < last && (*q == '+' || *q == '-')) ++q;
    if (q < last && IsDigit(*q)) {
      while (q < last && IsDigit(*q)) ++q;
      p = q;
    }
  }

  // strtod reads the locale's decimal separator; write the text with it.
  const char* separator = std::localeconv()->decimal_point;
  std::string text;
  text.reserve(static_cast<std::size_t>(p - first) + 4);
  if (negative) text += '-';
  for (const char* q = mantissa; q < p; ++q) {
    if (*q == '.') {
      text += separator;
    } else {
      text += *q;
    }
  }
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  // Results that are no longer finite, or that vanish, are out of range;
  // subnormal results are values like any other.
  if (errno == ERANGE && (parsed == 0 || std::isinf(parsed))) {
    return {p, std::errc::result_out_of_range};
  }
  value = parsed;
  return {p, std::errc{}};
}

}  // namespace portable

std::to_chars_result ScientificChars(char* first, char* last, double value, int precision) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  return std::to_chars(first, last, value, std::chars_format::scientific, precision);
#else
  return portable::ScientificChars(first, last, value, precision);
#endif
}

std::to_chars_result FixedChars(char* first, char* last, double value, int places) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  return std::to_chars(first, last, value, std::chars_format::fixed, places);
#else
  return portable::FixedChars(first, last, value, places);
#endif
}

std::from_chars_result ParseDouble(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  return std::from_chars(first, last, value, std::chars_format::general);
#else
  return portable::ParseDouble(first, last, value);
#endif
}

}  // namespace matcalc
