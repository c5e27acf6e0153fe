#include "text/float_chars.h"

#include <array>
#include <bit>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
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
std::to_chars_result CopyNumberText(const char* text, std::size_t length, char* first, char* last) {
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
    const char* text =
        std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
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

// Unsigned integers of up to 44 limbs of 32 bits (1408 bits): enough for a
// double's significand times any power of ten a 17-digit rounding needs.
class BigNumber {
 public:
  explicit BigNumber(std::uint64_t value) {
    limbs_[0] = static_cast<std::uint32_t>(value);
    limbs_[1] = static_cast<std::uint32_t>(value >> 32);
    size_ = limbs_[1] != 0 ? 2 : (limbs_[0] != 0 ? 1 : 0);
  }

  // Each returns false when the result would not fit.
  bool MultiplyBy(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
      limbs_[i] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    return Push(carry);
  }

  bool MultiplyByPowerOf5(int n) {
    constexpr std::uint32_t kPow5_13 = 1220703125;  // 5^13, the largest below 2^32
    for (; n >= 13; n -= 13) {
      if (!MultiplyBy(kPow5_13)) return false;
    }
    std::uint32_t rest = 1;
    for (; n > 0; --n) rest *= 5;
    return MultiplyBy(rest);
  }

  bool ShiftLeft(int bits) {
    if (size_ == 0 || bits == 0) return true;
    const int words = bits / 32;
    const int shift = bits % 32;
    if (size_ + words + 1 > kLimbs) return false;
    limbs_[size_ + words] = 0;
    for (int i = size_ - 1; i >= 0; --i) {
      const std::uint64_t wide = std::uint64_t{limbs_[i]} << shift;
      limbs_[i + words + 1] |= static_cast<std::uint32_t>(wide >> 32);
      limbs_[i + words] = static_cast<std::uint32_t>(wide);
    }
    for (int i = 0; i < words; ++i) limbs_[i] = 0;
    size_ += words + 1;
    Trim();
    return true;
  }

  bool Add(const BigNumber& other) {
    const int n = size_ > other.size_ ? size_ : other.size_;
    std::uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
      const std::uint64_t sum = std::uint64_t{i < size_ ? limbs_[i] : 0u} +
                                (i < other.size_ ? other.limbs_[i] : 0u) + carry;
      limbs_[i] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
    size_ = n;
    return Push(carry);
  }

  // Requires *this >= other.
  void Subtract(const BigNumber& other) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
      std::int64_t difference =
          std::int64_t{limbs_[i]} - borrow - (i < other.size_ ? std::int64_t{other.limbs_[i]} : 0);
      borrow = difference < 0 ? 1 : 0;
      if (difference < 0) difference += std::int64_t{1} << 32;
      limbs_[i] = static_cast<std::uint32_t>(difference);
    }
    Trim();
  }

  int Compare(const BigNumber& other) const {
    if (size_ != other.size_) return size_ < other.size_ ? -1 : 1;
    for (int i = size_ - 1; i >= 0; --i) {
      if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

 private:
  static constexpr int kLimbs = 44;

  bool Push(std::uint64_t carry) {
    if (carry == 0) return true;
    if (size_ == kLimbs) return false;
    limbs_[size_++] = static_cast<std::uint32_t>(carry);
    return true;
  }
  void Trim() {
    while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
  }

  std::array<std::uint32_t, kLimbs> limbs_{};
  int size_ = 0;
};

// The integer nearest to m 2^e2 10^t (exact ties to even), starting the
// search from `guess`; false when the numbers grow too large or the guess is
// far off.
bool RoundScaled(std::uint64_t m, int e2, int t, std::uint64_t guess, std::uint64_t& result) {
  // m 2^e2 10^t = numerator / denominator, both integers.
  BigNumber numerator(m);
  BigNumber denominator(1);
  const int twos = e2 + t;
  if (!(t >= 0 ? numerator.MultiplyByPowerOf5(t) : denominator.MultiplyByPowerOf5(-t))) {
    return false;
  }
  if (!(twos >= 0 ? numerator.ShiftLeft(twos) : denominator.ShiftLeft(-twos))) return false;

  // below = guess * denominator, by the 32-bit halves of the guess.
  BigNumber below = denominator;
  BigNumber high = denominator;
  if (!below.MultiplyBy(static_cast<std::uint32_t>(guess)) ||
      !high.MultiplyBy(static_cast<std::uint32_t>(guess >> 32)) || !high.ShiftLeft(32) ||
      !below.Add(high)) {
    return false;
  }
  std::uint64_t quotient = guess;
  for (int step = 0; below.Compare(numerator) > 0; ++step) {
    if (step == 64 || quotient == 0) return false;
    below.Subtract(denominator);
    --quotient;
  }
  for (int step = 0;; ++step) {
    BigNumber next = below;
    if (!next.Add(denominator)) return false;
    if (next.Compare(numerator) > 0) break;
    if (step == 64) return false;
    below = next;
    ++quotient;
  }
  // The remainder against half the denominator.
  BigNumber twice_remainder = numerator;
  twice_remainder.Subtract(below);
  if (!twice_remainder.ShiftLeft(1)) return false;
  const int side = twice_remainder.Compare(denominator);
  if (side > 0 || (side == 0 && (quotient & 1) != 0)) ++quotient;
  result = quotient;
  return true;
}

#if defined(__SIZEOF_INT128__)
// 5^0 .. 5^27.
constexpr std::array<std::uint64_t, 28> kPow5 = [] {
  std::array<std::uint64_t, 28> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& entry : powers) {
    entry = power;
    power *= 5;
  }
  return powers;
}();

