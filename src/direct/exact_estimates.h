// What the exact mode needs for a matrix read: fractions grow with the
// elimination, so the estimate comes from the matrix, not its order alone.
#pragma once

#include "frame/budget.h"
#include "linalg/exact_readers.h"

namespace matcalc {

// The bits of the lcm of denominators given one by one: exact while it has
// at most kExactScaleBits bits, then bounded by adding the bits of each
// denominator still to come (the lcm divides the product), so that a text of
// many different long denominators costs the estimate time in proportion to
// their number: the lcm's own cost grows with the square of its length.
inline constexpr double kExactScaleBits = 4096;
class ScaleBits {
 public:
  void Add(const BigInt& q);
  double bits() const;

 private:
  BigInt lcm_ = 1;
  double beyond_ = 0;
};

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
WorkEstimate ExactPositiveDefiniteWork(const RationalMatrix& a, int n);
WorkEstimate ExactDiagonalDominanceWork(const RationalMatrix& a, int n);
WorkEstimate ExactMatrixNormsWork(const RationalMatrix& a, int n);
// The vector norms: the fractions' room before the vector is read again
// into them, then the norms' work on the fractions read.
WorkEstimate ExactVectorReadingWork(const Vector& v);
WorkEstimate ExactVectorNormsWork(const RationalVector& v);

// The bits a numerator or denominator of a running sum of magnitudes can
// reach, for the sums along the rows of the leading n x n block of `a` (or,
// with `down_columns`, along its columns), the largest over the lines: each
// partial sum's denominator divides the lcm of the line's denominators, and
// its magnitude is at most n times the line's largest.
double LineSumBits(const RationalMatrix& a, int n, bool down_columns);
// The same for the components of `v`, one line.
double SumBits(const RationalVector& v);

}  // namespace matcalc
