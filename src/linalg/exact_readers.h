// Matrices and vectors of exact fractions, and the readers that fill them
// from the edit pane's text beside the decimal ones.
#pragma once

#include <string_view>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"
#include "text/rational.h"

namespace matcalc {

using RationalMatrix = BasicMatrix<Rational>;
using RationalVector = BasicVector<Rational>;

// Reads `text` exactly as ReadMatrix does into `a` (n x n) and, beside it,
// the exact value of every entry into `exact` (allocated like `a`; an entry
// that is not exact leaves 0). True when every entry read is exact.
bool ReadMatrixExact(Matrix& a, RationalMatrix& exact, int n, std::string_view text,
                     WorkMeter* meter = nullptr);

// The same for the m x n reader (ReadMatrix(a, m, n, ...)).
bool ReadMatrixExact(Matrix& a, RationalMatrix& exact, int m, int n, std::string_view text,
                     WorkMeter* meter = nullptr);

// The same as ReadSquareMatrix, `a` allocated by the caller as
// Matrix(n, n + 1) or larger; `exact` is allocated like `a`. True when every
// entry of rows 1..n, columns 1..exact_columns is exact: a command that
// reads the spare column but uses n columns asks for n.
bool ReadSquareMatrixExact(Matrix& a, RationalMatrix& exact, int n, std::string_view text,
                           int exact_columns, WorkMeter* meter = nullptr);

// The same as ReadVector. True when every component is exact.
bool ReadVectorExact(std::string_view text, Vector& v, RationalVector& exact);

// The exact values of a decimal matrix's entries, each the double itself.
RationalMatrix ToRationalMatrix(const Matrix& a);
// The nearest doubles of an exact matrix.
Matrix ToDoubleMatrix(const RationalMatrix& a);

}  // namespace matcalc
