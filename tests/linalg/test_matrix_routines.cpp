#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "linalg/matrix_routines.h"
#include "support/matrices.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::MatrixOf;

constexpr double kInf = std::numeric_limits<double>::infinity();

Vector VectorOf(std::initializer_list<double> values) {
  Vector v(static_cast<int>(values.size()));
  int i = 1;
  for (const double value : values) v(i++) = value;
  return v;
}

TEST(FormatVector, ModesOneAndTwo) {
  const Vector v = VectorOf({1, -0.5});
  const std::string one = std::string(23, ' ') + "1";
  const std::string half = std::string(20, ' ') + "-0.5";
  EXPECT_EQ(FormatVector(v, 1), one + half);
  EXPECT_EQ(FormatVector(v, 2), one + "\r\n" + half + "\r\n");
  EXPECT_EQ(FormatVector(v, 0), "");
  EXPECT_EQ(FormatVector(v, 3), "");
  EXPECT_EQ(FormatVector(Vector(), 2), "");
  EXPECT_EQ(FormatVector(VectorOf({1e-5}), 1), std::string(19, ' ') + "1E-05");
}

TEST(MultiplyMatrices, EveryEntryIsRoundedToTheDigitsOfTheCall) {
  const Matrix third = MatrixOf({{1.0 / 3}});
  const Matrix one = MatrixOf({{1}});
  const Matrix c = MultiplyMatrices(third, one, 1, 1, 1, 6);
  EXPECT_EQ(c(1, 1), 0.333333);
  EXPECT_EQ(Field24(c(1, 1)), std::string(16, ' ') + "0.333333");
  EXPECT_EQ(MultiplyMatrices(third, one, 1, 1, 1, 2)(1, 1), 0.33);
  EXPECT_EQ(MultiplyMatrices(third, one, 1, 1, 1, 15)(1, 1), 0.333333333333333);

  const Matrix a = MatrixOf({{1, 2}, {3, 4}});
  const Matrix b = MatrixOf({{0.5, 0.25}, {0.125, 1.0 / 7}});
  const Matrix ab = MultiplyMatrices(a, b, 2, 2, 2, 3);
  EXPECT_EQ(ab(1, 1), 0.75);
  EXPECT_EQ(ab(1, 2), 0.536);  // 0.25 + 2/7 = 0.5357...
  EXPECT_EQ(ab(2, 1), 2);
  EXPECT_EQ(ab(2, 2), 1.321);  // 0.75 + 4/7 = 1.3214...
}

TEST(MultiplyMatrices, SumsInIncreasingOrderWithoutFusedMultiplyAdd) {
  // In increasing l the 1 is absorbed by 1e16 before -1e16 cancels it.
  const Matrix a = MatrixOf({{1, 1e16, -1e16}});
  const Matrix ones = MatrixOf({{1}, {1}, {1}});
  EXPECT_EQ(MultiplyMatrices(a, ones, 1, 1, 3, 6)(1, 1), 0);

  // (2^30 + 1)^2 is not a double: rounded it cancels the first term exactly,
  // while a fused multiply-add would leave its rounding error of 1.
  const double x = 1073741825.0;
  const Matrix row = MatrixOf({{-(1152921504606846976.0 + 2147483648.0), x}});
  const Matrix column = MatrixOf({{1}, {x}});
  EXPECT_EQ(MultiplyMatrices(row, column, 1, 1, 2, 6)(1, 1), 0);
  const Matrix square = MatrixOf({{-(1152921504606846976.0 + 2147483648.0), x}, {0, 0}});
  EXPECT_EQ(MultiplyMatrixVector(square, VectorOf({1, x}), 2, 6)(1), 0);
}

TEST(MultiplyMatrices, OverflowGivesInfinityAndTheProductGoesOn) {
  const Matrix a = MatrixOf({{1e308, 1e308}, {0, 1}});
  const Matrix b = MatrixOf({{10, kInf}, {1, 2}});
  const Matrix c = MultiplyMatrices(a, b, 2, 2, 2, 6);
  EXPECT_EQ(c(1, 1), kInf);
  EXPECT_EQ(c(1, 2), kInf);
  EXPECT_TRUE(std::isnan(c(2, 2)));
  EXPECT_EQ(c(2, 1), 1);  // computed after the faults, not left at 0

  const Matrix big = MatrixOf({{1e308, 1e308}, {2, 3}});
  const Vector y = MultiplyMatrixVector(big, VectorOf({10, 1}), 2, 6);
  EXPECT_EQ(y(1), kInf);
  EXPECT_EQ(y(2), 23);
}

TEST(MultiplyMatrices, RectangularShapesAndAFreshResult) {
  const Matrix a = MatrixOf({{1, 2, 3}});               // 1 x 3
  const Matrix b = MatrixOf({{1, 0}, {0, 1}, {1, 1}});  // 3 x 2
  const Matrix c = MultiplyMatrices(a, b, 1, 2, 3, 6);
  EXPECT_EQ(c.rows(), 1);
  EXPECT_EQ(c.cols(), 2);
  EXPECT_EQ(c(1, 1), 4);
  EXPECT_EQ(c(1, 2), 5);
}

TEST(MultiplyMatrixVector, RoundsEveryComponent) {
  const Matrix a = MatrixOf({{1, 1}, {2, 0}});
  const Vector y = MultiplyMatrixVector(a, VectorOf({1.0 / 3, 1.0 / 3}), 2, 4);
  ASSERT_EQ(y.size(), 2);
  EXPECT_EQ(y(1), 0.6667);
  EXPECT_EQ(y(2), 0.6667);
}

}  // namespace
}  // namespace matcalc
