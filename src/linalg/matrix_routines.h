// Routines the methods share: vector layout and the rounded products.
#pragma once

#include <string>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// Mode 1: the components as consecutive 24-character fields on one line, no
// line break. Mode 2: one field per line, each ending with CR LF. Any other
// mode gives the empty text.
std::string FormatVector(const Vector& v, int mode);

// C = A B with A m x k and B k x p; every entry is summed in increasing l,
// s = A(i,l) B(l,j) + s, and then rounded to `digits` places. The m p k
// multiply-adds are counted on `meter` as they are done.
Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int m, int p, int k, int digits,
                        WorkMeter* meter = nullptr);

// y = A x, y(i) = sum over increasing j of x(j) A(i,j), rounded to `digits`.
Vector MultiplyMatrixVector(const Matrix& a, const Vector& x, int n, int digits);

}  // namespace matcalc
