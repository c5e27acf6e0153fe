#include "text/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/float_chars.h"

namespace matcalc {
namespace {

constexpr int kSignificantDigits = 15;
constexpr std::size_t kFieldWidth = 24;

// Writes the default text into buf and returns its length (at most 22).
std::size_t FormatInto(char* buf, double value) {
  if (std::isnan(value)) {
    std::memcpy(buf, "NaN", 3);
    return 3;
  }
  if (std::isinf(value)) {
    if (value < 0) {
      std::memcpy(buf, "-Infinity", 9);
      return 9;
    }
    std::memcpy(buf, "Infinity", 8);
    return 8;
  }
  if (value == 0) {  // also negative zero
    buf[0] = '0';
    return 1;
  }

  // The 15 significant digits, correctly rounded, and the decimal exponent.
  char* out = buf;
  if (value < 0) *out++ = '-';
  std::uint64_t whole = 0;
  int exponent = 0;
  ScientificDigits(std::fabs(value), kSignificantDigits - 1, whole, exponent);
  std::array<char, kSignificantDigits> digits{};
  for (int i = kSignificantDigits - 1; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  }
  int count = kSignificantDigits;
  while (count > 1 && digits[static_cast<std::size_t>(count - 1)] == '0') --count;

  if (exponent >= -4 && exponent < 15) {
    if (exponent < 0) {
      *out++ = '0';
      *out++ = '.';
      for (int z = -1; z > exponent; --z) *out++ = '0';
      for (int i = 0; i < count; ++i) *out++ = digits[static_cast<std::size_t>(i)];
    } else {
      const int integer_digits = exponent + 1;
      for (int i = 0; i < integer_digits; ++i) {
        *out++ = i < count ? digits[static_cast<std::size_t>(i)] : '0';
      }
      if (count > integer_digits) {
        *out++ = '.';
        for (int i = integer_digits; i < count; ++i) *out++ = digits[static_cast<std::size_t>(i)];
      }
    }
  } else {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      for (int i = 1; i < count; ++i) *out++ = digits[static_cast<std::size_t>(i)];
    }
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *out++ = '0';
    out = std::to_chars(out, out + 4, magnitude).ptr;
  }
  return static_cast<std::size_t>(out - buf);
}

// Powers of ten that are exact doubles.
constexpr std::array<double, 16> kPow10 = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

std::string FormatNumber(double value) {
  char buf[32];
  return std::string(buf, FormatInto(buf, value));
}

void AppendNumber(std::string& out, double value) {
  char buf[32];
  out.append(buf, FormatInto(buf, value));
}

void AppendField24(std::string& out, double value) {
  // The field is put together here and appended whole: one append per field
  // is much cheaper than two where small appends are library calls (WebAssembly).
  char field[kFieldWidth + 8];
  char buf[32];
  const std::size_t len = FormatInto(buf, value);
  const std::size_t pad = kFieldWidth - len;
  for (std::size_t i = 0; i < pad; ++i) field[i] = ' ';
  std::memcpy(field + pad, buf, len);
  out.append(field, kFieldWidth);
}

std::string Field24(double value) {
  std::string out;
  AppendField24(out, value);
  return out;
}

double RoundTo(double value, int places) {
  if (places > 15 || !std::isfinite(value)) return value;
  if (places < 0) places = 0;
  const double scale = kPow10[static_cast<std::size_t>(places)];

  // Fast path: when the scaled value is small enough that its fraction is
  // known to within 2^-13 and it is not near a tie, the nearest integer of the
  // exact product is the nearest integer of the computed one, and dividing by
  // an exact power of ten rounds correctly.
  const double scaled = value * scale;
  if (std::fabs(scaled) < 0x1p40) {
    const double fraction = std::fabs(scaled - std::trunc(scaled));
    if (std::fabs(fraction - 0.5) > 0x1p-10) return std::nearbyint(scaled) / scale;
  } else if (std::fabs(value) >= 0x1p52) {
    return value;  // already an integer
  }

  // Exact path: the shortest correctly rounded fixed text of the binary value
  // (exact ties to even), read back as the nearest double.
  char buf[400];
  const auto res = FixedChars(buf, buf + sizeof buf, value, places);
  double rounded = value;
  ParseDouble(buf, res.ptr, rounded);
  return rounded;
}

}  // namespace matcalc
