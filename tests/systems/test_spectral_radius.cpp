// The iteration matrices and their spectral radius against Eigen's dense
// formulas and eigenvalue solver, and on matrices whose eigenvalues are known
// in closed form.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "systems/spectral_radius.h"

namespace matcalc {
namespace {

constexpr double kPi = 3.14159265358979323846;

Eigen::MatrixXd ToEigen(const Matrix& a, int n) {
  Eigen::MatrixXd m(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) m(i - 1, j - 1) = a(i, j);
  }
  return m;
}

std::vector<double> SortedModuli(const Eigen::VectorXcd& values) {
  std::vector<double> moduli;
  for (const auto& v : values) moduli.push_back(std::abs(v));
  std::sort(moduli.begin(), moduli.end());
  return moduli;
}

double Radius(const Matrix& a, int n) {
  const RadiusResult result = SpectralRadius(a, n);
  EXPECT_TRUE(result.radius.has_value());
  return result.radius.value_or(std::numeric_limits<double>::quiet_NaN());
}

// Entries of several kinds: uniform, small integers (repeated and zero
// eigenvalues), and rows of very different scales.
Matrix RandomMatrix(std::mt19937& rng, int n, int kind) {
  std::uniform_real_distribution<double> uniform(-1, 1);
  std::uniform_int_distribution<int> small(-3, 3);
  Matrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    const double row_scale = kind == 2 ? std::ldexp(1.0, small(rng) * 4) : 1;
    for (int j = 1; j <= n; ++j) {
      a(i, j) = kind == 1 ? small(rng) : uniform(rng) * row_scale;
    }
  }
  return a;
}

TEST(SpectralRadius, EigenvaluesAgreeWithEigenOnRandomMatrices) {
  std::mt19937 rng(20261207);
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + round % 12;
    const int kind = round % 3;
    const Matrix a = RandomMatrix(rng, n, kind);
    const std::optional<Eigenvalues> ours = EigenvaluesOf(a, n);
    ASSERT_TRUE(ours.has_value()) << round;
    const Eigen::MatrixXd m = ToEigen(a, n);
    const Eigen::EigenSolver<Eigen::MatrixXd> solver(m, false);
    const std::vector<double> theirs = SortedModuli(solver.eigenvalues());
    Eigen::VectorXcd mine(n);
    for (int i = 1; i <= n; ++i) mine(i - 1) = {ours->real(i), ours->imag(i)};
    const std::vector<double> moduli = SortedModuli(mine);
    // Multiple eigenvalues of the integer matrices are sensitive to the
    // square root of the rounding: the bound allows for it.
    const double scale = std::max(1.0, m.norm());
    const double bound = (kind == 1 ? 1e-6 : 1e-9) * scale;
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(moduli[static_cast<std::size_t>(i)], theirs[static_cast<std::size_t>(i)], bound)
          << "round " << round << ", n " << n << ", modulus " << i;
    }
    // The sum of the eigenvalues is the trace.
    double trace = 0;
    double sum = 0;
    for (int i = 1; i <= n; ++i) {
      trace += a(i, i);
      sum += ours->real(i);
    }
    EXPECT_NEAR(sum, trace, 1e-9 * scale * n) << round;
    EXPECT_NEAR(Radius(a, n), theirs.back(), bound) << round;
    ++compared;
  }
  EXPECT_EQ(compared, 400);
}

