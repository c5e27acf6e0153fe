// The routines of the inverse power method: the substitutions that solve
// L U x = b with a factorisation made once, and the normalising component.
#pragma once

#include "linalg/matrix.h"

namespace matcalc {

// Solves L U x = b (L unit lower triangular; its diagonal is not read) by a
// forward substitution into y and a back substitution into x, both created
// anew. y(1) = b(1) unrounded; every other component is rounded to `digits`.
// Returns false, with x(i) and all lower components 0, at a zero U(i, i).
bool SolveLU(const Matrix& l, const Matrix& u, const Vector& b, Vector& x, Vector& y, int n,
             int digits);

// The component of largest magnitude, with its sign; the first on ties.
// NaN components are passed over (a vector of only NaN gives NaN).
double LargestComponent(const Vector& v);

}  // namespace matcalc
