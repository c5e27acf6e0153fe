// The extreme singular values against Eigen's decomposition, and the cases
// where a reduction could overflow, divide by zero or meet no number.
#include <gtest/gtest.h>

#include <Eigen/SVD>
#include <cmath>
#include <cstdint>
#include <random>

#include "direct/singular_values.h"
#include "support/matrices.h"

namespace matcalc {
namespace {

using testing::MatrixOf;

TEST(SingularValues, AgreeWithAFullDecomposition) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> entry(-10, 10);
  for (int c = 0; c < 400; ++c) {
    const int n = 1 + c % 14;
    Matrix a(n, n);
    Eigen::MatrixXd m(n, n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) m(i - 1, j - 1) = a(i, j) = entry(rng);
    }
    // Now and then a nearly singular one: a row close to a multiple of another.
    if (n > 2 && c % 5 == 0) {
      for (int j = 1; j <= n; ++j) m(1, j - 1) = a(2, j) = 3 * a(1, j) + 1e-9 * entry(rng);
    }
    const Eigen::VectorXd reference = Eigen::JacobiSVD<Eigen::MatrixXd>(m).singularValues();
    const SingularValueRange range = ExtremeSingularValues(a, n);
    const double unit = 1e-14 * n * reference(0);
    EXPECT_NEAR(range.largest, reference(0), unit) << "case " << c;
    EXPECT_NEAR(range.smallest, reference(n - 1), unit) << "case " << c;
  }
}

TEST(SingularValues, SpecialMatrices) {
  struct Case {
    const char* what;
    Matrix a;
    double largest;
    double smallest;
  };
  const Case cases[] = {
      {"diagonal", MatrixOf({{3, 0, 0}, {0, -5, 0}, {0, 0, 0.5}}), 5, 0.5},
      {"zero", MatrixOf({{0, 0}, {0, 0}}), 0, 0},
      {"one entry", MatrixOf({{-4}}), 4, 4},
      {"rank one", MatrixOf({{1, 2}, {2, 4}}), 5, 0},
      {"zero column", MatrixOf({{1, 0}, {2, 0}}), std::sqrt(5.0), 0},
      {"orthogonal", MatrixOf({{0.6, -0.8}, {0.8, 0.6}}), 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SingularValueRange range = ExtremeSingularValues(c.a, c.a.rows());
    EXPECT_NEAR(range.largest, c.largest, 4e-16 * c.largest);
    EXPECT_NEAR(range.smallest, c.smallest, 4e-16 * c.largest);
  }
}

TEST(SingularValues, HugeAndTinyMatricesScaleExactly) {
  const Matrix a = MatrixOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
  const SingularValueRange plain = ExtremeSingularValues(a, 3);
  for (const int power : {-1000, -600, 600, 1000}) {
    Matrix scaled = a;
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) scaled(i, j) = std::ldexp(a(i, j), power);
    }
    const SingularValueRange range = ExtremeSingularValues(scaled, 3);
    EXPECT_EQ(range.largest, std::ldexp(plain.largest, power)) << power;
    EXPECT_EQ(range.smallest, std::ldexp(plain.smallest, power)) << power;
  }
}

TEST(SingularValues, EntriesThatAreNotFiniteGiveNaN) {
  for (const double bad : {INFINITY, -INFINITY, NAN}) {
    const SingularValueRange range = ExtremeSingularValues(MatrixOf({{1, bad}, {0, 1}}), 2);
    EXPECT_TRUE(std::isnan(range.largest));
    EXPECT_TRUE(std::isnan(range.smallest));
  }
}

}  // namespace
}  // namespace matcalc
