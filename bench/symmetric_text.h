// The symmetric matrix text the Jacobi benchmarks run on: entries in -10..10
// with three decimals, the same for every run.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "text/number_text.h"

namespace matcalc::bench {

inline std::string SymmetricMatrixText(int n) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> value(-10, 10);
  std::vector<double> a(static_cast<std::size_t>(n) * n);
  for (int i = 0; i < n; ++i) {
    for (int j = i; j < n; ++j) {
      a[static_cast<std::size_t>(i) * n + j] = a[static_cast<std::size_t>(j) * n + i] =
          matcalc::RoundTo(value(random), 3);
    }
  }
  std::string text;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (j > 0) text += ' ';
      matcalc::AppendNumber(text, a[static_cast<std::size_t>(i) * n + j]);
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace matcalc::bench
