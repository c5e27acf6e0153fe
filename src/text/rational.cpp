#include "text/rational.h"

#include <cmath>
#include <cstdint>

namespace matcalc {
namespace {

constexpr std::size_t kFieldWidth = 24;

std::size_t Bits(const BigInt& n) {
  return n == 0 ? 0 : static_cast<std::size_t>(boost::multiprecision::msb(abs(n))) + 1;
}

BigInt PowerOfTen(unsigned long long exponent) {
  BigInt result = 1;
  BigInt base = 10;
  while (exponent > 0) {
    if (exponent & 1U) result *= base;
    exponent >>= 1U;
    if (exponent > 0) base *= base;
  }
  return result;
}

}  // namespace

std::size_t RationalBits(const Rational& r) { return Bits(Numerator(r)) + Bits(Denominator(r)); }

std::size_t DecimalDigits(const BigInt& n) {
  if (n == 0) return 1;
  return abs(n).str().size();
}

void AppendRational(std::string& out, const Rational& r) {
  out += Numerator(r).str();
  const BigInt q = Denominator(r);
  if (q != 1) {
    out += '/';
    out += q.str();
  }
}

std::string FormatRational(const Rational& r) {
  std::string out;
  AppendRational(out, r);
  return out;
}

void AppendRationalField24(std::string& out, const Rational& r) {
  const std::string text = FormatRational(r);
  if (text.size() >= kFieldWidth)
    out += "  ";
  else
    out.append(kFieldWidth - text.size(), ' ');
  out += text;
}

std::string RationalField24(const Rational& r) {
  std::string out;
  AppendRationalField24(out, r);
  return out;
}

double RationalToDouble(const Rational& r) {
  BigInt n = Numerator(r);
  if (n == 0) return 0.0;
  const bool negative = n < 0;
  if (negative) n = -n;
  BigInt d = Denominator(r);
  // Scale so that the quotient has 54 or 55 bits: 53 for the significand,
  // the rest and the remainder decide the rounding.
  const long long shift = 54 - (static_cast<long long>(Bits(n)) - static_cast<long long>(Bits(d)));
  if (shift > 0)
    n <<= static_cast<unsigned>(shift);
  else if (shift < 0)
    d <<= static_cast<unsigned>(-shift);
  BigInt q;
  BigInt rem;
  boost::multiprecision::divide_qr(n, d, q, rem);
  const std::size_t bits = Bits(q);
  const unsigned extra = static_cast<unsigned>(bits - 53);
  std::uint64_t mantissa = static_cast<std::uint64_t>(q >> extra);
  const BigInt dropped = q & ((BigInt(1) << extra) - 1);
  const BigInt half = BigInt(1) << (extra - 1);
  const bool sticky = rem != 0;
  if (dropped > half || (dropped == half && (sticky || (mantissa & 1U) != 0))) ++mantissa;
  const long long exponent = static_cast<long long>(extra) - shift;
  // Far outside the range ldexp would saturate anyway; keep the int in range.
  if (exponent > 2000) return negative ? -HUGE_VAL : HUGE_VAL;
  if (exponent < -2200) return negative ? -0.0 : 0.0;
  const double value = std::ldexp(static_cast<double>(mantissa), static_cast<int>(exponent));
  return negative ? -value : value;
}

Rational RationalFromDouble(double value) {
  if (value == 0 || !std::isfinite(value)) return Rational(0);
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  // fraction * 2^53 is an integer below 2^53.
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  exponent -= 53;
  Rational r{BigInt(mantissa)};
  if (exponent > 0)
    r = Rational(BigInt(mantissa) << static_cast<unsigned>(exponent));
  else if (exponent < 0)
    r = Rational(BigInt(mantissa), BigInt(1) << static_cast<unsigned>(-exponent));
  return value < 0 ? Rational(-r) : r;
}

Rational DecimalRational(std::string_view digits, long long exponent, bool negative) {
  BigInt n = 0;
  // Nine digits at a time: one multiplication of the big number per group.
  std::size_t i = 0;
  while (i < digits.size()) {
    std::uint32_t group = 0;
    std::uint32_t scale = 1;
    for (int k = 0; k < 9 && i < digits.size(); ++k, ++i) {
      group = group * 10 + static_cast<std::uint32_t>(digits[i] - '0');
      scale *= 10;
    }
    n = n * scale + group;
  }
  if (negative) n = -n;
  if (exponent >= 0) return Rational(n * PowerOfTen(static_cast<unsigned long long>(exponent)));
  return Rational(n, PowerOfTen(static_cast<unsigned long long>(-exponent)));
}

bool ExactSquareRoot(const Rational& r, Rational& root) {
  if (r < 0) return false;
  const BigInt p = Numerator(r);
  const BigInt q = Denominator(r);
  const BigInt sp = boost::multiprecision::sqrt(p);
  if (sp * sp != p) return false;
  const BigInt sq = boost::multiprecision::sqrt(q);
  if (sq * sq != q) return false;
  root = Rational(sp, sq);
  return true;
}

}  // namespace matcalc