// Diagonally weighted random systems: our iteration matrices equal Eigen's
// dense formulas, and so do their radii.
TEST(SpectralRadius, IterationMatricesAgreeWithTheDenseFormulas) {
  std::mt19937 rng(15);
  std::uniform_real_distribution<double> uniform(-1, 1);
  for (int round = 0; round < 150; ++round) {
    const int n = 1 + round % 9;
    Matrix a(n, n + 1);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n + 1; ++j) a(i, j) = uniform(rng);
      a(i, i) += (round % 2 == 0 ? 2.0 : 0.5) * (a(i, i) < 0 ? -1 : 1);
    }
    const double omega = 0.1 + 1.8 * (round % 10) / 9.0;
    const Eigen::MatrixXd m = ToEigen(a, n);
    const Eigen::MatrixXd d = m.diagonal().asDiagonal();
    const Eigen::MatrixXd lower = -m.triangularView<Eigen::StrictlyLower>().toDenseMatrix();
    const Eigen::MatrixXd upper = -m.triangularView<Eigen::StrictlyUpper>().toDenseMatrix();
    const Eigen::MatrixXd expected[] = {
        Eigen::MatrixXd::Identity(n, n) - d.inverse() * m,
        (d - lower).inverse() * upper,
        (d - omega * lower).inverse() * ((1 - omega) * d + omega * upper),
    };
    const Matrix ours[] = {JacobiIterationMatrix(a, n), GaussSeidelIterationMatrix(a, n),
                           SorIterationMatrix(a, n, omega)};
    for (int method = 0; method < 3; ++method) {
      const Eigen::MatrixXd b = ToEigen(ours[method], n);
      const double scale = std::max(1.0, expected[method].norm());
      EXPECT_LT((b - expected[method]).norm(), 1e-12 * scale) << round << " " << method;
      const Eigen::EigenSolver<Eigen::MatrixXd> solver(expected[method], false);
      EXPECT_NEAR(Radius(ours[method], n), SortedModuli(solver.eigenvalues()).back(), 1e-7 * scale)
          << round << " " << method;
    }
  }
}

// The second-difference matrix tridiag(-1, 2, -1) of order n: Jacobi has
// radius cos(pi/(n+1)), Gauss-Seidel its square, and SOR at the best
// factor 2/(1 + sin(pi/(n+1))) that factor minus 1 (a double eigenvalue
// there, known to about the square root of the rounding).
TEST(SpectralRadius, SecondDifferenceMatrixHasItsKnownRadii) {
  for (const int n : {2, 3, 5, 10, 25}) {
    Matrix a(n, n + 1);
    for (int i = 1; i <= n; ++i) {
      a(i, i) = 2;
      if (i > 1) a(i, i - 1) = -1;
      if (i < n) a(i, i + 1) = -1;
    }
    const double mu = std::cos(kPi / (n + 1));
    EXPECT_NEAR(Radius(JacobiIterationMatrix(a, n), n), mu, 1e-13) << n;
    EXPECT_NEAR(Radius(GaussSeidelIterationMatrix(a, n), n), mu * mu, 1e-12) << n;
    const double best = 2 / (1 + std::sin(kPi / (n + 1)));
    EXPECT_NEAR(Radius(SorIterationMatrix(a, n, best), n), best - 1, 2e-6) << n;
    // Beyond the best factor every eigenvalue has modulus w - 1.
    EXPECT_NEAR(Radius(SorIterationMatrix(a, n, 1.95), n), 0.95, 1e-6) << n;
  }
}

