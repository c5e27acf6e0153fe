// Floating-point text conversions with a fallback for standard libraries that
// lack the floating-point std::to_chars with a precision and std::from_chars
// (libc++ of LLVM 14, as shipped with the WebAssembly toolchain). The
// fallback uses the C library's exact conversions (correctly rounded, ties to
// even), which give the same bytes.
#pragma once

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace matcalc::float_chars {

#if defined(__EMSCRIPTEN__)
inline std::to_chars_result ToChars(char* first, char* last, double value,
                                    std::chars_format format, int precision) {
  const int n = std::snprintf(first, static_cast<std::size_t>(last - first),
                              format == std::chars_format::fixed ? "%.*f" : "%.*e", precision,
                              value);
  if (n < 0 || n >= last - first) return {last, std::errc::value_too_large};
  return {first + n, std::errc{}};
}

inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  const std::string text(first, last);
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return {first, std::errc::invalid_argument};
  const char* stop = first + (end - text.c_str());
  if (errno == ERANGE && (std::isinf(parsed) || parsed == 0)) {
    return {stop, std::errc::result_out_of_range};
  }
  value = parsed;
  return {stop, std::errc{}};
}
#else
inline std::to_chars_result ToChars(char* first, char* last, double value,
                                    std::chars_format format, int precision) {
  return std::to_chars(first, last, value, format, precision);
}

inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value, std::chars_format::general);
}
#endif

}  // namespace matcalc::float_chars
