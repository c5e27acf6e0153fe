// The plane rotation of one Jacobi pass, kept apart from the command so that
// its formulas can be checked on their own.
#pragma once

#include "linalg/matrix.h"

namespace matcalc {

struct JacobiRotation {
  double s = 0;   // sin of the angle, printed as sin0
  double c = 0;   // cos of the angle, printed as cos0
  double s2 = 0;  // sin of twice the angle
  double c2 = 0;  // cos of twice the angle
};

// The rotation that annihilates a(p, q), from a(p, p), a(q, q) and a(p, q).
JacobiRotation RotationFor(double app, double aqq, double apq);

// Writes rows and columns p and q of `a1` (which enters equal to `a`) with the
// rotated elements of `a`; every other element of `a1` is left as it is.
void RotateRowsAndColumns(const Matrix& a, Matrix& a1, int p, int q, const JacobiRotation& r);

// Scans the strict upper triangle of rows 1..p and columns up to q, row by
// row, for the first entry of strictly largest magnitude; returns its row and
// column in p and q, or 0 and 0 when every such entry is 0.
void FindLargestOffDiagonal(const Matrix& a, int& p, int& q);

}  // namespace matcalc
