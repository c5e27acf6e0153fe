#include "matrices/estimates.h"

#include <algorithm>

#include "direct/linear_routines.h"

namespace matcalc {
namespace {

// The longest line of one row operation: "r32767 − " a number "·r32767 →
// r32767" and its line break.
constexpr double kOperationLineBytes = 2 * 7 + 7 + kNumberBytes + 6 + 10 + 2;
// A column's heading, or its one line when it needs no operation.
constexpr double kColumnLineBytes = 80;

}  // namespace

WorkEstimate ReductionWork(double m, double columns, double pivot_columns, double extra_numbers,
                           int digits) {
  const double pivots = std::min(m, pivot_columns);
  const double entries = m * columns;
  // At each pivot: an exchange, a scaling and the clearing of the other rows
  // (below, and above in the reduced form), each over the whole row.
  // A column without a pivot looks at most at every entry still to reduce,
  // to tell whether all that remains is zero.
  const double updates = pivots * (m + 1) * columns + pivot_columns * entries;
  const double operations = pivots * (m + 1);
  // The matrix as read, after each column with a pivot, and the form reached.
  const double printed = (pivots + 2) * entries + extra_numbers;
  const double trace = TraceBytes(
      printed, operations * kOperationLineBytes + pivot_columns * kColumnLineBytes + 600);
  // Each number printed is rounded and turned into text before it is
  // written: about as much again as its bytes (as the solvers' traces).
  return {2 * MatrixBytes(m, columns) + 3 * extra_numbers * 8, trace,
          updates * kLoopNs + RoundingNs(printed + operations, digits) +
              (printed + operations) * kNumberBytes * kTraceByteNs};
}

}  // namespace matcalc
