#include "linalg/doolittle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "text/number_text.h"

namespace matcalc {

bool FactorDoolittle(const Matrix& a, Matrix& l, Matrix& u, int n, const DoolittleRules& rules) {
  const auto round = [&rules](double value) {
    return rules.places ? RoundTo(value, *rules.places) : value;
  };
  for (int i = 1; i <= n; ++i) l(i, i) = 1;
  // Row by row: row i of L and then row i of U. sums[j] gathers the terms
  // L(i, m) U(m, j) of every entry of the row at once, m increasing, so each
  // entry's sum takes the same terms in the same order as when it is summed
  // on its own, while L and U are read along their rows.
  std::vector<double> sums(static_cast<std::size_t>(std::max(n, 0)) + 1);
  for (int i = 1; i <= n; ++i) {
    std::fill(sums.begin(), sums.end(), 0.0);
    const double* ai = a.row(i);
    double* li = l.row(i);
    for (int r = 1; r < i; ++r) {
      const double* ur = u.row(r);
      // sums[r] holds the terms m < r by now; U(r, r) passed the pivot test.
      li[r] = round((ai[r] - sums[r]) / ur[r]);
      const double lir = li[r];
      for (int j = r + 1; j <= n; ++j) sums[j] = lir * ur[j] + sums[j];
    }
    double* ui = u.row(i);
    for (int j = i; j <= n; ++j) ui[j] = round(ai[j] - sums[j]);
    const double pivot = ui[i];
    if (i < n && (pivot == 0 || (rules.nan_pivot_fails && std::isnan(pivot)))) return false;
  }
  return true;
}

}  // namespace matcalc
