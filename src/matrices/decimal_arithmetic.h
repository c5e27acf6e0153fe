// Row reduction in decimals: the pivot of a column is the entry of largest
// magnitude (column pivoting), an entry counts as zero when its magnitude is
// at most a tolerance taken from the matrix, and numbers print rounded to D.
#pragma once

#include <cmath>
#include <optional>
#include <string>

#include "frame/trace_buffer.h"
#include "linalg/matrix.h"
#include "matrices/grid.h"

namespace matcalc {

class DecimalArithmetic {
 public:
  DecimalArithmetic(double tolerance, int digits) : tolerance_(tolerance), digits_(digits) {}

  double tolerance() const { return tolerance_; }

  bool IsZero(double value) const { return std::fabs(value) <= tolerance_; }
  bool IsNegative(double value) const { return value < 0; }
  double Reciprocal(double value) const { return 1 / value; }

  // The row at or below `from` whose entry in `column` has the largest
  // magnitude (the upper one of equals), or 0 when every one counts as zero.
  int PivotRow(const Grid<double>& a, int column, int from) const;

  // A value as the trace prints it: rounded to D.
  std::string Text(double value) const;
  void Append(TraceBuffer& out, double value) const;

 private:
  double tolerance_;
  int digits_;
};

// The tolerance for reducing `a`: max(rows, cols) · 2⁻⁵² · ‖a‖∞, the row
// sums of magnitudes each taken from 0 along the row. Nothing when it is not
// finite (an entry is Infinity or NaN, or the sums overflow): no pivot can
// then be told from zero.
std::optional<double> ReductionTolerance(const Matrix& a);

// The rows 1..rows, columns 1..cols of `a` as a grid of doubles.
Grid<double> DecimalGrid(const Matrix& a, int rows, int cols);

}  // namespace matcalc