// The same in 128-bit integers, for the common case of a value with a binary
// fraction (e2 < 0) scaled up by a small power of ten; false outside it.
bool RoundScaledSmall(std::uint64_t m, int e2, int t, std::uint64_t& result) {
  if (e2 >= 0 || t < 0 || t > 27) return false;  // 5^27 < 2^63: m 5^t < 2^116
  const int shift = -(e2 + t);                   // m 5^t / 2^shift
  if (shift <= 0 || shift >= 116) return false;
  using Wide = unsigned __int128;
  const Wide product = static_cast<Wide>(m) * kPow5[static_cast<std::size_t>(t)];
  Wide quotient = product >> shift;
  const Wide remainder = product - (quotient << shift);
  const Wide half = static_cast<Wide>(1) << (shift - 1);
  if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
  if (quotient >> 64 != 0) return false;
  result = static_cast<std::uint64_t>(quotient);
  return true;
}
#else
bool RoundScaledSmall(std::uint64_t, int, int, std::uint64_t&) { return false; }
#endif

constexpr std::array<std::uint64_t, 19> kPow10 = {1ull,
                                                  10ull,
                                                  100ull,
                                                  1000ull,
                                                  10000ull,
                                                  100000ull,
                                                  1000000ull,
                                                  10000000ull,
                                                  100000000ull,
                                                  1000000000ull,
                                                  10000000000ull,
                                                  100000000000ull,
                                                  1000000000000ull,
                                                  10000000000000ull,
                                                  100000000000000ull,
                                                  1000000000000000ull,
                                                  10000000000000000ull,
                                                  100000000000000000ull,
                                                  1000000000000000000ull};

// v 10^t in floating point, without overflow on the way: a first guess.
double ApproximateScaled(double v, int t) {
  for (; t > 300; t -= 300) v *= 1e300;
  for (; t < -300; t += 300) v *= 1e-300;
  return v * std::pow(10.0, t);
}

}  // namespace

bool ScientificDigits(double v, int precision, std::uint64_t& digits, int& exponent) {
  if (!(v > 0) || !std::isfinite(v) || precision < 0 || precision > 17) return false;
  // v = m 2^e2 exactly, from the bits.
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = static_cast<int>(bits >> 52) & 0x7FF;
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e2 = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e2 = biased - 1075;
  }
  // The leading bit is worth 2^top, so the first digit's exponent is
  // floor(top log10 2) or one more; the loop below settles which.
  const int top = e2 + (63 - std::countl_zero(m));
  int k = static_cast<int>(std::floor(top * 0.30102999566398120));
  for (int attempt = 0; attempt < 4; ++attempt) {
    const int t = precision - k;
    std::uint64_t rounded = 0;
    if (!RoundScaledSmall(m, e2, t, rounded)) {
      const double approximate = ApproximateScaled(v, t);
      const auto guess = static_cast<std::uint64_t>(
          approximate < 1 ? 1.0 : (approximate > 4e18 ? 4e18 : approximate));
      if (!RoundScaled(m, e2, t, guess, rounded)) return false;
    }
    if (rounded >= kPow10[static_cast<std::size_t>(precision) + 1]) {
      ++k;  // also a rounding that carried into a new digit
    } else if (rounded < kPow10[static_cast<std::size_t>(precision)]) {
      --k;
    } else {
      // 10^precision may be a value just below it rounded up, whose own
      // first digit is one place lower: it then has a digit more to round.
      if (rounded == kPow10[static_cast<std::size_t>(precision)]) {
        std::uint64_t lower = 0;
        if (!RoundScaledSmall(m, e2, t + 1, lower) &&
            !RoundScaled(m, e2, t + 1, rounded * 10 - 1, lower)) {
          return false;
        }
        if (lower < kPow10[static_cast<std::size_t>(precision) + 1]) {
          rounded = lower;
          --k;
        }
      }
      digits = rounded;
      exponent = k;
      return true;
    }
  }
  return false;
}

