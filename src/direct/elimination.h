// The eliminations of the direct methods, written once over their scalar
// type: doubles rounded as the decimal traces are, or exact fractions.
#pragma once

#include <algorithm>
#include <type_traits>
#include <utility>

#include "direct/linear_routines.h"
#include "linalg/scalar.h"

namespace matcalc {

// PivotDeterminant over T; `places` is the rounding of every update (the
// decimal mode's 7; exact fractions ignore it).
template <typename T>
T PivotDeterminantOf(BasicMatrix<T>& a, int& exchanges, int places, WorkMeter* meter) {
  const int n = std::min(a.rows(), a.cols());
  exchanges = 0;
  for (int k = 1; k <= n; ++k) {
    // Strictly larger only: on equal magnitudes the upper row stays.
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (Magnitude(a(m, k)) < Magnitude(a(i, k))) m = i;
    }
    if (m != k) {
      T* row_k = a.row(k);
      T* row_m = a.row(m);
      for (int j = k; j <= n; ++j) std::swap(row_k[j], row_m[j]);
      ++exchanges;
    }
    // A zero pivot means column k is zero at and below the diagonal: there is
    // nothing to eliminate, and the rows below stay exactly as they are
    // rather than turning into 0/0.
    if (a(k, k) == 0) continue;
    const T* row_k = a.row(k);
    for (int i = k + 1; i <= n; ++i) {
      T* row_i = a.row(i);
      const T l = row_i[k] / row_k[k];
      // Column k is included: the entry below the pivot becomes the rounded
      // remainder, which the trace shows (normally 0).
      for (int j = k; j <= n; ++j) row_i[j] = RoundedTo(T(row_i[j] - l * row_k[j]), places);
      Advance(meter, n - k + 1);
    }
  }
  T determinant = 1;
  for (int k = 1; k <= n; ++k) determinant *= a(k, k);
  if (exchanges % 2 != 0) determinant *= -1;
  return determinant;
}

// GaussJordanInvert over T. Exact fractions have no Infinity: a zero pivot
// always stops them, whatever `at_zero` says.
template <typename T>
bool GaussJordanInvertOf(BasicMatrix<T>& b, int n, int places, ZeroPivot at_zero,
                         WorkMeter* meter) {
  constexpr bool kExact = !std::is_same_v<T, double>;
  const int width = 2 * n;
  // Rounding leaves a value alone past 15 places: the loop need not call it.
  const bool rounded = !kExact && places <= 15;
  for (int k = 1; k <= n; ++k) {
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (Magnitude(b(m, k)) < Magnitude(b(i, k))) m = i;
    }
    const T& pivot = b(m, k);
    if ((kExact || at_zero == ZeroPivot::kStop) && (pivot == 0 || IsNotANumber(pivot))) {
      return false;
    }
    if (m != k) {
      T* row_k = b.row(k);
      T* row_m = b.row(m);
      for (int j = k; j <= width; ++j) std::swap(row_k[j], row_m[j]);
    }
    const T* row_k = b.row(k);
    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      T* row_i = b.row(i);
      const T l = row_i[k] / row_k[k];
      if (rounded) {
        for (int j = k; j <= width; ++j) row_i[j] = RoundedTo(T(row_i[j] - l * row_k[j]), places);
      } else {
        for (int j = k; j <= width; ++j) row_i[j] = row_i[j] - l * row_k[j];
      }
      Advance(meter, width - k + 1);
    }
    T* pivot_row = b.row(k);
    const T t = pivot_row[k];
    for (int j = 1; j <= width; ++j) pivot_row[j] = pivot_row[j] / t;
  }
  return true;
}

}  // namespace matcalc
