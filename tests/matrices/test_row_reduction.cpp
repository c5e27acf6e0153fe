// The row reduction on its own, over exact fractions (the first non-zero
// pivot) and over doubles (column pivoting with a
// tolerance): random integer matrices of every rank deficiency from 0 to 3,
// each checked against an independent reduction, the general solution
// substituted back, inverses multiplied out and determinants expanded.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "frame/trace_buffer.h"
#include "linalg/matrix.h"
#include "matrices/decimal_arithmetic.h"
#include "matrices/exact_arithmetic.h"
#include "matrices/grid.h"
#include "matrices/reduction.h"
#include "matrices/solution_set.h"

namespace matcalc {
namespace {

using Q = Rational;

// Sees nothing; lets the reduction run to its end.
struct Unobserved {
  void ColumnStarts(int) {}
  void Operation(const SwapRows&) {}
  template <typename Op>
  void Operation(const Op&) {}
  bool ColumnDone(int, bool) { return true; }
  bool NoPivot(int, int, bool) { return true; }
};

// An independent reduced row echelon form: for each column, the pivot is
// the LAST row with a non-zero entry, and the pivot row is divided before
// every other row is cleared. The reduced form is unique, so it must agree
// with the reduction under test whatever the pivots.
Grid<Q> IndependentRref(Grid<Q> a, int pivot_columns, std::vector<int>& pivots) {
  int row = 1;
  for (int k = 1; k <= pivot_columns && row <= a.rows(); ++k) {
    int p = 0;
    for (int i = a.rows(); i >= row; --i) {
      if (a(i, k) != 0) {
        p = i;
        break;
      }
    }
    if (p == 0) continue;
    a.SwapRows(p, row);
    const Q pivot = a(row, k);
    for (int j = 1; j <= a.cols(); ++j) a(row, j) /= pivot;
    for (int i = 1; i <= a.rows(); ++i) {
      if (i == row || a(i, k) == 0) continue;
      const Q f = a(i, k);
      for (int j = 1; j <= a.cols(); ++j) a(i, j) -= f * a(row, j);
    }
    pivots.push_back(k);
    ++row;
  }
  return a;
}

// A random m x n integer matrix of rank at most r: a product of m x r and
// r x n factors with small entries.
Grid<Q> RandomOfRank(std::mt19937& random, int m, int n, int r) {
  std::uniform_int_distribution<int> entry(-4, 4);
  Grid<Q> b(m, std::max(r, 1));
  Grid<Q> c(std::max(r, 1), n);
  for (int i = 1; i <= m; ++i) {
    for (int k = 1; k <= r; ++k) b(i, k) = entry(random);
  }
  for (int k = 1; k <= r; ++k) {
    for (int j = 1; j <= n; ++j) c(k, j) = entry(random);
  }
  Grid<Q> a(m, n);
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) {
      for (int k = 1; k <= r; ++k) a(i, j) += b(i, k) * c(k, j);
    }
  }
  return a;
}

// A with the column v beside it.
Grid<Q> Augmented(const Grid<Q>& a, const std::vector<Q>& v) {
  Grid<Q> ab(a.rows(), a.cols() + 1);
  for (int i = 1; i <= a.rows(); ++i) {
    for (int j = 1; j <= a.cols(); ++j) ab(i, j) = a(i, j);
    ab(i, a.cols() + 1) = v[static_cast<std::size_t>(i - 1)];
  }
  return ab;
}

std::vector<Q> Times(const Grid<Q>& a, const std::vector<Q>& x) {
  std::vector<Q> y(static_cast<std::size_t>(a.rows()));
  for (int i = 1; i <= a.rows(); ++i) {
    for (int j = 1; j <= a.cols(); ++j)
      y[static_cast<std::size_t>(i - 1)] += a(i, j) * x[static_cast<std::size_t>(j - 1)];
  }
  return y;
}

// The determinant by expansion along the first row.
Q Expanded(const Grid<Q>& a) {
  const int n = a.rows();
  if (n == 1) return a(1, 1);
  Q sum = 0;
  for (int j = 1; j <= n; ++j) {
    Grid<Q> minor(n - 1, n - 1);
    for (int i = 2; i <= n; ++i) {
      for (int k = 1, c = 1; k <= n; ++k) {
        if (k != j) minor(i - 1, c++) = a(i, k);
      }
    }
    sum += (j % 2 == 1 ? 1 : -1) * a(1, j) * Expanded(minor);
  }
  return sum;
}

struct Shape {
  int m;
  int n;
  int rank;  // at most
};

// Shapes of every kind with rank deficiency 0..3 (as far as the shape
// allows), in turn.
Shape RandomShape(std::mt19937& random, int trial) {
  std::uniform_int_distribution<int> size(1, 7);
  const int m = size(random);
  const int n = size(random);
  const int deficiency = trial % 4;
  return {m, n, std::max(0, std::min(m, n) - deficiency)};
}

