#include "matrices/estimates.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <vector>

#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"

namespace matcalc {
namespace {

// The longest line of one row operation: "r32767 − " a number "·r32767 →
// r32767" and its line break.
constexpr double kOperationLineBytes = 2 * 7 + 7 + kNumberBytes + 6 + 10 + 2;
// A column's heading, or its one line when it needs no operation.
constexpr double kColumnLineBytes = 80;

// Bits of |n| (0 for 0): the same on every platform.
double Bits(const BigInt& n) {
  return n == 0 ? 0 : static_cast<double>(boost::multiprecision::msb(abs(n))) + 1;
}

// What the reductions count: pivots, operations, entry updates and the
// numbers printed, as ReductionWork says.
struct ReductionCounts {
  double operations = 0;
  double updates = 0;
  double printed = 0;
  double extra_bytes = 0;
};

ReductionCounts Count(double m, double columns, double pivot_columns, double extra_numbers) {
  const double pivots = std::min(m, pivot_columns);
  const double entries = m * columns;
  ReductionCounts counts;
  // At each pivot: an exchange, a scaling and the clearing of the other rows
  // (below, and above in the reduced form), each over the whole row. A
  // column without a pivot looks at most at every entry still to reduce, to
  // tell whether all that remains is zero.
  counts.operations = pivots * (m + 1);
  counts.updates = pivots * (m + 1) * columns + pivot_columns * entries;
  // The matrix as read, after each column with a pivot, and the form reached.
  counts.printed = (pivots + 2) * entries + extra_numbers;
  counts.extra_bytes =
      counts.operations * kOperationLineBytes + pivot_columns * kColumnLineBytes + 600;
  return counts;
}

}  // namespace

WorkEstimate ReductionWork(double m, double columns, double pivot_columns, double extra_numbers,
                           int digits) {
  const ReductionCounts counts = Count(m, columns, pivot_columns, extra_numbers);
  const double trace = TraceBytes(counts.printed, counts.extra_bytes);
  // Each number printed (and each factor) is rounded and turned into text
  // before it is written: about as much again as its bytes (as the solvers'
  // traces).
  const double numbers = counts.printed + counts.operations;
  return {2 * MatrixBytes(m, columns) + 3 * extra_numbers * 8, trace,
          counts.updates * kLoopNs + RoundingNs(numbers, digits) +
              numbers * kNumberBytes * kTraceByteNs};
}

double ReductionBits(const RationalMatrix& a, int columns) {
  std::vector<double> rows;
  const double width_bits = 0.5 * std::bit_width(static_cast<unsigned>(std::max(columns, 1)));
  for (int i = 1; i <= a.rows(); ++i) {
    // The row's lcm of denominators, followed exactly while it is short and
    // bounded above beyond: a refusal of long denominators stays quick.
    ScaleBits scale;
    double largest = 1;  // a row of ones at least
    for (int j = 1; j <= a.cols(); ++j) {
      const Rational& entry = a(i, j);
      if (entry == 0) continue;
      scale.Add(Denominator(entry));
      largest = std::max(largest, Bits(Numerator(entry)) - Bits(Denominator(entry)) + 1);
    }
    rows.push_back(largest + scale.bits() + width_bits);
  }
  // A minor takes at most as many rows as there are columns: the largest.
  std::sort(rows.begin(), rows.end(), std::greater<>());
  const std::size_t taken = std::min(rows.size(), static_cast<std::size_t>(std::max(columns, 0)));
  double bits = 0;
  for (std::size_t k = 0; k < taken; ++k) bits += rows[k];
  return bits;
}

WorkEstimate ExactReductionWork(double bits, double m, double columns, double pivot_columns,
                                double extra_numbers) {
  const ReductionCounts counts = Count(m, columns, pivot_columns, extra_numbers);
  // The matrix as read and the grid reduced hold fractions; the doubles read
  // beside them, a matrix of them.
  WorkEstimate work = ExactWork(bits, counts.updates, 2 * m * columns + extra_numbers,
                                counts.printed + counts.operations, counts.extra_bytes);
  work.bytes += MatrixBytes(m, columns);
  return work;
}

}  // namespace matcalc
