#include "direct/linear_routines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "direct/elimination.h"
#include "direct/singular_values.h"
#include "frame/budget.h"
#include "text/number_text.h"

namespace matcalc {

double PivotDeterminant(Matrix& a, int& exchanges, WorkMeter* meter) {
  return PivotDeterminantOf(a, exchanges, 7, meter);
}

bool GaussJordanInvert(Matrix& b, int n, int places, ZeroPivot at_zero, WorkMeter* meter) {
  return GaussJordanInvertOf(b, n, places, at_zero, meter);
}

double SpectralNorm(const Matrix& a, int n, WorkMeter* meter) {
  if (n <= 0) return 0;
  bool has_nan = false;
  bool has_infinity = false;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      has_nan = has_nan || std::isnan(a(i, j));
      has_infinity = has_infinity || std::isinf(a(i, j));
    }
  }
  if (has_nan) return std::numeric_limits<double>::quiet_NaN();
  if (has_infinity) return std::numeric_limits<double>::infinity();
  // The largest singular value, from the routine that scales by powers of two
  // (huge or tiny entries neither overflow nor underflow) and gives the same
  // bits on every platform.
  return ExtremeSingularValues(a, n, meter).largest;
}

double OneNorm(const Matrix& a, int n) { return OneNormOf(a, n); }

double InfinityNorm(const Matrix& a, int n) { return InfinityNormOf(a, n); }

Matrix LeadingSquare(const Matrix& read, int n) {
  Matrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = read(i, j);
  }
  return a;
}

double TraceBytes(double entries, double extra) {
  return entries * (kPrefixBytes + kNumberBytes) + extra;
}

}  // namespace matcalc