TEST(RowReduction, ExactReducedFormsAgreeWithAnIndependentOne) {
  std::mt19937 random(20261207);
  const ExactArithmetic exact;
  for (int trial = 0; trial < 2000; ++trial) {
    const Shape s = RandomShape(random, trial);
    const Grid<Q> a = RandomOfRank(random, s.m, s.n, s.rank);
    std::vector<int> expected_pivots;
    const Grid<Q> expected = IndependentRref(a, s.n, expected_pivots);

    Grid<Q> reduced = a;
    Unobserved none;
    const Reduction done = Reduce(reduced, s.n, EchelonForm::kReduced, exact, none, nullptr);
    ASSERT_EQ(reduced, expected) << "trial " << trial;
    ASSERT_EQ(done.pivot_columns, expected_pivots) << "trial " << trial;
    ASSERT_LE(static_cast<int>(done.pivot_columns.size()), s.rank);

    // The row echelon form: the same pivots, each the first non-zero entry
    // of its row, with zeros below and in the rows past the rank.
    Grid<Q> echelon = a;
    const Reduction steps = Reduce(echelon, s.n, EchelonForm::kRowEchelon, exact, none, nullptr);
    ASSERT_EQ(steps.pivot_columns, expected_pivots) << "trial " << trial;
    for (int i = 1; i <= s.m; ++i) {
      const int lead = i <= static_cast<int>(steps.pivot_columns.size())
                           ? steps.pivot_columns[static_cast<std::size_t>(i - 1)]
                           : s.n + 1;
      for (int j = 1; j < lead; ++j) ASSERT_EQ(echelon(i, j), 0) << "trial " << trial;
      if (lead <= s.n) ASSERT_NE(echelon(i, lead), 0) << "trial " << trial;
    }
  }
}

TEST(RowReduction, GeneralSolutionsSatisfyTheSystem) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> entry(-3, 3);
  const ExactArithmetic exact;
  int inconsistent = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    const Shape s = RandomShape(random, trial);
    const Grid<Q> a = RandomOfRank(random, s.m, s.n, s.rank);
    // Half the right-hand sides are A x0, so consistent; the others random.
    std::vector<Q> b(static_cast<std::size_t>(s.m));
    if (trial % 2 == 0) {
      std::vector<Q> x0(static_cast<std::size_t>(s.n));
      for (Q& x : x0) x = entry(random);
      b = Times(a, x0);
    } else {
      for (Q& y : b) y = entry(random);
    }
    Grid<Q> r = Augmented(a, b);
    Unobserved none;
    const Reduction done = Reduce(r, s.n + 1, EchelonForm::kReduced, exact, none, nullptr);
    const SolutionSet<Q> set = SolutionsOf(r, s.n, done.pivot_columns);

    std::vector<int> pivots_a;
    IndependentRref(a, s.n, pivots_a);
    ASSERT_EQ(set.rank_a, static_cast<int>(pivots_a.size())) << "trial " << trial;
    if (set.rank_a < set.rank_ab) {
      ++inconsistent;
      ASSERT_NE(trial % 2, 0) << "A x0 = b has a solution";
      ASSERT_TRUE(set.particular.empty());
      continue;
    }
    ASSERT_EQ(Times(a, set.particular), b) << "trial " << trial;
    ASSERT_EQ(static_cast<int>(set.fundamental.size()), s.n - set.rank_a);
    ASSERT_EQ(set.free_unknowns.size(), set.fundamental.size());
    const std::vector<Q> zero(static_cast<std::size_t>(s.m));
    for (std::size_t k = 0; k < set.fundamental.size(); ++k) {
      const std::vector<Q>& xi = set.fundamental[k];
      ASSERT_EQ(Times(a, xi), zero) << "trial " << trial;
      // Free unknown k is 1 in ξk and 0 in the others: they are independent.
      for (std::size_t l = 0; l < set.free_unknowns.size(); ++l) {
        ASSERT_EQ(xi[static_cast<std::size_t>(set.free_unknowns[l] - 1)], k == l ? 1 : 0);
      }
    }
  }
  EXPECT_GT(inconsistent, 100);
}

TEST(RowReduction, InversesAndDeterminants) {
  std::mt19937 random(99);
  const ExactArithmetic exact;
  for (int trial = 0; trial < 1000; ++trial) {
    const int n = 1 + trial % 5;
    const Grid<Q> a = RandomOfRank(random, n, n, trial % 3 == 0 ? n - 1 : n);
    Grid<Q> ae(n, 2 * n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) ae(i, j) = a(i, j);
      ae(i, n + i) = 1;
    }
    Unobserved none;
    const Reduction done = Reduce(ae, n, EchelonForm::kReduced, exact, none, nullptr);
    const Q det = Expanded(a);

    Grid<Q> upper = a;
    const Reduction triangular = Reduce(upper, n, EchelonForm::kRowEchelon, exact, none, nullptr);
    Q product = 1;
    if (static_cast<int>(triangular.pivot_columns.size()) < n) {
      product = 0;
    } else {
      for (int i = 1; i <= n; ++i) product *= upper(i, i);
      if (triangular.exchanges % 2 != 0) product = -product;
    }
    ASSERT_EQ(product, det) << "trial " << trial;

    if (det == 0) {
      ASSERT_LT(static_cast<int>(done.pivot_columns.size()), n);
      continue;
    }
    ASSERT_EQ(static_cast<int>(done.pivot_columns.size()), n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        Q sum = 0;
        for (int k = 1; k <= n; ++k) sum += a(i, k) * ae(k, n + j);
        ASSERT_EQ(sum, i == j ? 1 : 0) << "A A⁻¹ = E, trial " << trial;
      }
    }
  }
}