std::to_chars_result ScientificChars(char* first, char* last, double value, int precision) {
  std::uint64_t digits = 0;
  int exponent = 0;
  if (!std::isfinite(value) || value == 0 ||
      !ScientificDigits(std::fabs(value), precision, digits, exponent)) {
    return Print(first, last, "%.*e", value, precision);
  }
  // [-]d.ddd e[+-]XX: at most 1 + 18 + 1 + 2 + 3 characters.
  char text[32];
  char* out = text;
  if (value < 0) *out++ = '-';
  char reversed[20] = {};
  for (int i = 0; i <= precision; ++i) {
    reversed[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  *out++ = reversed[precision];
  if (precision > 0) *out++ = '.';
  for (int i = precision - 1; i >= 0; --i) *out++ = reversed[i];
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  const auto length = static_cast<std::size_t>(out - text);
  if (static_cast<std::size_t>(last - first) < length) return {last, std::errc::value_too_large};
  std::memcpy(first, text, length);
  return {first + length, std::errc{}};
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
        while (q < last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_'))
          ++q;
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

  // At most 15 significant digits and a power of ten up to 10^22: both are
  // exact doubles, and one multiplication or division rounds correctly.
  {
    constexpr std::array<double, 23> kExactPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t whole = 0;
    int significant = 0;
    int scale = 0;  // decimal exponent of the last digit read
    bool after_point = false;
    const char* q = mantissa;
    for (; q < p && *q != 'e' && *q != 'E'; ++q) {
      if (*q == '.') {
        after_point = true;
        continue;
      }
      if (whole == 0 && *q == '0') {
        if (after_point) --scale;
        continue;
      }
      if (++significant > 15) break;
      whole = whole * 10 + static_cast<std::uint64_t>(*q - '0');
      if (after_point) --scale;
    }
    if (significant <= 15 && q < p) {  // an exponent follows
      const bool minus = q[1] == '-';
      int exponent = 0;
      for (const char* d = q + 1 + (q[1] == '+' || q[1] == '-' ? 1 : 0); d < p; ++d) {
        if (exponent < 100000) exponent = exponent * 10 + (*d - '0');
      }
      scale += minus ? -exponent : exponent;
    }
    if (significant <= 15 && (whole == 0 || (scale >= -22 && scale <= 22))) {
      double result = static_cast<double>(whole);
      if (whole == 0) scale = 0;
      if (scale > 0) result *= kExactPow10[static_cast<std::size_t>(scale)];
      if (scale < 0) result /= kExactPow10[static_cast<std::size_t>(-scale)];
      value = negative ? -result : result;
      return {p, std::errc{}};
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

namespace {

// Reads the digits and the exponent back from scientific text.
void DigitsOfText(const char* p, const char* end, std::uint64_t& digits, int& exponent) {
  std::uint64_t whole = 0;
  for (; p < end && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') whole = whole * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  int magnitude = 0;
  const bool minus = p + 1 < end && p[1] == '-';
  for (p += 2; p < end; ++p) magnitude = magnitude * 10 + (*p - '0');
  digits = whole;
  exponent = minus ? -magnitude : magnitude;
}

}  // namespace

bool ScientificDigits(double v, int precision, std::uint64_t& digits, int& exponent) {
  if (!(v > 0) || !std::isfinite(v) || precision < 0 || precision > 17) return false;
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  char text[40];
  const auto res =
      std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, precision);
#else
  if (portable::ScientificDigits(v, precision, digits, exponent)) return true;
  char text[40];
  const auto res = portable::Print(text, text + sizeof text, "%.*e", v, precision);
#endif
  DigitsOfText(text, res.ptr, digits, exponent);
  return true;
}

std::from_chars_result ParseDouble(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  return std::from_chars(first, last, value, std::chars_format::general);
#else
  return portable::ParseDouble(first, last, value);
#endif
}

}  // namespace matcalc
