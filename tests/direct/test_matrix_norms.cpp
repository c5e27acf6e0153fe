// The matrix norms, with the spectral norm as the reference 2-norm.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "direct/linear_routines.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::RunMethod;
using testing::SameText;

constexpr char kHeading[] = "以上是所要求解的矩阵，接下来输出矩阵的范数";

std::string NormLines(std::string_view one, std::string_view two, std::string_view f,
                      std::string_view infinity) {
  return CrLfLines({"", kHeading, "", "矩阵的1范数为： " + std::string(one), "",
                    "矩阵的2范数为(参考值)： " + std::string(two), "",
                    "矩阵的F范数为： " + std::string(f), "",
                    "矩阵的无穷范数为： " + std::string(infinity), ""});
}

TEST(MatrixNorms, WorkedExample) {
  const testing::MethodOutcome run = RunMethod("matrix-norms", "1 2\r\n3 4", {"2"});
  EXPECT_TRUE(SameText(Golden("direct/norms_1234.txt"), run.text2));
  EXPECT_EQ(run.dialogs, "input\t输入数据\t输入数组的阶数 n：\t\t2\n");
}

TEST(MatrixNorms, TwoNormIsTheLargestSingularValue) {
  // A power iteration that lets a component die out would report 3 here.
  EXPECT_TRUE(
      SameText(CrLfLines({"    3    0", "    0    -5"}) + NormLines("5", "5", "5.830952", "5"),
               RunMethod("MatrixModel", "3 0\r\n0 -5", {"2"}).text2));
  // Non-symmetric: the norm of A, not the square root of an eigenvalue of A A.
  EXPECT_TRUE(SameText(CrLfLines({"    0    2", "    0    0"}) + NormLines("2", "2", "2", "2"),
                       RunMethod("matrix-norms", "0 2\r\n0 0", {"2"}).text2));
  EXPECT_TRUE(SameText(CrLfLines({"    0    0", "    0    0"}) + NormLines("0", "0", "0", "0"),
                       RunMethod("matrix-norms", "0 0\r\n0 0", {"2"}).text2));

  // Orders beyond the small ones take the divide-and-conquer route of the
  // decomposition. The tridiagonal 2, -1 matrix of order 24 has the norm
  // 2 + 2 cos(pi / 25) = 3.9842294026; the diagonal one ends in -5.
  std::string tridiagonal;
  std::string diagonal;
  for (int i = 1; i <= 24; ++i) {
    for (int j = 1; j <= 24; ++j) {
      tridiagonal += i == j ? "2 " : (i - j == 1 || j - i == 1) ? "-1 " : "0 ";
      diagonal += i != j ? "0 " : i == 24 ? "-5 " : i % 2 == 0 ? "3 " : "-3 ";
    }
    tridiagonal += "\r\n";
    diagonal += "\r\n";
  }
  EXPECT_NE(RunMethod("matrix-norms", tridiagonal, {"24"}, {}, 10)
                .text2.find("矩阵的2范数为(参考值)： 3.9842294026\r\n"),
            std::string::npos);
  EXPECT_NE(RunMethod("matrix-norms", diagonal, {"24"}).text2.find("矩阵的2范数为(参考值)： 5\r\n"),
            std::string::npos);
}

TEST(MatrixNorms, OnlyTheTwoAndFNormsAreRounded) {
  EXPECT_TRUE(SameText(
      CrLfLines({"    1.23456    2", "    3    4"}) + NormLines("6", "5.522", "5.525", "7"),
      RunMethod("matrix-norms", "1.23456 2\r\n3 4", {"2"}, {}, 3).text2));
}

TEST(MatrixNorms, SpectralNormOfExtremeAndNonFiniteEntries) {
  Matrix a(2, 2);
  a(1, 1) = 3e300;
  a(2, 2) = -5e300;
  EXPECT_DOUBLE_EQ(SpectralNorm(a, 2), 5e300);
  a(1, 1) = 3e-300;
  a(2, 2) = -5e-300;
  EXPECT_DOUBLE_EQ(SpectralNorm(a, 2), 5e-300);
  a(1, 2) = std::numeric_limits<double>::infinity();
  EXPECT_EQ(SpectralNorm(a, 2), std::numeric_limits<double>::infinity());
  a(2, 1) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(SpectralNorm(a, 2)));
}

}  // namespace
}  // namespace matcalc
