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
  // Digits from the two halves of the number, each within 32 bits: one
  // 64-bit division instead of fifteen (WebAssembly has only the slow one).
  std::array<char, kSignificantDigits> digits{};
  auto low = static_cast<std::uint32_t>(whole % 100000000);
  auto high = static_cast<std::uint32_t>(whole / 100000000);
  for (int i = kSignificantDigits - 1; i >= kSignificantDigits - 8; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + low % 10);
    low /= 10;
  }
  for (int i = kSignificantDigits - 9; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + high % 10);
    high /= 10;
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

// The 24-character field of `value`, right-aligned, at `field`: put together
// with copies of fixed length only, which the compiler writes inline.
void WriteField24(char* field, double value) {
  char padded[kFieldWidth + 32];
  std::memset(padded, ' ', kFieldWidth);
  const std::size_t len = FormatInto(padded + kFieldWidth, value);
  std::memcpy(field, padded + len, kFieldWidth);
}

// Powers of ten that are exact doubles.
constexpr std::array<double, 16> kPow10 = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The rounding of a finite value to 0..15 places in integer arithmetic.
//
// |value| = M * 2^e exactly, with M < 2^53 an integer (the significand of
// the encoding, the hidden bit included for normal numbers).
// - e >= 0: the value is an integer and its own rounding.
// - Otherwise P = M * 10^p < 2^53 * 2^50 = 2^103 is exact in 128 bits, and
//   |value| * 10^p = P / 2^s with s = -e. Its integer part Q = P >> s and the
//   remainder R = P - Q * 2^s, held against the half 2^(s-1), give the nearest
//   integer N with an exact tie going to the even one. For s >= 104 the half
//   exceeds P, so N = 0.
// - Q >= 2^53, that is |value| * 10^p >= 2^53: the decimal rounding moves
//   the value by at most 10^-p / 2, while the doubles around it are more than
//   10^-p apart: its binade [2^E, 2^(E+1)) has 2^(E+1) > 2^53 / 10^p, so its
//   spacing 2^(E-52) > 10^-p; below |value| = 2^E the spacing is 2^(E-53)
//   >= 10^-p, equal only for p = 0, where the value is an integer. So the
//   rounded decimal lies within half a spacing of the value, whose double is
//   the value itself.
// - Q < 2^53: N <= 2^53 is an exact double, so is 10^p, and the quotient
//   N / 10^p is the correctly rounded, that is the nearest, double to the
//   rounded decimal. The sign is put back afterwards: a negative value that
//   rounds to zero gives negative zero, as the decimal text "-0" reads.
double RoundExactly(double value, int places) {
  constexpr std::array<std::uint64_t, 16> kPow10Int = {1ULL,
                                                       10ULL,
                                                       100ULL,
                                                       1000ULL,
                                                       10000ULL,
                                                       100000ULL,
                                                       1000000ULL,
                                                       10000000ULL,
                                                       100000000ULL,
                                                       1000000000ULL,
                                                       10000000000ULL,
                                                       100000000000ULL,
                                                       1000000000000ULL,
                                                       10000000000000ULL,
                                                       100000000000000ULL,
                                                       1000000000000000ULL};
  using Wide = unsigned __int128;

  std::uint64_t bits;  // std::bit_cast is missing from some libraries
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;  // subnormal numbers and zero
  if (biased != 0) {
    significand |= std::uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  if (exponent >= 0) return value;

  const double scale = kPow10[static_cast<std::size_t>(places)];
  const unsigned shift = static_cast<unsigned>(-exponent);
  if (shift >= 128) return std::copysign(0.0, value);
  const Wide product = Wide{significand} * kPow10Int[static_cast<std::size_t>(places)];
  Wide whole = product >> shift;
  if (whole >= (Wide{1} << 53)) return value;
  const Wide remainder = product - (whole << shift);
  const Wide half = Wide{1} << (shift - 1);
  if (remainder > half || (remainder == half && (whole & 1) != 0)) ++whole;
  return std::copysign(static_cast<double>(static_cast<std::uint64_t>(whole)) / scale, value);
}

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
  char field[kFieldWidth];
  WriteField24(field, value);
  out.append(field, kFieldWidth);
}

void AppendFields24(std::string& out, const double* values, std::size_t count) {
  // The fields are written in place, with copies of fixed length only: in
  // WebAssembly every append is a library copy, byte by byte where the
  // trace's end is unaligned, and one per field was the main cost of writing
  // a trace there. Making the room is one fill of the whole row.
  const std::size_t at = out.size();
  out.resize(at + count * kFieldWidth);
  char* const fields = out.data() + at;
  for (std::size_t i = 0; i < count; ++i) WriteField24(fields + i * kFieldWidth, values[i]);
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

  // Fast path: below 2^40 the computed product is off the exact one by at most
  // half its ulp, 2^-13; not within 2^-10 of a tie, the nearest integer of the
  // computed product (adding and taking away 1.5 * 2^52 rounds it to an
  // integer, there being no contraction into a fused multiply-add) is that of
  // the exact one, and dividing it by an exact power of ten rounds correctly.
  // The sign goes back on afterwards for a zero.
  const double scaled = value * scale;
  if (std::fabs(scaled) < 0x1p40) {
    const double nearest = (scaled + 0x1.8p52) - 0x1.8p52;
    if (std::fabs(scaled - nearest) < 0.5 - 0x1p-10) {
      return std::copysign(nearest / scale, value);
    }
  }
  return RoundExactly(value, places);
}

}  // namespace matcalc
