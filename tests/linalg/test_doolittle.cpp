// The one Doolittle factorisation, read along rows, against the two textbook
// loops it replaces: every entry of L and U bit for bit, zeros' signs and
// the entries that are not numbers included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "linalg/doolittle.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// Column k of L below row k of U, each sum over r < k (unrounded).
bool TriangularReference(const Matrix& a, Matrix& l, Matrix& u, int n) {
  for (int k = 1; k <= n; ++k) l(k, k) = 1;
  for (int k = 1; k <= n; ++k) {
    for (int j = k; j <= n; ++j) {
      double s = 0;
      for (int r = 1; r < k; ++r) s = s + l(k, r) * u(r, j);
      u(k, j) = a(k, j) - s;
    }
    for (int i = k + 1; i <= n; ++i) {
      double s = 0;
      for (int r = 1; r < k; ++r) s = s + l(i, r) * u(r, k);
      if (u(k, k) == 0 || std::isnan(u(k, k))) return false;
      l(i, k) = (a(i, k) - s) / u(k, k);
    }
  }
  return true;
}

// Rows of U summed over all n terms, every entry rounded.
bool InversePowerReference(const Matrix& a, Matrix& l, Matrix& u, int n, int digits) {
  for (int i = 1; i <= n; ++i) l(i, i) = 1;
  for (int r = 1; r <= n; ++r) {
    for (int j = r; j <= n; ++j) {
      double s = 0;
      for (int m = 1; m <= n; ++m) s = l(r, m) * u(m, j) + s;
      u(r, j) = RoundTo(a(r, j) - s, digits);
    }
    for (int i = r + 1; i <= n; ++i) {
      double s = 0;
      for (int m = 1; m <= r - 1; ++m) s = l(i, m) * u(m, r) + s;
      if (u(r, r) == 0) return false;
      l(i, r) = RoundTo((a(i, r) - s) / u(r, r), digits);
    }
  }
  return true;
}

bool SameBits(const Matrix& x, const Matrix& y) {
  for (int i = 1; i <= x.rows(); ++i) {
    for (int j = 1; j <= x.cols(); ++j) {
      const double p = x(i, j);
      const double q = y(i, j);
      if (std::isnan(p) && std::isnan(q)) continue;
      if (std::memcmp(&p, &q, sizeof p) != 0) return false;
    }
  }
  return true;
}

// Small integers and their negatives (exact cancellations, signed zeros),
// fractions, and now and then a zero, an infinity or a NaN.
Matrix RandomMatrix(std::mt19937& random, int n) {
  std::uniform_int_distribution<int> kind(0, 39);
  std::uniform_int_distribution<int> small(-3, 3);
  std::uniform_real_distribution<double> real(-10, 10);
  Matrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const int k = kind(random);
      a(i, j) = k == 0   ? std::numeric_limits<double>::infinity()
                : k == 1 ? std::numeric_limits<double>::quiet_NaN()
                : k == 2 ? -0.0
                : k < 20 ? small(random)
                         : real(random);
    }
  }
  return a;
}

TEST(Doolittle, UnroundedAsTheTriangularDecompositionSumsIt) {
  std::mt19937 random(7);
  int failures = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + trial % 9;
    const Matrix a = RandomMatrix(random, n);
    Matrix l(n, n), u(n, n), l_ref(n, n), u_ref(n, n);
    const bool ok = FactorDoolittle(a, l, u, n, {.places = std::nullopt, .nan_pivot_fails = true});
    ASSERT_EQ(ok, TriangularReference(a, l_ref, u_ref, n)) << trial;
    failures += ok ? 0 : 1;
    // A failed factorisation is not shown; only its verdict counts.
    if (ok) {
      ASSERT_TRUE(SameBits(l, l_ref) && SameBits(u, u_ref)) << trial;
    }
  }
  EXPECT_GT(failures, 100);  // the zero and NaN pivots were met
}

TEST(Doolittle, RoundedAsTheInversePowerMethodSumsIt) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + trial % 9;
    const int digits = 1 + trial % 15;
    const Matrix a = RandomMatrix(random, n);
    Matrix l(n, n), u(n, n), l_ref(n, n), u_ref(n, n);
    const bool ok = FactorDoolittle(a, l, u, n, {.places = digits});
    ASSERT_EQ(ok, InversePowerReference(a, l_ref, u_ref, n, digits)) << trial;
    if (ok) {
      ASSERT_TRUE(SameBits(l, l_ref) && SameBits(u, u_ref)) << trial;
    }
  }
}

}  // namespace
}  // namespace matcalc
