#include "direct/linear_routines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "direct/singular_values.h"
#include "frame/budget.h"
#include "text/number_text.h"

namespace matcalc {

double PivotDeterminant(Matrix& a, int& exchanges, WorkMeter* meter) {
  const int n = std::min(a.rows(), a.cols());
  exchanges = 0;
  for (int k = 1; k <= n; ++k) {
    // Strictly larger only: on equal magnitudes the upper row stays.
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(a(m, k)) < std::fabs(a(i, k))) m = i;
    }
    if (m != k) {
      double* row_k = a.row(k);
      double* row_m = a.row(m);
      for (int j = k; j <= n; ++j) std::swap(row_k[j], row_m[j]);
      ++exchanges;
    }
    // A zero pivot means column k is zero at and below the diagonal: there is
    // nothing to eliminate, and the rows below stay exactly as they are
    // rather than turning into 0/0.
    if (a(k, k) == 0) continue;
    const double* row_k = a.row(k);
    for (int i = k + 1; i <= n; ++i) {
      double* row_i = a.row(i);
      const double l = row_i[k] / row_k[k];
      // Column k is included: the entry below the pivot becomes the rounded
      // remainder, which the trace shows (normally 0).
      for (int j = k; j <= n; ++j) row_i[j] = RoundTo(row_i[j] - l * row_k[j], 7);
      Advance(meter, n - k + 1);
    }
  }
  double determinant = 1.0;
  for (int k = 1; k <= n; ++k) determinant *= a(k, k);
  if (exchanges % 2 != 0) determinant *= -1.0;
  return determinant;
}

bool GaussJordanInvert(Matrix& b, int n, int places, ZeroPivot at_zero, WorkMeter* meter) {
  const int width = 2 * n;
  // RoundTo leaves a value alone past 15 places: the loop need not call it.
  const bool rounded = places <= 15;
  for (int k = 1; k <= n; ++k) {
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(b(m, k)) < std::fabs(b(i, k))) m = i;
    }
    const double pivot = b(m, k);
    if (at_zero == ZeroPivot::kStop && (pivot == 0 || std::isnan(pivot))) return false;
    if (m != k) {
      double* row_k = b.row(k);
      double* row_m = b.row(m);
      for (int j = k; j <= width; ++j) std::swap(row_k[j], row_m[j]);
    }
    const double* row_k = b.row(k);
    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      double* row_i = b.row(i);
      const double l = row_i[k] / row_k[k];
      if (rounded) {
        for (int j = k; j <= width; ++j) row_i[j] = RoundTo(row_i[j] - l * row_k[j], places);
      } else {
        for (int j = k; j <= width; ++j) row_i[j] = row_i[j] - l * row_k[j];
      }
      Advance(meter, width - k + 1);
    }
    double* pivot_row = b.row(k);
    const double t = pivot_row[k];
    for (int j = 1; j <= width; ++j) pivot_row[j] = pivot_row[j] / t;
  }
  return true;
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

namespace {

// The first of sums(1..n) unless a later one is strictly larger.
double LargestSum(const std::vector<double>& sums, int n) {
  double largest = sums[1];
  for (int j = 1; j <= n; ++j) {
    if (largest < sums[j]) largest = sums[j];
  }
  return largest;
}

}  // namespace

double OneNorm(const Matrix& a, int n) {
  if (n <= 0) return 0;
  // Row by row, so each column's sum still takes its rows in increasing
  // order while the matrix is read along its rows.
  std::vector<double> sums(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    const double* ai = a.row(i);
    for (int j = 1; j <= n; ++j) sums[j] = sums[j] + std::fabs(ai[j]);
  }
  return LargestSum(sums, n);
}

double InfinityNorm(const Matrix& a, int n) {
  if (n <= 0) return 0;
  std::vector<double> sums(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    const double* ai = a.row(i);
    for (int j = 1; j <= n; ++j) sums[i] = sums[i] + std::fabs(ai[j]);
  }
  return LargestSum(sums, n);
}

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
