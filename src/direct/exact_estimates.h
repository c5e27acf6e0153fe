// What the exact mode needs for a matrix read: fractions grow with the
// elimination, so the estimate comes from the matrix, not its order alone.
#pragma once

#include "frame/budget.h"
#include "linalg/exact_readers.h"

namespace matcalc {

// The bits a numerator or denominator can reach in an elimination of the
// leading n x n block of `a`: each is a minor of the matrix with its rows
// scaled to integers, or such a scale, so Hadamard's bound on the scaled
// rows and the scales bound them all.
// `columns` (n unless given) counts a right-hand side in.
double MinorBits(const RationalMatrix& a, int n, int columns = 0);

// An exact elimination of `updates` entry updates whose fractions have at
// most `bits` bits each way, holding `entries` of them and printing
// `printed` of them with `extra` bytes of fixed text.
WorkEstimate ExactWork(double bits, double updates, double entries, double printed, double extra);

// The exact methods' estimates.
WorkEstimate ExactInverseWork(const RationalMatrix& a, int n);
WorkEstimate ExactDeterminantWork(const RationalMatrix& a, int n);
WorkEstimate ExactTriangularWork(const RationalMatrix& a, int n);

}  // namespace matcalc
