// The orthogonal routines against Eigen's decompositions and solvers on
// random matrices, and on textbook cases whose answers are known.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "orthogonal/qr_routines.h"
#include "support/matrices.h"

namespace matcalc {
namespace {

using testing::MatrixOf;
constexpr double kUnit = 2.220446049250313e-16;

Eigen::MatrixXd ToEigen(const Matrix& a) {
  Eigen::MatrixXd e(a.rows(), a.cols());
  for (int i = 1; i <= a.rows(); ++i) {
    for (int j = 1; j <= a.cols(); ++j) e(i - 1, j - 1) = a(i, j);
  }
  return e;
}

// Uniform entries in (-1, 1) scaled by powers of two per row (kind 2) or
// small integers (kind 1), from the generator's raw bits so that every
// platform draws the same matrices.
Matrix RandomMatrix(std::mt19937_64& rng, int m, int n, int kind) {
  Matrix a(m, n);
  for (int i = 1; i <= m; ++i) {
    const double scale = kind == 2 ? std::ldexp(1.0, static_cast<int>(rng() % 9) * 4 - 16) : 1;
    for (int j = 1; j <= n; ++j) {
      const double u = static_cast<double>(rng() >> 11) * std::ldexp(1.0, -53) * 2 - 1;
      a(i, j) = kind == 1 ? static_cast<double>(static_cast<int>(rng() % 7) - 3) : u * scale;
    }
  }
  return a;
}

// ‖QᵀQ − I‖max and ‖A − QR‖∞ / ‖A‖∞ within a bound that grows with the
// size, and R upper triangular.
void ExpectFactorization(const Matrix& a, const QrFactors& f) {
  const int m = a.rows();
  const double bound = 20.0 * (m + a.cols()) * kUnit;
  const Eigen::MatrixXd q = ToEigen(f.q);
  const double orthogonality =
      (q.transpose() * q - Eigen::MatrixXd::Identity(m, m)).cwiseAbs().maxCoeff();
  EXPECT_LE(orthogonality, bound);
  const double norm = InfinityNorm(a);
  EXPECT_LE(FactorResidual(a, f.q, f.r), bound * std::max(norm, 1e-300));
  for (int i = 2; i <= m; ++i) {
    for (int j = 1; j < i && j <= a.cols(); ++j) EXPECT_EQ(f.r(i, j), 0) << i << "," << j;
  }
}

TEST(OrthogonalQr, HouseholderAndGivensFactorRandomMatrices) {
  std::mt19937_64 rng(26);
  for (int round = 0; round < 1500; ++round) {
    const int n = 1 + round % 9;
    const int m = n + static_cast<int>(rng() % 4);
    const Matrix a = RandomMatrix(rng, m, n, round % 3);
    SCOPED_TRACE(round);
    ExpectFactorization(a, HouseholderQr(a));
    ExpectFactorization(a, GivensQr(a));
  }
}

TEST(OrthogonalQr, TextbookHouseholderGivesTheKnownR) {
  // The columns (2, 2, 1), (−2, 1, 2), (18, 0, 0): σ1 = 3 and R is known in
  // closed form (signs from α = −sign(x1)·σ).
  const Matrix a = MatrixOf({{2, -2, 18}, {2, 1, 0}, {1, 2, 0}});
  const QrFactors f = HouseholderQr(a);
  const Matrix r = MatrixOf({{-3, 0, -12}, {0, -3, 12}, {0, 0, 6}});
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(f.r(i, j), r(i, j), 1e-13) << i << "," << j;
  }
  ExpectFactorization(a, GivensQr(a));
}

TEST(OrthogonalQr, ColumnsAlreadyZeroAreSkippedAndHugeEntriesDoNotOverflowGivens) {
  const Matrix triangular = MatrixOf({{1, 2}, {0, 3}, {0, 0}});
  Matrix r = triangular;
  EXPECT_TRUE(HouseholderStep(r, 1).skipped);
  EXPECT_TRUE(HouseholderStep(r, 2).skipped);
  EXPECT_EQ(r, triangular);
  const Rotation g = RotationOf(3e200, 4e200);
  EXPECT_DOUBLE_EQ(g.r, 5e200);
  EXPECT_DOUBLE_EQ(g.c, 0.6);
  const Rotation tiny = RotationOf(3e-200, -4e-200);
  EXPECT_DOUBLE_EQ(tiny.s, -0.8);
  const Matrix huge = MatrixOf({{1e300, 1}, {1e300, 2}});
  const QrFactors f = GivensQr(huge);
  EXPECT_TRUE(std::isfinite(f.r(1, 1)));
  EXPECT_NEAR(f.r(1, 1), std::sqrt(2.0) * 1e300, 1e286);
}

TEST(OrthogonalGramSchmidt, AgreesWithHouseholderUpToSignsAndDropsDependentColumns) {
  std::mt19937_64 rng(27);
  for (int round = 0; round < 500; ++round) {
    const int n = 1 + round % 6;
    const int m = n + static_cast<int>(rng() % 3);
    const Matrix a = RandomMatrix(rng, m, n, 0);
    const GramSchmidtResult gs = GramSchmidt(a, ZeroTolerance(a));
    ASSERT_EQ(gs.q.cols(), n);
    const QrFactors hh = HouseholderQr(a);
    for (int k = 1; k <= n; ++k) {
      // R(k,k) of Gram-Schmidt is ‖β_k‖ > 0; Householder's has either sign.
      EXPECT_NEAR(gs.r(k, k), std::fabs(hh.r(k, k)), 1e-9 * (1 + std::fabs(hh.r(k, k))));
    }
  }
  // The second column twice the first, the third independent.
  const Matrix a = MatrixOf({{1, 2, 1}, {1, 2, 0}, {0, 0, 1}});
  const GramSchmidtResult gs = GramSchmidt(a, ZeroTolerance(a));
  EXPECT_FALSE(gs.columns[0].dependent);
  EXPECT_TRUE(gs.columns[1].dependent);
  EXPECT_FALSE(gs.columns[2].dependent);
  EXPECT_EQ(gs.q.cols(), 2);
  EXPECT_NEAR(FactorResidual(a, gs.q, gs.r), 0, 1e-15);
  const Matrix zero = MatrixOf({{0, 1}, {0, 1}});
  EXPECT_TRUE(GramSchmidt(zero, ZeroTolerance(zero)).columns[0].dependent);
}

TEST(OrthogonalLeastSquares, BothWaysAgreeWithEigenOnRandomSystems) {
  std::mt19937_64 rng(28);
  for (int round = 0; round < 1000; ++round) {
    const int n = 1 + round % 6;
    const int m = n + static_cast<int>(rng() % 5);
    const Matrix ab = RandomMatrix(rng, m, n + 1, 0);
    Matrix a(m, n);
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) a(i, j) = ab(i, j);
    }
    const Eigen::MatrixXd ea = ToEigen(a);
    Eigen::VectorXd eb(m);
    for (int i = 1; i <= m; ++i) eb(i - 1) = ab(i, n + 1);
    const Eigen::VectorXd expected = ea.colPivHouseholderQr().solve(eb);
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(ea);
    const double cond = svd.singularValues()(0) / svd.singularValues()(n - 1);
    const double bound = 1e-13 * cond * cond * (1 + expected.cwiseAbs().maxCoeff());