TEST(SpectralRadius, KnownSmallCases) {
  // The textbook system's Jacobi matrix: rho is the positive root of
  // x^3 - 0.09 x - 0.008.
  Matrix text(3, 4);
  const double rows[3][3] = {{10, -1, -2}, {-1, 10, -2}, {-1, -1, 5}};
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) text(i, j) = rows[i - 1][j - 1];
  }
  const double rho = Radius(JacobiIterationMatrix(text, 3), 3);
  EXPECT_NEAR(rho * rho * rho - 0.09 * rho - 0.008, 0, 1e-15);
  EXPECT_NEAR(rho, 0.337228, 5e-7);

  // A rotation: Jacobi on [[1, -1], [1, 1]] gives eigenvalues +-i, radius 1
  // exactly.
  Matrix rotation(2, 3);
  rotation(1, 1) = 1;
  rotation(1, 2) = -1;
  rotation(2, 1) = 1;
  rotation(2, 2) = 1;
  EXPECT_EQ(Radius(JacobiIterationMatrix(rotation, 2), 2), 1.0);

  // The cyclic permutation, where the plain shifts stall and the
  // exceptional ones get through: the cube roots of unity.
  Matrix cycle(3, 3);
  cycle(1, 3) = 1;
  cycle(2, 1) = 1;
  cycle(3, 2) = 1;
  EXPECT_NEAR(Radius(cycle, 3), 1.0, 1e-14);

  // Strictly triangular: every eigenvalue 0.
  Matrix nilpotent(4, 4);
  for (int i = 1; i <= 4; ++i) {
    for (int j = i + 1; j <= 4; ++j) nilpotent(i, j) = i + j;
  }
  EXPECT_EQ(Radius(nilpotent, 4), 0.0);

  // SOR on a diagonal matrix is (1 - w) I; order 1 is a number.
  Matrix diagonal(3, 4);
  for (int i = 1; i <= 3; ++i) diagonal(i, i) = i;
  EXPECT_EQ(Radius(SorIterationMatrix(diagonal, 3, 1.5), 3), 0.5);
  Matrix one(1, 2);
  one(1, 1) = -4;
  EXPECT_EQ(Radius(JacobiIterationMatrix(one, 1), 1), 0.0);
  EXPECT_EQ(Radius(SorIterationMatrix(one, 1, 0.25), 1), 0.75);

  // A scaled rotation block beside a real eigenvalue: modulus 5 from 3 +- 4i.
  Matrix block(3, 3);
  block(1, 1) = 3;
  block(1, 2) = -4;
  block(2, 1) = 4;
  block(2, 2) = 3;
  block(3, 3) = -4.5;
  EXPECT_NEAR(Radius(block, 3), 5.0, 1e-14);
}

TEST(SpectralRadius, EntriesThatAreNotFiniteHaveNoRadius) {
  Matrix a(2, 2);
  a(1, 2) = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(SpectralRadius(a, 2).radius.has_value());
  EXPECT_EQ(SpectralRadius(a, 2).fault, RadiusFault::kNotFinite);
  a(1, 2) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(SpectralRadius(a, 2).fault, RadiusFault::kNotFinite);
}

// The sweeps stop once they have taken the work they were allowed (one
// sweep more at most), and only then; what they took is counted.
TEST(SpectralRadius, SweepsStopAtTheirWorkLimit) {
  class Counting : public WorkMeter {
   public:
    void Advance(double work) override { done += work; }
    double done = 0;
  };
  std::mt19937 rng(7);
  const int n = 40;
  const Matrix a = RandomMatrix(rng, n, 0);
  Counting unlimited;
  const RadiusResult whole = SpectralRadius(a, n, &unlimited);
  ASSERT_TRUE(whole.radius.has_value());
  EXPECT_LE(unlimited.done, SpectralRadiusWorkBound(n));

  // A few sweeps' worth: the iteration is cut short, having counted less.
  Counting limited;
  const RadiusResult cut = SpectralRadius(a, n, &limited, 10.0 * n * n);
  EXPECT_FALSE(cut.radius.has_value());
  EXPECT_EQ(cut.fault, RadiusFault::kWorkLimit);
  EXPECT_LT(limited.done, unlimited.done);
  // Enough allowed: the same radius, bit for bit.
  const RadiusResult enough = SpectralRadius(a, n, nullptr, unlimited.done);
  ASSERT_TRUE(enough.radius.has_value());
  EXPECT_EQ(*enough.radius, *whole.radius);
}

TEST(SpectralRadius, ModulusNeitherOverflowsNorLosesTheExactCases) {
  EXPECT_EQ(Modulus(3, 4), 5.0);
  EXPECT_EQ(Modulus(-3, 0), 3.0);
  EXPECT_EQ(Modulus(0, -2), 2.0);
  EXPECT_EQ(Modulus(0, 0), 0.0);
  EXPECT_NEAR(Modulus(1e300, 1e300) / 1e300, std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(Modulus(3e-310, 4e-310) / 1e-310, 5.0, 1e-9);
}

}  // namespace
}  // namespace matcalc
