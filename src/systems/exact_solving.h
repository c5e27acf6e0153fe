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

}  // namespace matcalc