    const QrLeastSquares qr = LeastSquaresByQr(ab, n, ZeroTolerance(a));
    ASSERT_EQ(qr.zero_pivot, 0) << round;
    const Matrix s = NormalMatrix(ab, n);
    const std::optional<Matrix> l = CholeskyFactor(s, 0);
    for (int j = 1; j <= n; ++j) EXPECT_NEAR(qr.x(j), expected(j - 1), bound) << round;
    if (!l) continue;  // a badly conditioned AᵀA may lose definiteness
    // L Lᵀ x = Aᵀb by the two substitutions.
    const Vector g = NormalRightHandSide(ab, n);
    Vector y(n);
    for (int i = 1; i <= n; ++i) {
      double sum = 0;
      for (int k = 1; k < i; ++k) sum += (*l)(i, k) * y(k);
      y(i) = (g(i) - sum) / (*l)(i, i);
    }
    Vector x(n);
    for (int i = n; i >= 1; --i) {
      double sum = 0;
      for (int k = i + 1; k <= n; ++k) sum += (*l)(k, i) * x(k);
      x(i) = (y(i) - sum) / (*l)(i, i);
    }
    for (int j = 1; j <= n; ++j) EXPECT_NEAR(x(j), expected(j - 1), bound) << round;
  }
}

TEST(OrthogonalLeastSquares, LineThroughFourPointsAndRankDeficiency) {
  // y ≈ a0 + a1 x through (0, 1), (1, 3), (2, 4), (3, 4): a1 = 1, a0 = 1.5,
  // the residuals −0.5, 0.5, 0.5, −0.5.
  const Matrix ab = MatrixOf({{1, 0, 1}, {1, 1, 3}, {1, 2, 4}, {1, 3, 4}});
  const Matrix a = MatrixOf({{1, 0}, {1, 1}, {1, 2}, {1, 3}});
  const QrLeastSquares qr = LeastSquaresByQr(ab, 2, ZeroTolerance(a));
  EXPECT_NEAR(qr.x(1), 1.5, 1e-14);
  EXPECT_NEAR(qr.x(2), 1.0, 1e-14);
  EXPECT_NEAR(ResidualNorm(ab, 2, qr.x), 1.0, 1e-14);

  Vector x(4);
  Vector y(4);
  for (int p = 1; p <= 4; ++p) x(p) = ab(p, 2), y(p) = ab(p, 3);
  const FitEquations f = FitNormalEquations(x, y, 1);
  EXPECT_EQ(f.g, MatrixOf({{4, 6, 12}, {6, 14, 23}}));
  const std::optional<Vector> fit = SolveByElimination(f.g, 2);
  ASSERT_TRUE(fit);
  EXPECT_NEAR((*fit)(1), 1.5, 1e-14);
  EXPECT_NEAR((*fit)(2), 1.0, 1e-14);
  EXPECT_NEAR(SquaredError(*fit, x, y), 1.0, 1e-14);

  // The second column is twice the first; a zero column.
  const Matrix deficient = MatrixOf({{1, 2, 1}, {2, 4, 0}, {3, 6, 1}});
  const Matrix da = MatrixOf({{1, 2}, {2, 4}, {3, 6}});
  EXPECT_EQ(LeastSquaresByQr(deficient, 2, ZeroTolerance(da)).zero_pivot, 2);
  const Matrix zero_column = MatrixOf({{0, 1, 1}, {0, 2, 0}, {0, 3, 1}});
  EXPECT_EQ(LeastSquaresByQr(zero_column, 2, ZeroTolerance(zero_column)).zero_pivot, 1);
}

