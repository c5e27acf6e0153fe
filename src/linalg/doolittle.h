// Doolittle's factorisation A = L U without pivoting, L unit lower triangular:
// the triangular decomposition factors unrounded, the inverse power method
// with every entry rounded. One routine serves both; the rules say where they
// differ.
#pragma once

#include <optional>

#include "linalg/matrix.h"

namespace matcalc {

struct DoolittleRules {
  // Decimal places every entry of L and U is rounded to; none: unrounded.
  std::optional<int> places;
  // Whether a pivot that is not a number stops the factorisation as a zero
  // one does.
  bool nan_pivot_fails = false;
};

// Fills L (rows and columns 1..n, its diagonal set to 1 here) and U from the
// n x n matrix `a`; entries of L above and of U below the diagonal are not
// written. Every entry's sum runs over increasing m, s = L(i,m) U(m,j) + s,
// unfused, over m < i: the terms m >= i of a sum over all n are +0 at that
// moment, and adding +0 changes no sum that starts at +0 (it cannot become
// -0). Returns false at the first pivot U(r, r) with a row below it that
// is 0 (or not a number, by the rules); L and U are then incomplete.
bool FactorDoolittle(const Matrix& a, Matrix& l, Matrix& u, int n, const DoolittleRules& rules);

}  // namespace matcalc
