// The largest and the smallest singular value of a square matrix, computed
// with plain loops, square roots and exact scalings by powers of two, every
// sum in a fixed order: the same bits on every platform, which a library's
// vectorised decomposition (with fused multiply-adds on some processors)
// does not promise.
#pragma once

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

struct SingularValueRange {
  double largest = 0;
  double smallest = 0;
  // largest / smallest, computed before the scaling is undone: finite
  // wherever the quotient is, even when `largest` overflows or `smallest`
  // underflows. Infinite for a singular matrix, NaN beside NaN values.
  double ratio = 0;
  // The matrix is singular (its bidiagonal form has a zero on its
  // diagonal), or an entry is not finite.
  bool singular = true;
};

// The extreme singular values of the leading n x n block of `a`: Householder
// reflections bring it to upper bidiagonal form, whose singular values are
// found by bisection (Sturm counts on the symmetric tridiagonal matrix with
// zero diagonal and the bidiagonal's entries beside it, whose eigenvalues are
// plus and minus the singular values). Accurate to a few units of the last
// place of the largest one. A matrix with an entry that is not finite gives
// NaN for both. The multiply-adds of the reduction are counted on `meter`.
SingularValueRange ExtremeSingularValues(const Matrix& a, int n, WorkMeter* meter = nullptr);

}  // namespace matcalc