TEST(OrthogonalCurveFit, PolynomialFitsAgreeWithEigenAndRepeatedAbscissasAreCounted) {
  std::mt19937_64 rng(29);
  for (int round = 0; round < 500; ++round) {
    const int k = round % 4;
    const int m = k + 1 + static_cast<int>(rng() % 6);
    Vector x(m);
    Vector y(m);
    for (int p = 1; p <= m; ++p) {
      x(p) = p + static_cast<double>(rng() % 1000) / 2000.0;
      y(p) = static_cast<double>(rng() % 2001) / 100.0 - 10;
    }
    Eigen::MatrixXd v(m, k + 1);
    Eigen::VectorXd ey(m);
    for (int p = 1; p <= m; ++p) {
      for (int i = 0; i <= k; ++i) v(p - 1, i) = std::pow(x(p), i);
      ey(p - 1) = y(p);
    }
    const Eigen::VectorXd expected = v.colPivHouseholderQr().solve(ey);
    const std::optional<Vector> fit = SolveByElimination(FitNormalEquations(x, y, k).g, k + 1);
    ASSERT_TRUE(fit);
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(v);
    const double cond = svd.singularValues()(0) / svd.singularValues()(k);
    for (int i = 0; i <= k; ++i) {
      EXPECT_NEAR((*fit)(i + 1), expected(i), 1e-14 * cond * cond * (1 + std::fabs(expected(i))));
    }
  }
  Vector x(4);
  x(1) = 1, x(2) = 2, x(3) = 1, x(4) = 2;
  EXPECT_EQ(DistinctCount(x), 2);
}

