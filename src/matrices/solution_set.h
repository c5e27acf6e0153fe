// The solutions of Ax = b read off the reduced row echelon form of [A | b].
#pragma once

#include <vector>

#include "matrices/grid.h"

namespace matcalc {

template <typename T>
struct SolutionSet {
  int rank_a = 0;                  // r(A): pivots in the columns of A
  int rank_ab = 0;                 // r(A|b): with a pivot in the column of b, one more
  std::vector<int> free_unknowns;  // the columns of A without a pivot, increasing
  // x1..xn at 0..n-1: the particular solution η (every free unknown 0), and
  // the fundamental system ξ, one vector for each free unknown (that one 1,
  // the others 0). Empty when there is no solution.
  std::vector<T> particular;
  std::vector<std::vector<T>> fundamental;
};

// `r` is [A | b] in reduced row echelon form, A with n columns, its pivots
// in `pivot_columns` (increasing, as the reduction found them).
template <typename T>
SolutionSet<T> SolutionsOf(const Grid<T>& r, int n, const std::vector<int>& pivot_columns) {
  SolutionSet<T> set;
  std::vector<int> pivot_row(static_cast<std::size_t>(n) + 1, 0);  // of each column of A
  for (std::size_t k = 0; k < pivot_columns.size(); ++k) {
    const int column = pivot_columns[k];
    if (column <= n) pivot_row[static_cast<std::size_t>(column)] = static_cast<int>(k) + 1;
  }
  set.rank_ab = static_cast<int>(pivot_columns.size());
  set.rank_a = set.rank_ab;
  if (!pivot_columns.empty() && pivot_columns.back() == n + 1) --set.rank_a;
  for (int j = 1; j <= n; ++j) {
    if (pivot_row[static_cast<std::size_t>(j)] == 0) set.free_unknowns.push_back(j);
  }
  if (set.rank_a < set.rank_ab) return set;
  set.particular.assign(static_cast<std::size_t>(n), T(0));
  for (int j = 1; j <= n; ++j) {
    const int i = pivot_row[static_cast<std::size_t>(j)];
    if (i > 0) set.particular[static_cast<std::size_t>(j - 1)] = r(i, n + 1);
  }
  for (const int f : set.free_unknowns) {
    std::vector<T> xi(static_cast<std::size_t>(n), T(0));
    xi[static_cast<std::size_t>(f - 1)] = T(1);
    for (int j = 1; j <= n; ++j) {
      const int i = pivot_row[static_cast<std::size_t>(j)];
      if (i > 0) xi[static_cast<std::size_t>(j - 1)] = T(-r(i, f));
    }
    set.fundamental.push_back(std::move(xi));
  }
  return set;
}

}  // namespace matcalc
