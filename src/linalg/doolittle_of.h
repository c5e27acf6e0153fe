// FactorDoolittle written once over its scalar type: doubles with the
// rules' rounding, or exact fractions (never rounded, no value that is not a
// number).
#pragma once

#include <algorithm>
#include <vector>

#include "linalg/doolittle.h"
#include "linalg/scalar.h"

namespace matcalc {

template <typename T>
bool FactorDoolittleOf(const BasicMatrix<T>& a, BasicMatrix<T>& l, BasicMatrix<T>& u, int n,
                       const DoolittleRules& rules, WorkMeter* meter = nullptr) {
  const auto round = [&rules](const T& value) -> T {
    return rules.places ? T(RoundedTo(value, *rules.places)) : value;
  };
  for (int i = 1; i <= n; ++i) l(i, i) = 1;
  // Row by row: row i of L and then row i of U. sums[j] gathers the terms
  // L(i, m) U(m, j) of every entry of the row at once, m increasing, so each
  // entry's sum takes the same terms in the same order as when it is summed
  // on its own, while L and U are read along their rows.
  std::vector<T> sums(static_cast<std::size_t>(std::max(n, 0)) + 1);
  for (int i = 1; i <= n; ++i) {
    std::fill(sums.begin(), sums.end(), T(0));
    const T* ai = a.row(i);
    T* li = l.row(i);
    for (int r = 1; r < i; ++r) {
      const T* ur = u.row(r);
      // sums[r] holds the terms m < r by now; U(r, r) passed the pivot test.
      li[r] = round(T((ai[r] - sums[r]) / ur[r]));
      const T& lir = li[r];
      for (int j = r + 1; j <= n; ++j) sums[j] = lir * ur[j] + sums[j];
      Advance(meter, n - r);
    }
    T* ui = u.row(i);
    for (int j = i; j <= n; ++j) ui[j] = round(T(ai[j] - sums[j]));
    const T& pivot = ui[i];
    if (i < n && (pivot == 0 || (rules.nan_pivot_fails && IsNotANumber(pivot)))) return false;
  }
  return true;
}

}  // namespace matcalc