// Our eigenvalues matched one for one with Eigen's, each within a bound
// from its condition number ‖x‖‖y‖/|yᴴx| (x, y its right and left
// eigenvectors).
void ExpectEigenvaluesLikeEigen(const Matrix& a, const std::vector<Eigenvalue>& ours) {
  const int n = a.rows();
  ASSERT_EQ(static_cast<int>(ours.size()), n);
  const Eigen::EigenSolver<Eigen::MatrixXd> solver(ToEigen(a));
  const Eigen::VectorXcd values = solver.eigenvalues();
  const Eigen::MatrixXcd right = solver.eigenvectors();
  const Eigen::MatrixXcd left = right.inverse();
  const double norm = ToEigen(a).norm();
  std::vector<bool> used(static_cast<std::size_t>(n), false);
  for (const Eigenvalue& e : ours) {
    const std::complex<double> z(e.re, e.im);
    int best = -1;
    for (int i = 0; i < n; ++i) {
      if (used[static_cast<std::size_t>(i)]) continue;
      if (best < 0 || std::abs(values(i) - z) < std::abs(values(best) - z)) best = i;
    }
    used[static_cast<std::size_t>(best)] = true;
    const double condition = left.row(best).norm() * right.col(best).norm() /
                             std::abs(left.row(best).dot(right.col(best).conjugate()));
    EXPECT_LE(std::abs(values(best) - z), 100.0 * n * kUnit * norm * condition + 1e-300)
        << "λ = " << e.re << " + " << e.im << "i";
  }
}

TEST(OrthogonalQrMethod, EigenvaluesAgreeWithEigenOnRandomMatrices) {
  std::mt19937_64 rng(30);
  long iterations = 0;
  long eigenvalues = 0;
  for (int round = 0; round < 2000; ++round) {
    const int n = 1 + round % 12;
    const Matrix a = RandomMatrix(rng, n, n, round % 3 == 1 ? 0 : round % 3);
    const std::optional<QrEigenResult> result = QrEigenvalues(a, kUnit, 100 * n);
    ASSERT_TRUE(result) << round;
    SCOPED_TRACE(round);
    ExpectEigenvaluesLikeEigen(a, result->values);
    iterations += result->iterations;
    eigenvalues += n;
  }
  // The double shift converges quadratically: a few iterations each.
  EXPECT_LT(static_cast<double>(iterations) / static_cast<double>(eigenvalues), 4.0);
}

TEST(OrthogonalQrMethod, TextbookMatrices) {
  // A rotation by 90 degrees scaled by 2 beside a real eigenvalue 3: 3, ±2i.
  const Matrix pair = MatrixOf({{0, -2, 0}, {2, 0, 0}, {0, 0, 3}});
  const std::optional<QrEigenResult> p = QrEigenvalues(pair, 1e-12, 300);
  ASSERT_TRUE(p);
  const std::vector<Eigenvalue> sorted = SortedEigenvalues(p->values);
  EXPECT_NEAR(sorted[0].re, 3, 1e-12);
  EXPECT_NEAR(sorted[1].re, 0, 1e-12);
  EXPECT_NEAR(sorted[1].im, 2, 1e-12);
  EXPECT_NEAR(sorted[2].im, -2, 1e-12);

  // A Jordan block of 2 beside 5: the defective eigenvalue 2 twice, within
  // the square root of the unit roundoff.
  const Matrix defective = MatrixOf({{2, 1, 0}, {0, 2, 0}, {1, 1, 5}});
  const std::optional<QrEigenResult> d = QrEigenvalues(defective, 1e-12, 300);
  ASSERT_TRUE(d);
  const std::vector<Eigenvalue> ds = SortedEigenvalues(d->values);
  EXPECT_NEAR(ds[0].re, 5, 1e-12);
  EXPECT_NEAR(ds[1].re, 2, 1e-7);
  EXPECT_NEAR(ds[2].re, 2, 1e-7);

  // Already triangular: no iteration, the diagonal itself.
  const Matrix triangular = MatrixOf({{1, 2, 3, 4}, {0, 5, 6, 7}, {0, 0, -8, 9}, {0, 0, 0, 10}});
  const std::optional<QrEigenResult> t = QrEigenvalues(triangular, 1e-10, 400);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->iterations, 0);
  EXPECT_EQ(t->schur, triangular);

  // The cyclic permutation: all eigenvalues of modulus 1, the usual shifts
  // cycle without the exceptional ones.
  Matrix cycle(5, 5);
  for (int i = 2; i <= 5; ++i) cycle(i, i - 1) = 1;
  cycle(1, 5) = 1;
  const std::optional<QrEigenResult> c = QrEigenvalues(cycle, 1e-14, 500);
  ASSERT_TRUE(c);
  ExpectEigenvaluesLikeEigen(cycle, c->values);

  // The iteration limit reached gives nothing.
  EXPECT_FALSE(QrEigenvalues(MatrixOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}), 1e-14, 1));
}

}  // namespace
}  // namespace matcalc
