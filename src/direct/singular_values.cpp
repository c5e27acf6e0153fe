#include "direct/singular_values.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace matcalc {
namespace {

// The Euclidean norm of x[0..count-1], scaled by the largest magnitude so
// that no square overflows or underflows on the way.
double ScaledNorm(const double* x, int count) {
  double largest = 0;
  for (int i = 0; i < count; ++i) {
    if (largest < std::fabs(x[i])) largest = std::fabs(x[i]);
  }
  if (largest == 0) return 0;
  double sum = 0;
  for (int i = 0; i < count; ++i) {
    const double r = x[i] / largest;
    sum = sum + r * r;
  }
  return largest * std::sqrt(sum);
}

// H = I - tau v vᵀ with v[0] = 1, which maps x[0..count-1] to beta e1; x is
// replaced by v. When x is already a multiple of e1 there is nothing to
// reflect: tau is 0 and beta is x[0].
struct Reflection {
  double beta = 0;
  double tau = 0;
};

Reflection MakeReflection(double* x, int count) {
  bool tail = false;
  for (int i = 1; i < count; ++i) tail = tail || x[i] != 0;
  if (!tail) return {x[0], 0};
  const double alpha = ScaledNorm(x, count);
  const double beta = x[0] >= 0 ? -alpha : alpha;
  const double pivot = x[0] - beta;
  const double tau = (beta - x[0]) / beta;
  x[0] = 1;
  for (int i = 1; i < count; ++i) x[i] = x[i] / pivot;
  return {beta, tau};
}

// The diagonal d(1..n) and the superdiagonal e(1..n-1) of the upper
// bidiagonal form of `w`, which is overwritten. Left reflections clear the
// columns below the diagonal, right ones the rows right of the
// superdiagonal; only the two diagonals are kept.
void Bidiagonalise(Matrix& w, int n, std::vector<double>& d, std::vector<double>& e,
                   WorkMeter* meter) {
  std::vector<double> v(static_cast<std::size_t>(n) + 1);
  std::vector<double> g(static_cast<std::size_t>(n) + 1);
  for (int k = 1; k <= n; ++k) {
    // Column k, rows k..n, from the left: g(j) = tau vᵀ W(:,j), then
    // W(i,j) -= v(i) g(j), both row by row.
    const int m = n - k + 1;
    for (int i = k; i <= n; ++i) v[i - k] = w(i, k);
    const Reflection left = MakeReflection(v.data(), m);
    d[k] = left.beta;
    if (left.tau != 0 && k < n) {
      for (int j = k + 1; j <= n; ++j) g[j] = 0;
      for (int i = k; i <= n; ++i) {
        const double vi = v[i - k];
        const double* wi = w.row(i);
        for (int j = k + 1; j <= n; ++j) g[j] = g[j] + vi * wi[j];
      }
      for (int j = k + 1; j <= n; ++j) g[j] = left.tau * g[j];
      for (int i = k; i <= n; ++i) {
        const double vi = v[i - k];
        double* wi = w.row(i);
        for (int j = k + 1; j <= n; ++j) wi[j] = wi[j] - vi * g[j];
      }
      Advance(meter, 2.0 * m * (m - 1));
    }
    if (k == n) break;
    // Row k, columns k+1..n, from the right: for each row below, its
    // product with v, then W(i,j) -= (tau (W v)(i)) v(j).
    const int r = n - k;
    for (int j = k + 1; j <= n; ++j) v[j - k - 1] = w(k, j);
    const Reflection right = MakeReflection(v.data(), r);
    e[k] = right.beta;
    if (right.tau == 0) continue;
    for (int i = k + 1; i <= n; ++i) {
      double* wi = w.row(i) + k + 1;  // wi[j] is W(i, k + 1 + j)
      double s = 0;
      for (int j = 0; j < r; ++j) s = s + wi[j] * v[j];
      const double h = right.tau * s;
      for (int j = 0; j < r; ++j) wi[j] = wi[j] - h * v[j];
    }
    Advance(meter, 2.0 * r * r);
  }
}

// How many eigenvalues of the symmetric tridiagonal matrix with zero
// diagonal and the off-diagonal entries `entries` lie below x: the negative
// pivots of T - xI = L D Lᵀ. Each entry b enters as b (b / q), never as b²,
// so a singular value far below the largest one is counted as finely as any
// other (a square would underflow long before the value does). A pivot too
// small to divide by is taken as -pivmin.
int CountBelow(const std::vector<double>& entries, double x, double pivmin) {
  double q = -x;
  if (std::fabs(q) < pivmin) q = -pivmin;
  int count = q < 0 ? 1 : 0;
  for (const double b : entries) {
    q = b == 0 ? -x : -x - b * (b / q);
    if (std::fabs(q) < pivmin) q = -pivmin;
    if (q < 0) ++count;
  }
  return count;
}

std::uint64_t Bits(double x) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double FromBits(std::uint64_t bits) {
  double x = 0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The k-th smallest of the n singular values: the largest double x with
// fewer than k of them below x. Non-negative doubles are ordered as their
// bit patterns, so the bisection runs over those and ends in at most 64
// steps on two neighbouring doubles.
double SingularValue(const std::vector<double>& entries, int n, int k, double upper,
                     double pivmin) {
  std::uint64_t low = 0;  // 0: no singular value lies below it
  std::uint64_t high = Bits(upper);
  while (high - low > 1) {
    const std::uint64_t middle = low + (high - low) / 2;
    if (CountBelow(entries, FromBits(middle), pivmin) - n < k) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return FromBits(low);
}

}  // namespace

SingularValueRange ExtremeSingularValues(const Matrix& a, int n, WorkMeter* meter) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  double ratio = inf;
  if (n <= 0) return {0, 0, inf, true};
  double largest = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const double value = a(i, j);
      if (!std::isfinite(value)) return {nan, nan, nan, true};
      if (largest < std::fabs(value)) largest = std::fabs(value);
    }
  }
  if (largest == 0) return {0, 0, inf, true};
  // Scaled by a power of two to magnitudes below 1: exact, and no square
  // of the reduction can overflow.
  int exponent = 0;
  std::frexp(largest, &exponent);
  Matrix w(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) w(i, j) = std::ldexp(a(i, j), -exponent);
  }
  std::vector<double> d(static_cast<std::size_t>(n) + 1);
  std::vector<double> e(static_cast<std::size_t>(n) + 1);
  Bidiagonalise(w, n, d, e, meter);

  // The tridiagonal matrix of order 2n has d(1), e(1), d(2), ..., d(n)
  // beside its zero diagonal; its eigenvalues are the singular values and
  // their negatives. Gershgorin's bound lies above all of them.
  std::vector<double> entries;
  entries.reserve(2 * static_cast<std::size_t>(n));
  double bound = 0;
  double previous = 0;
  bool singular = false;
  for (int k = 1; k <= n; ++k) singular = singular || d[k] == 0;
  const auto add = [&](double b) {
    entries.push_back(b);
    if (bound < previous + std::fabs(b)) bound = previous + std::fabs(b);
    previous = std::fabs(b);
  };
  for (int k = 1; k <= n; ++k) {
    add(d[k]);
    if (k < n) add(e[k]);
  }
  if (bound < previous) bound = previous;
  // Only a pivot of exactly 0 is moved (to the least negative double): with
  // no squares, a pivot far below the least normal double divides as well
  // as any, and one that makes the next pivot infinite makes the one after
  // it -x again, as in the limit, so the counts stay right. A larger guard
  // would blur every singular value within its distance of 0.
  const double pivmin = std::numeric_limits<double>::denorm_min();
  const double upper = 2 * bound + DBL_MIN;
  const double top = SingularValue(entries, n, n, upper, pivmin);
  // The bidiagonal form is singular exactly when a diagonal entry is 0.
  const double bottom = singular ? 0 : SingularValue(entries, n, 1, upper, pivmin);
  // The ratio of the scaled values: it may be finite where one of the values
  // itself is beyond the range of a double. A smallest value too far below
  // the least normal double to be told from 0 leaves the ratio infinite,
  // but the matrix is not singular for that.
  if (bottom != 0) ratio = top / bottom;
  return {std::ldexp(top, exponent), std::ldexp(bottom, exponent), ratio, singular};
}

}  // namespace matcalc
