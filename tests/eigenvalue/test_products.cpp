// The blocked product must give every entry exactly the sum of the plain
// loops: l ascending, s = A(i,l) B(l,j) + s, no fused multiply-add.
#include <gtest/gtest.h>

#include <random>

#include "linalg/matrix.h"
#include "linalg/matrix_routines.h"
#include "linalg/product_kernels.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

Matrix Random(int rows, int cols, std::mt19937& random) {
  // Positive entries of a few hundred with full fractions: every sum is
  // large enough that rounding to 15 places keeps the double as it is, so
  // any change of order or any fused step shows.
  std::uniform_real_distribution<double> value(100, 1000);
  Matrix a(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) a(i, j) = value(random);
  }
  return a;
}

Matrix PlainProduct(const Matrix& a, const Matrix& b, int m, int p, int k, int digits) {
  Matrix c(m, p);
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= p; ++j) {
      volatile double s = 0;  // stored after every step, as a double
      for (int l = 1; l <= k; ++l) {
        const double product = a(i, l) * b(l, j);
        s = product + s;
      }
      c(i, j) = RoundTo(s, digits);
    }
  }
  return c;
}

// Every kernel this processor runs (the portable one included), not only the
// one the product picks, so each platform's digits are checked wherever the
// tests run.
TEST(MultiplyMatrices, EveryEntryKeepsItsOwnSummationOrder) {
  // Sizes off every tile and block boundary, and depths over one block.
  const int shapes[][3] = {{1, 1, 1},    {3, 5, 2},    {9, 17, 7},   {17, 33, 260},
                           {60, 60, 60}, {8, 16, 513}, {100, 3, 300}};
  for (const TileKernel& kernel : SupportedKernels()) {
    std::mt19937 random(2024);
    for (const auto& shape : shapes) {
      const int m = shape[0];
      const int p = shape[1];
      const int k = shape[2];
      SCOPED_TRACE(::testing::Message() << kernel.rows << " x " << kernel.cols << " kernel, " << m
                                        << " x " << k << " times " << k << " x " << p);
      const Matrix a = Random(m, k, random);
      const Matrix b = Random(k, p, random);
      const Matrix plain = PlainProduct(a, b, m, p, k, 15);
      EXPECT_EQ(MultiplyMatricesWith(kernel, a, b, m, p, k, 15), plain);
      if (&kernel == &SupportedKernels().front()) {
        EXPECT_EQ(MultiplyMatrices(a, b, m, p, k, 15), plain);
      }
    }
  }
}

TEST(MultiplyMatrices, EntriesAreRoundedToTheDigits) {
  Matrix a(1, 1);
  Matrix b(1, 1);
  a(1, 1) = 1.0 / 3;
  b(1, 1) = 1;
  EXPECT_EQ(MultiplyMatrices(a, b, 1, 1, 1, 6)(1, 1), 0.333333);
  // Infinity and NaN go through like any other value.
  Matrix c(2, 2);
  c(1, 1) = 1e300;
  c(2, 2) = 1;
  const Matrix square = MultiplyMatrices(c, c, 2, 2, 2, 6);
  EXPECT_EQ(FormatNumber(square(1, 1)), "Infinity");
  EXPECT_EQ(square(2, 2), 1);
  EXPECT_EQ(square(1, 2), 0);
}

}  // namespace
}  // namespace matcalc
