// Small matrices written out in a test, row by row.
#pragma once

#include <initializer_list>

#include "linalg/matrix.h"

namespace matcalc::testing {

inline Matrix MatrixOf(std::initializer_list<std::initializer_list<double>> rows) {
  const int n = static_cast<int>(rows.size());
  const int m = static_cast<int>(rows.begin()->size());
  Matrix a(n, m);
  int i = 1;
  for (const auto& row : rows) {
    int j = 1;
    for (const double value : row) a(i, j++) = value;
    ++i;
  }
  return a;
}

}  // namespace matcalc::testing
