// Exact fractions: the big integers and rationals of the exact mode, and how
// they become trace text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <boost/multiprecision/cpp_int.hpp>

namespace matcalc {

// Arbitrary-precision integers and fractions kept in lowest terms with a
// positive denominator. Plain values, not expression templates, so `auto` and
// templates written for double work on them unchanged. A division by zero
// throws std::overflow_error (or boost's bad_rational): callers test first.
using BigInt = boost::multiprecision::number<boost::multiprecision::cpp_int_backend<>,
                                             boost::multiprecision::et_off>;
using Rational = boost::multiprecision::number<boost::multiprecision::cpp_rational_backend,
                                               boost::multiprecision::et_off>;

// p/q for any q other than 0: the library's own constructor refuses a
// negative denominator.
inline Rational MakeRational(const BigInt& p, const BigInt& q) {
  return q < 0 ? Rational(-p, -q) : Rational(p, q);
}

inline BigInt Numerator(const Rational& r) { return boost::multiprecision::numerator(r); }
inline BigInt Denominator(const Rational& r) { return boost::multiprecision::denominator(r); }
inline bool IsInteger(const Rational& r) { return Denominator(r) == 1; }

// The bits of numerator and denominator together: the size of a fraction.
std::size_t RationalBits(const Rational& r);
// Decimal digits of |n| (1 for 0).
std::size_t DecimalDigits(const BigInt& n);

// The text of a fraction: "p" when it is an integer, otherwise "p/q" in
// lowest terms, the sign on p. Never a point or an exponent.
std::string FormatRational(const Rational& r);
void AppendRational(std::string& out, const Rational& r);
// The text right-aligned in a field of 24 characters; a text of 24
// characters or more follows two spaces, so that columns stay apart.
void AppendRationalField24(std::string& out, const Rational& r);
std::string RationalField24(const Rational& r);

// The double nearest r (ties to even) in the normal range; beyond it
// +-Infinity. The same bits on every platform: integer arithmetic only.
double RationalToDouble(const Rational& r);

// The exact value of a double.
Rational RationalFromDouble(double value);

// digits (decimal, no sign) times 10^exponent, negated when `negative`.
Rational DecimalRational(std::string_view digits, long long exponent, bool negative);

// The square root when r is the square of a fraction.
bool ExactSquareRoot(const Rational& r, Rational& root);

}  // namespace matcalc
