// The arithmetic the direct solvers share: the right-hand side, the
// symmetry test and the triangular substitutions. Every sum starts at 0 and
// takes its products in increasing index order, each added as it comes, so
// every platform computes the same bits.
#pragma once

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// The zero test of the solvers: a value that is not a number is no divisor
// either.
inline bool CountsAsZero(double value) { return value == 0 || value != value; }

// Column n+1 of the augmented matrix: b.
Vector RightHandSide(const Matrix& read, int n);

// Whether A(i,j) = A(j,i) exactly for all i, j in 1..n.
bool IsSymmetric(const Matrix& a, int n);

// y with L y = b, L lower triangular: y(i) = (b(i) - sum_{j<i} L(i,j) y(j)) /
// L(i,i). A unit L (its diagonal 1) divides by 1, which changes no value.
Vector SolveLower(const Matrix& l, const Vector& b, int n, WorkMeter* meter = nullptr);

// x with U x = y, U upper triangular (columns beyond n are not read):
// x(i) = (y(i) - sum_{j>i} U(i,j) x(j)) / U(i,i), for i = n down to 1.
Vector SolveUpper(const Matrix& u, const Vector& y, int n, WorkMeter* meter = nullptr);

// x with Lᵀ x = y for the lower triangular L: x(i) = (y(i) - sum_{j>i} L(j,i)
// x(j)) / L(i,i), for i = n down to 1.
Vector SolveLowerTransposed(const Matrix& l, const Vector& y, int n, WorkMeter* meter = nullptr);

}  // namespace matcalc
