#include "matrices/exact_arithmetic.h"

namespace matcalc {

Grid<Rational> ExactGrid(const RationalMatrix& a, int rows, int cols) {
  Grid<Rational> grid(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) grid(i, j) = a(i, j);
  }
  return grid;
}

}  // namespace matcalc
