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

// Follows one line of fractions: the lcm of their denominators and their
// largest magnitude.
class LineSum {
 public:
  void Add(const Rational& r) {
    ++count_;
    const BigInt p = Numerator(r);
    if (p == 0) return;
    const BigInt q = Denominator(r);
    largest_ = std::max(largest_, Log2(p) - Log2(q) + 1);
    scale_.Add(q);
  }

  double bits() const {
    return scale_.bits() + std::max(largest_, 0.0) + std::log2(std::max(count_, 1.0)) + 1;
  }

 private:
  ScaleBits scale_;
  double largest_ = 0;
  double count_ = 0;
};

}  // namespace

void ScaleBits::Add(const BigInt& q) {
  if (q == 1) return;
  if (beyond_ > 0 || Log2(lcm_) > kExactScaleBits) {
    beyond_ += Log2(q);
    return;
  }
  // l mod q first: the library's gcd of a long and a short number takes time
  // growing with the square of the long one's length.
  const BigInt g = boost::multiprecision::gcd(q, BigInt(lcm_ % q));
  lcm_ *= q / g;
}

double ScaleBits::bits() const { return Log2(lcm_) + beyond_; }

double MinorBits(const RationalMatrix& a, int n, int columns) {
  if (columns <= 0) columns = n;
  double total = 0;
  for (int i = 1; i <= n; ++i) {
    ScaleBits scale;
    for (int j = 1; j <= columns; ++j) scale.Add(Denominator(a(i, j)));
    // The scaled row's entries are integers, so at least 1 in magnitude where
    // not 0: a row of small fractions (every |entry| < 1/2) counts its scale
    // in full too.
    bool zero = true;
    double largest = 1;
    for (int j = 1; j <= columns; ++j) {
      const BigInt p = Numerator(a(i, j));
      if (p == 0) continue;
      zero = false;
      largest = std::max(largest, Log2(p) - Log2(Denominator(a(i, j))) + 1);
    }
    if (zero) continue;  // every minor through a zero row is 0
    total += largest + scale.bits() + 0.5 * std::log2(static_cast<double>(columns));
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

double LineSumBits(const RationalMatrix& a, int n, bool down_columns) {
  double bits = 0;
  for (int line = 1; line <= n; ++line) {
    LineSum sum;
    for (int k = 1; k <= n; ++k) sum.Add(down_columns ? a(k, line) : a(line, k));
    bits = std::max(bits, sum.bits());
  }
  return bits;
}

double SumBits(const RationalVector& v) {
  LineSum sum;
  for (int i = 1; i <= v.size(); ++i) sum.Add(v(i));
  return sum.bits();
}

}  // namespace matcalc
