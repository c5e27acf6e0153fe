// Routines the direct methods share: the pivoting elimination behind the
// determinant and the definiteness test, the spectral norm, and the way the
// direct methods lay out a matrix in their traces.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "frame/trace_buffer.h"
#include "frame/trace_layout.h"
#include "linalg/matrix.h"
#include "linalg/scalar.h"
#include "linalg/work_meter.h"

namespace matcalc {

// Gaussian elimination with row pivoting on the square matrix `a`, in place;
// its order is the smaller of a.rows() and a.cols(), so the caller sizes the
// matrix exactly. Every updated entry is rounded to 7 places. `exchanges` is
// set to the number of steps at which two rows were exchanged. Returns the
// product of the diagonal, signed by the parity of the exchanges. The entries
// updated (each a multiply-add and a rounding) are counted on `meter`.
double PivotDeterminant(Matrix& a, int& exchanges, WorkMeter* meter = nullptr);

// What Gauss-Jordan elimination does at a pivot that is 0 (or NaN).
enum class ZeroPivot { kGoOn, kStop };

// Gauss-Jordan elimination with row pivoting (strictly larger magnitudes
// only) on the n x 2n matrix `b`: columns 1..n become the identity, and so
// columns n+1..2n the inverse times what they held. The other rows' updates
// are rounded to `places` (16 and more: not at all); the pivot row is divided
// unrounded. At a zero pivot, kGoOn divides by it (Infinity or NaN, and the
// elimination goes on); kStop returns false there, `b` left part-way. The
// entries updated are counted on `meter`.
bool GaussJordanInvert(Matrix& b, int n, int places, ZeroPivot at_zero, WorkMeter* meter);

// The largest singular value of the leading n x n block of `a`. An infinite
// entry gives Infinity and a NaN entry NaN (only finite matrices reach the
// reduction, whose multiply-adds are counted on `meter`).
double SpectralNorm(const Matrix& a, int n, WorkMeter* meter = nullptr);

// The 1-norm of the leading n x n block of `a`: the largest column sum of
// magnitudes, each sum taken down its column from 0. A sum that is not a
// number is passed over unless it is the first. Each row's additions are
// counted on `meter`.
template <typename T>
T OneNormOf(const BasicMatrix<T>& a, int n, WorkMeter* meter = nullptr);
double OneNorm(const Matrix& a, int n);
// The infinity-norm: the largest row sum of magnitudes, each taken along its
// row, with the same rule.
template <typename T>
T InfinityNormOf(const BasicMatrix<T>& a, int n, WorkMeter* meter = nullptr);
double InfinityNorm(const Matrix& a, int n);
// The first row whose diagonal magnitude is not strictly greater than the sum
// of the other magnitudes in the row (in increasing column order), or 0 when
// every row passes: strict diagonal dominance by rows. A comparison with a
// value that is not a number fails. Each row's additions are counted on
// `meter`.
template <typename T>
int FirstNonDominantRowOf(const BasicMatrix<T>& a, int n, WorkMeter* meter = nullptr) {
  for (int i = 1; i <= n; ++i) {
    T s = 0;
    for (int j = 1; j <= n; ++j) {
      if (j != i) s = s + Magnitude(a(i, j));
    }
    Advance(meter, n);
    if (!(Magnitude(a(i, i)) > s)) return i;
  }
  return 0;
}
int FirstNonDominantRow(const Matrix& a, int n);

namespace detail {
// The first of sums(1..n) unless a later one is strictly larger.
template <typename T>
T LargestSum(const std::vector<T>& sums, int n) {
  T largest = sums[1];
  for (int j = 1; j <= n; ++j) {
    if (largest < sums[j]) largest = sums[j];
  }
  return largest;
}
}  // namespace detail

template <typename T>
T OneNormOf(const BasicMatrix<T>& a, int n, WorkMeter* meter) {
  if (n <= 0) return 0;
  // Row by row, so each column's sum still takes its rows in increasing
  // order while the matrix is read along its rows.
  std::vector<T> sums(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    const T* ai = a.row(i);
    for (int j = 1; j <= n; ++j) sums[j] = sums[j] + Magnitude(ai[j]);
    Advance(meter, n);
  }
  return detail::LargestSum(sums, n);
}

template <typename T>
T InfinityNormOf(const BasicMatrix<T>& a, int n, WorkMeter* meter) {
  if (n <= 0) return 0;
  std::vector<T> sums(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    const T* ai = a.row(i);
    for (int j = 1; j <= n; ++j) sums[i] = sums[i] + Magnitude(ai[j]);
    Advance(meter, n);
  }
  return detail::LargestSum(sums, n);
}

// Columns 1..n of rows 1..n of `read` in a fresh n x n matrix.
Matrix LeadingSquare(const Matrix& read, int n);

// The bytes of a trace holding `entries` numbers with their prefixes and
// `extra` bytes of fixed text, for the estimates the commands give the frame.
double TraceBytes(double entries, double extra = 0);

}  // namespace matcalc
