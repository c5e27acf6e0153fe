// Row reduction in exact fractions: the pivot of a column is the first
// non-zero entry at or below the current row, as students choose by hand,
// only 0 is zero, and numbers print as "p" or "p/q".
#pragma once

#include <string>

#include "frame/exact_layout.h"
#include "frame/trace_buffer.h"
#include "linalg/exact_readers.h"
#include "matrices/grid.h"
#include "text/rational.h"

namespace matcalc {

class ExactArithmetic {
 public:
  bool IsZero(const Rational& value) const { return value == 0; }
  bool IsNegative(const Rational& value) const { return value < 0; }
  Rational Reciprocal(const Rational& value) const { return 1 / value; }

  int PivotRow(const Grid<Rational>& a, int column, int from) const {
    for (int i = from; i <= a.rows(); ++i) {
      if (a(i, column) != 0) return i;
    }
    return 0;
  }

  std::string Text(const Rational& value) const { return FormatRational(value); }
  void Append(TraceBuffer& out, const Rational& value) const { AppendValue(out, value); }
};

// Rows 1..rows, columns 1..cols of `a` as a grid of fractions.
Grid<Rational> ExactGrid(const RationalMatrix& a, int rows, int cols);

}  // namespace matcalc
