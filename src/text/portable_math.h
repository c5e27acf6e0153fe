// The elementary functions of the entries, computed the same way on every
// platform. The C libraries differ in the last bit of sin, exp, pow and the
// rest, and an entry is printed with all its digits, so the program computes
// them itself: in double-double arithmetic (about 106 bits, built from
// additions, multiplications and divisions alone, never a fused multiply-add)
// and rounded once at the end. The value before that rounding is within about
// 2^-100 of the exact one, so the result is the correctly rounded value except
// in vanishingly rare cases, and the same bits everywhere in every case.
// Each function first tries a shorter computation from small tables
// with a proven error bound; when that bound leaves the rounding in doubt the
// full computation decides, so the result is the full computation's either
// way.
//
// Special values follow the usual conventions of the C library: sin(+-0) is
// +-0, exp(0) and cos(0) are 1, log(1) is 0, log(0) is -inf, the log of a
// negative number and sin, cos and tan of an infinity are NaN, exp overflows
// to +inf and underflows gradually to 0; pow as listed at PortablePow.
#pragma once

#include <cstdint>
#include <span>

namespace matcalc {

double PortableSin(double x);
double PortableCos(double x);
double PortableTan(double x);
double PortableAtan(double x);
double PortableExp(double x);
// The natural logarithm.
double PortableLog(double x);

// x to the power y. pow(x, +-0) and pow(1, y) are 1 (even for a NaN); a NaN
// otherwise gives NaN; a negative x needs an integer y (NaN otherwise) and an
// odd y keeps its sign; 0 to a negative power is +-inf, to a positive one +-0;
// the infinities as the limits (pow(-1, +-inf) is 1). A result that is a
// double, or lies halfway between two, is exact or rounded to even.
double PortablePow(double x, double y);

// The binary digits of 2/pi that reduce trigonometric arguments, 32 a word
// from the binary point on: enough for any finite double.
std::span<const std::uint32_t> TwoOverPiWords();

}  // namespace matcalc
