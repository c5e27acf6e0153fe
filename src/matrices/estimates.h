// What each command of the 矩阵 menu needs at most for m rows and n columns
// (n unknowns for the general solution; m = n for the square ones) at the
// decimal-digits setting `digits`, given to the frame before anything is
// allocated or written. Each is defined beside its command.
#pragma once

#include "frame/frame.h"
#include "linalg/exact_readers.h"

namespace matcalc {

WorkEstimate TransposeWork(int m, int n, int digits);
WorkEstimate RowEchelonWork(int m, int n, int digits);
WorkEstimate ReducedEchelonWork(int m, int n, int digits);
WorkEstimate RankWork(int m, int n, int digits);
WorkEstimate GeneralSolutionWork(int m, int n, int digits);
WorkEstimate InverseByRowsWork(int m, int n, int digits);
WorkEstimate DeterminantByRowsWork(int m, int n, int digits);

// The reduction of an m x `columns` matrix seeking pivots in its first
// `pivot_columns`, traced: the matrix as read, the operations and the matrix
// after each column with a pivot, and the form reached; `extra_numbers`
// more numbers printed after it. Every entry printed is rounded to D.
WorkEstimate ReductionWork(double m, double columns, double pivot_columns, double extra_numbers,
                           int digits);

// The exact mode's estimates, from the fractions read.
WorkEstimate ExactTransposeWork(const RationalMatrix& read, int m, int n);
WorkEstimate ExactEchelonWork(const RationalMatrix& read, int m, int n);
WorkEstimate ExactGeneralSolutionWork(const RationalMatrix& read, int m, int n);
WorkEstimate ExactInverseByRowsWork(const RationalMatrix& read, int m, int n);
WorkEstimate ExactDeterminantByRowsWork(const RationalMatrix& read, int m, int n);

// The bits a numerator or a denominator can reach while `a` (its rows,
// `columns` wide) is reduced: every number of the reduction is a quotient of
// minors of the matrix with its rows scaled to integers, and the scales,
// which Hadamard's bound on the largest rows bounds. A zero row counts as a
// row of ones (the identity beside A in [A | E]).
double ReductionBits(const RationalMatrix& a, int columns);

// The exact reduction as ReductionWork counts it, its fractions of `bits`.
WorkEstimate ExactReductionWork(double bits, double m, double columns, double pivot_columns,
                                double extra_numbers);

}  // namespace matcalc
