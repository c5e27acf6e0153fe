#include "direct/exact_estimates.h"

#include <algorithm>
#include <cmath>

#include "direct/linear_routines.h"

namespace matcalc {
namespace {

double Log2(const BigInt& n) {
  return n == 0 ? 0 : static_cast<double>(boost::multiprecision::msb(abs(n))) + 1;
}

// One update (a product, a difference and their reductions to lowest terms)
// of fractions of `bits` bits: a fixed part and one growing with the square
// of the machine words (bench/bench_exact measures both).
double UpdateNs(double bits) {
  const double words = bits / 64 + 1;
  return kExactUpdateNs + kExactWordNs * words * words;
}

}  // namespace

double MinorBits(const RationalMatrix& a, int n, int columns) {
  if (columns <= 0) columns = n;
  double total = 0;
  for (int i = 1; i <= n; ++i) {
    BigInt scale = 1;
    for (int j = 1; j <= columns; ++j) {
      scale = boost::multiprecision::lcm(scale, Denominator(a(i, j)));
    }
    double largest = -1;
    for (int j = 1; j <= columns; ++j) {
      const BigInt p = Numerator(a(i, j));
      if (p == 0) continue;
      largest = std::max(largest, Log2(p) - Log2(Denominator(a(i, j))) + 1);
    }
    if (largest < 0) continue;  // a zero row: every minor through it is 0
    total += largest + Log2(scale) + 0.5 * std::log2(static_cast<double>(columns));
  }
  return total;
}

WorkEstimate ExactWork(double bits, double updates, double entries, double printed, double extra) {
  // Numerator and denominator, and the vector's own words beside them.
  const double entry_bytes = 2 * (bits / 8 + 32);
  const double digits = bits * 0.30103 + 1;
  return {entries * entry_bytes, printed * (kPrefixBytes + 2 * digits + 2) + extra,
          updates * UpdateNs(bits) + printed * 2 * digits * kExactDigitNs};
}

WorkEstimate ExactInverseWork(const RationalMatrix& a, int n) {
  const double bits = MinorBits(a, n);
  const double m = n;
  return ExactWork(bits, 1.5 * m * m * m, m * (3 * m + 2), 4 * m * m, 200);
}

WorkEstimate ExactDeterminantWork(const RationalMatrix& a, int n) {
  const double bits = MinorBits(a, n);
  const double m = n;
  return ExactWork(bits, m * m * m / 3, m * (2 * m + 2), 2 * m * m + 1, 300);
}

WorkEstimate ExactTriangularWork(const RationalMatrix& a, int n) {
  const double bits = MinorBits(a, n);
  const double m = n;
  return ExactWork(bits, m * m * m / 3, m * (4 * m + 2), 3 * m * m, 200 + 2 * m);
}

}  // namespace matcalc
