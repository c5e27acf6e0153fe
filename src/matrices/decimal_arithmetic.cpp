#include "matrices/decimal_arithmetic.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace matcalc {

int DecimalArithmetic::PivotRow(const Grid<double>& a, int column, int from) const {
  int pivot = 0;
  double largest = tolerance_;
  for (int i = from; i <= a.rows(); ++i) {
    const double magnitude = std::fabs(a(i, column));
    if (magnitude > largest) {
      largest = magnitude;
      pivot = i;
    }
  }
  return pivot;
}

std::string DecimalArithmetic::Text(double value) const {
  return FormatNumber(RoundTo(value, digits_));
}

void DecimalArithmetic::Append(TraceBuffer& out, double value) const {
  out.AppendNumber(RoundTo(value, digits_));
}

std::optional<double> ReductionTolerance(const Matrix& a) {
  double norm = 0;
  for (int i = 1; i <= a.rows(); ++i) {
    double sum = 0;
    for (int j = 1; j <= a.cols(); ++j) sum += std::fabs(a(i, j));
    if (!(sum <= norm)) norm = sum;  // a NaN sum is kept, and stays
    if (norm != norm) break;
  }
  // 2^-52 is exact, and so is the product with a count below 2^53.
  const double tolerance = std::max(a.rows(), a.cols()) * 0x1p-52 * norm;
  if (!std::isfinite(tolerance)) return std::nullopt;
  return tolerance;
}

Grid<double> DecimalGrid(const Matrix& a, int rows, int cols) {
  Grid<double> grid(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) grid(i, j) = a(i, j);
  }
  return grid;
}

}  // namespace matcalc