// Column pivoting in decimals written out plainly: the largest magnitude
// above the tolerance (the upper one of equals), the row brought up, the
// rows below cleared, the pivot row divided, the rows above cleared.
Grid<double> PlainDecimalRref(Grid<double> a, double tolerance, std::vector<int>& pivots) {
  int row = 1;
  for (int k = 1; k <= a.cols() && row <= a.rows(); ++k) {
    int p = 0;
    double largest = tolerance;
    for (int i = row; i <= a.rows(); ++i) {
      if (std::fabs(a(i, k)) > largest) largest = std::fabs(a(p = i, k));
    }
    if (p == 0) {
      for (int i = row; i <= a.rows(); ++i) a(i, k) = 0;
      continue;
    }
    a.SwapRows(p, row);
    const auto clear = [&](int i) {
      if (std::fabs(a(i, k)) <= tolerance) {
        a(i, k) = 0;
        return;
      }
      const double f = a(i, k) / a(row, k);
      for (int j = k + 1; j <= a.cols(); ++j) a(i, j) = a(i, j) - f * a(row, j);
      a(i, k) = 0;
    };
    for (int i = row + 1; i <= a.rows(); ++i) clear(i);
    for (int j = k + 1; j <= a.cols(); ++j) a(row, j) = a(row, j) / a(row, k);
    a(row, k) = 1;
    for (int i = 1; i < row; ++i) clear(i);
    pivots.push_back(k);
    ++row;
  }
  return a;
}

// In decimals the reduction is the plain one with the same tolerance, bit
// for bit; and small integer matrices nearly always keep their exact rank
// and pivots, the reduced form being the exact one to rounding. The
// tolerance max(m, n) · 2⁻⁵² · ‖A‖∞ is tight: now and then a rounding error
// grown in the elimination exceeds it and a column gains a pivot.
TEST(RowReduction, DecimalsAgreeWithThePlainReductionAndMostlyWithFractions) {
  std::mt19937 random(31);
  const ExactArithmetic exact;
  int agreeing = 0;
  const int trials = 2000;
  for (int trial = 0; trial < trials; ++trial) {
    const Shape s = RandomShape(random, trial);
    const Grid<Q> a = RandomOfRank(random, s.m, s.n, s.rank);
    Matrix read(s.m, s.n);
    for (int i = 1; i <= s.m; ++i) {
      for (int j = 1; j <= s.n; ++j) read(i, j) = static_cast<double>(a(i, j));
    }
    const std::optional<double> tolerance = ReductionTolerance(read);
    ASSERT_TRUE(tolerance.has_value());
    const DecimalArithmetic decimal(*tolerance, 6);
    Grid<double> d = DecimalGrid(read, s.m, s.n);
    Unobserved none;
    const Reduction decimal_done = Reduce(d, s.n, EchelonForm::kReduced, decimal, none, nullptr);
    std::vector<int> plain_pivots;
    ASSERT_EQ(d, PlainDecimalRref(DecimalGrid(read, s.m, s.n), *tolerance, plain_pivots))
        << "trial " << trial;
    ASSERT_EQ(decimal_done.pivot_columns, plain_pivots) << "trial " << trial;

    Grid<Q> q = a;
    const Reduction exact_done = Reduce(q, s.n, EchelonForm::kReduced, exact, none, nullptr);
    if (decimal_done.pivot_columns != exact_done.pivot_columns) continue;
    ++agreeing;
    for (int i = 1; i <= s.m; ++i) {
      for (int j = 1; j <= s.n; ++j) {
        const double want = static_cast<double>(q(i, j));
        ASSERT_NEAR(d(i, j), want, 1e-9 * (1 + std::fabs(want))) << "trial " << trial;
      }
    }
  }
  EXPECT_GE(agreeing, trials * 99 / 100);
}

TEST(RowReduction, TheToleranceComesFromTheLargestRowSum) {
  Matrix a(2, 3);
  a(1, 1) = 1;
  a(1, 2) = -2;  // row sums of magnitudes 3 and 7
  a(2, 3) = 7;
  EXPECT_EQ(ReductionTolerance(a), 3 * 7 * 0x1p-52);
  Matrix zero(4, 2);
  EXPECT_EQ(ReductionTolerance(zero), 0.0);
  const double inf = std::numeric_limits<double>::infinity();
  for (const double bad : {inf, -inf, std::numeric_limits<double>::quiet_NaN(), 1.7e308}) {
    Matrix b(2, 2);
    b(2, 1) = bad;
    b(2, 2) = 1.7e308;
    EXPECT_FALSE(ReductionTolerance(b).has_value()) << bad;
  }
}

}  // namespace
}  // namespace matcalc
