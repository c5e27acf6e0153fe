// What the solvers written once over their scalar type need beside the
// elimination: the zero test, the substitution and the trace's numbers,
// doubles rounded to the digits setting or exact fractions as they are.
#pragma once

#include <string_view>

#include "frame/exact_layout.h"
#include "frame/trace_layout.h"
#include "linalg/exact_readers.h"
#include "linalg/scalar.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"

namespace matcalc {

inline bool CountsAsZero(const Rational& value) { return value == 0; }

// Column n+1 of the augmented matrix: b.
template <typename T>
BasicVector<T> RightHandSideOf(const BasicMatrix<T>& read, int n) {
  BasicVector<T> b(n);
  for (int i = 1; i <= n; ++i) b(i) = read(i, n + 1);
  return b;
}

// SolveUpper over T.
template <typename T>
BasicVector<T> SolveUpperOf(const BasicMatrix<T>& u, const BasicVector<T>& y, int n,
                            WorkMeter* meter = nullptr) {
  BasicVector<T> x(n);
  for (int i = n; i >= 1; --i) {
    const T* ui = u.row(i);
    T s = 0;
    for (int j = i + 1; j <= n; ++j) s = s + ui[j] * x(j);
    x(i) = (y(i) - s) / ui[i];
    Advance(meter, n - i + 1);
  }
  return x;
}

// SolveLower over T.
template <typename T>
BasicVector<T> SolveLowerOf(const BasicMatrix<T>& l, const BasicVector<T>& b, int n,
                            WorkMeter* meter = nullptr) {
  BasicVector<T> y(n);
  for (int i = 1; i <= n; ++i) {
    const T* li = l.row(i);
    T s = 0;
    for (int j = 1; j < i; ++j) s = s + li[j] * y(j);
    y(i) = (b(i) - s) / li[i];
    Advance(meter, i);
  }
  return y;
}

// SolveLowerTransposed over T.
template <typename T>
BasicVector<T> SolveLowerTransposedOf(const BasicMatrix<T>& l, const BasicVector<T>& y, int n,
                                      WorkMeter* meter = nullptr) {
  BasicVector<T> x(n);
  for (int i = n; i >= 1; --i) {
    T s = 0;
    for (int j = i + 1; j <= n; ++j) s = s + l(j, i) * x(j);
    x(i) = (y(i) - s) / l(i, i);
    Advance(meter, n - i + 1);
  }
  return x;
}

// LeadingSquare and IsSymmetric over T.
template <typename T>
BasicMatrix<T> LeadingSquareOf(const BasicMatrix<T>& read, int n) {
  BasicMatrix<T> a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = read(i, j);
  }
  return a;
}
template <typename T>
bool IsSymmetricOf(const BasicMatrix<T>& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (a(i, j) != a(j, i)) return false;
    }
  }
  return true;
}

// The range watch of the decimal mode; fractions are always finite, so
// there is nothing to watch and a solution in fractions is always written.
inline void CheckRange(RangeWatch& watch, const Matrix& m, int rows, int cols) {
  watch.Check(m, rows, cols);
}
inline void CheckRange(RangeWatch& watch, const Vector& v, int first, int last) {
  watch.Check(v, first, last);
}
inline void CheckRange(RangeWatch& /*watch*/, const RationalMatrix& /*m*/, int /*rows*/,
                       int /*cols*/) {}
inline void CheckRange(RangeWatch& /*watch*/, const RationalVector& /*v*/, int /*first*/,
                       int /*last*/) {}

// Rows 1..n, columns first..last: the decimal mode rounds to `places`.
inline void AppendRowsAt(TraceBuffer& out, const Matrix& a, int n, int first, int last,
                         std::string_view prefix, int places) {
  AppendRows(out, a, n, first, last, prefix, places);
}
inline void AppendRowsAt(TraceBuffer& out, const RationalMatrix& a, int n, int first, int last,
                         std::string_view prefix, int /*places*/) {
  AppendRows(out, a, n, first, last, prefix);
}

// AppendAugmentedOpening and AppendSolution with fractions.
void AppendAugmentedOpening(TraceBuffer& out, const RationalMatrix& read, int n,
                            std::string_view continuation);
void AppendSolution(TraceBuffer& out, std::string_view result_line, const RationalVector& x,
                    int places);
inline void AppendSolution(TraceBuffer& out, std::string_view result_line, const RationalVector& x,
                           int places, RangeWatch /*watch*/) {
  AppendSolution(out, result_line, x, places);
}
// AppendNamedValues with fractions, each as it is.
void AppendNamedValues(TraceBuffer& out, std::string_view name, const RationalVector& v, int first,
                       int last, int places);

}  // namespace matcalc
