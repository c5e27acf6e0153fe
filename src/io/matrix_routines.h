// Routines the methods share: vector layout, the rounded products and the
// pivot search of the rotation method.
#pragma once

#include <string>

#include "io/matrix.h"

namespace matcalc {

// Mode 1: the components as consecutive 24-character fields on one line, no
// line break. Mode 2: one field per line, each ending with CR LF. Any other
// mode gives the empty text.
std::string FormatVector(const Vector& v, int mode);

// C = A B with A m x k and B k x p; every entry is summed in increasing l,
// s = A(i,l) B(l,j) + s, and then rounded to `digits` places.
Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int m, int p, int k, int digits);

// y = A x, y(i) = sum over increasing j of x(j) A(i,j), rounded to `digits`.
Vector MultiplyMatrixVector(const Matrix& a, const Vector& x, int n, int digits);

// Scans the strict upper triangle of rows 1..p and columns up to q, row by
// row, for the first entry of strictly largest magnitude; returns its row and
// column in p and q, or 0 and 0 when every such entry is 0.
void FindLargestOffDiagonal(const Matrix& a, int& p, int& q);

}  // namespace matcalc
