// The three elementary row operations, named and printed as a student
// writes them: "r1 ↔ r3", "r2 − 3/2·r1 → r2", "1/2·r1 → r1".
#pragma once

#include <string>

#include "linalg/work_meter.h"
#include "matrices/grid.h"

namespace matcalc {

// r_first ↔ r_second.
struct SwapRows {
  int first = 0;
  int second = 0;
};

// r_target − factor·r_source → r_target: the factor that clears an entry
// is that entry over the source row's pivot.
template <typename T>
struct AddMultipleOfRow {
  int target = 0;
  int source = 0;
  T factor{};
};

// (1/divisor)·r_row → r_row: a pivot scaled to 1 is divided by itself.
template <typename T>
struct ScaleRow {
  int row = 0;
  T divisor{};
};

template <typename T>
void Apply(Grid<T>& a, const SwapRows& op) {
  a.SwapRows(op.first, op.second);
}

// Columns before `from` are 0 in the source row and stay as they are. The
// entry cleared in column `from` is set to exactly 0: in decimals the
// subtraction may leave a rounding error there, which counts as zero anyway.
template <typename T>
void Apply(Grid<T>& a, const AddMultipleOfRow<T>& op, int from, WorkMeter* meter) {
  for (int j = from + 1; j <= a.cols(); ++j) {
    a(op.target, j) = a(op.target, j) - op.factor * a(op.source, j);
  }
  a(op.target, from) = T(0);
  Advance(meter, a.cols() - from + 1);
}

// The pivot in column `from` becomes exactly 1; the entries after it are
// divided by it (in decimals a division, not a product with its reciprocal,
// so that each keeps full precision).
template <typename T>
void Apply(Grid<T>& a, const ScaleRow<T>& op, int from, WorkMeter* meter) {
  for (int j = from + 1; j <= a.cols(); ++j) a(op.row, j) = a(op.row, j) / op.divisor;
  a(op.row, from) = T(1);
  Advance(meter, a.cols() - from + 1);
}

// The lines: the arithmetic turns a factor into its printed text (rounded to
// D in decimals, p/q in fractions) and tells its sign.

// "r3", appended to `line`.
inline void AppendRowName(std::string& line, int row) {
  line += 'r';
  line += std::to_string(row);
}

inline std::string OperationLine(const SwapRows& op) {
  std::string line;
  AppendRowName(line, op.first);
  line += " ↔ ";
  AppendRowName(line, op.second);
  return line;
}

// "r2 − 3/2·r1 → r2", or "r2 + 2·r1 → r2" for a negative factor; a factor of
// magnitude 1 is not written ("r2 − r1 → r2").
template <typename T, typename Arithmetic>
std::string OperationLine(const AddMultipleOfRow<T>& op, const Arithmetic& arithmetic) {
  const bool negative = arithmetic.IsNegative(op.factor);
  const std::string magnitude = arithmetic.Text(negative ? T(-op.factor) : op.factor);
  std::string line;
  AppendRowName(line, op.target);
  line += negative ? " + " : " − ";
  if (magnitude != "1") {
    line += magnitude;
    line += "·";
  }
  AppendRowName(line, op.source);
  line += " → ";
  AppendRowName(line, op.target);
  return line;
}

// "1/2·r1 → r1": the factor is the reciprocal of the divisor.
template <typename T, typename Arithmetic>
std::string OperationLine(const ScaleRow<T>& op, const Arithmetic& arithmetic) {
  std::string line = arithmetic.Text(arithmetic.Reciprocal(op.divisor));
  line += "·";
  AppendRowName(line, op.row);
  line += " → ";
  AppendRowName(line, op.row);
  return line;
}

}  // namespace matcalc
