// What the routines written once over their scalar type need of it beyond
// + - * /: doubles with the decimal mode's rounding, exact fractions without.
#pragma once

#include <cmath>

#include "text/number_text.h"
#include "text/rational.h"

namespace matcalc {

inline double Magnitude(double x) { return std::fabs(x); }
inline Rational Magnitude(const Rational& x) { return abs(x); }

// The decimal mode rounds to `places`; exact is exact.
inline double RoundedTo(double x, int places) { return RoundTo(x, places); }
inline const Rational& RoundedTo(const Rational& x, int /*places*/) { return x; }

inline bool IsNotANumber(double x) { return std::isnan(x); }
inline bool IsNotANumber(const Rational& /*x*/) { return false; }

}  // namespace matcalc
