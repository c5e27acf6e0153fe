#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "cli/runner.h"
#include "eigenvalue/jacobi.h"
#include "support/golden.h"
#include "support/matrices.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::MatrixOf;
using testing::MethodOutcome;
using testing::RunMethod;
using testing::SameText;

constexpr const char* kAskOrder = "input\t输入数据\t输入矩阵的阶数 n：\t3\t";
constexpr const char* kAskEps = "input\t输入数据\t输入矩阵特征值的精度值 eps：\t0.001\t";
constexpr const char* kGiveUp =
    "message\t警告\t此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法。\\n结果是否还要查看？"
    "\tyesno\t";

std::string Log(const std::string& order, const std::string& eps) {
  return std::string(kAskOrder) + order + "\n" + kAskEps + eps + "\n";
}

int CountOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

// A non-symmetric matrix whose passes shrink the pivot only slowly: after
// pass 101 it is about 2.98E-154, after every earlier pass above 1.19E-153.
constexpr const char* kSlowMatrix =
    "-3 4 -5 1 -1\r\n-4 6 -8 -2 -8\r\n-7 1 4 -6 2\r\n-4 1 -9 -6 1\r\n8 -9 7 0 -1";

TEST(JacobiRotation, TangentWhoseSquareUnderflowsGivesNoRotation) {
  // t = 1E-200 is not 0, but its square is.
  const JacobiRotation r = RotationFor(1, 0, 5e-201);
  EXPECT_EQ(r.s2, 0);
  EXPECT_EQ(r.s, 0);
  EXPECT_EQ(r.c, 1);
  EXPECT_EQ(r.c2, 1);
  EXPECT_EQ(RotationFor(0, 1e300, 1e-300).s, 0);  // t itself underflows
}

TEST(Jacobi, TwoByTwoNeedsOnePassAndKeepsTheResidue) {
  const MethodOutcome run = RunMethod("jacobi", "2 1\r\n1 2", {"2", "0.001"});
  EXPECT_TRUE(SameText(Golden("eigen/jacobi_2x2.txt"), run.text2));
  EXPECT_EQ(run.dialogs, Log("2", "0.001"));
}

TEST(Jacobi, BothMenuItemsAndTheRunnerWriteTheSameTrace) {
  const std::string text1 = "2 -1 0\r\n-1 2 -1\r\n0 -1 2";
  const MethodOutcome classical = RunMethod("ClassicalJacobi", text1, {"3", "0.001"});
  const MethodOutcome threshold = RunMethod("JacobiPassBarrier", text1, {"3", "0.001"});
  EXPECT_TRUE(SameText(Golden("eigen/jacobi_tridiagonal.txt"), classical.text2));
  EXPECT_TRUE(SameText(classical.text2, threshold.text2));
  EXPECT_EQ(classical.dialogs, threshold.dialogs);

  std::istringstream in("2 1\r\n1 2");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--answer", "2", "--answer", "0.001", "jacobi"}, in, out, err), 0);
  EXPECT_TRUE(SameText(Golden("eigen/jacobi_2x2.txt"), out.str()));
  EXPECT_EQ(err.str(), Log("2", "0.001"));
}

TEST(Jacobi, HugePivotRotatesAndGivesBothEigenvalues) {
  // The square of tan 2theta overflows; the computation goes on with
  // Infinity, so the first pass still rotates by about -pi/4.
  const MethodOutcome run = RunMethod("jacobi", "1 1e200\r\n1e200 2", {"2", "1"});
  EXPECT_TRUE(SameText(Golden("eigen/jacobi_huge_pivot.txt"), run.text2));
}

TEST(Jacobi, DiagonalMatrixNeedsNoPassAndTinyElementsPrintAsZero) {
  const MethodOutcome run = RunMethod("jacobi", "1 0 0\r\n1e-20 2 0\r\n1e-19 0 3", {"3", "0.5"});
  const std::string z = Field24(0);
  EXPECT_TRUE(
      SameText(CrLfLines({"    1    0    0", "    1E-20    2    0", "    1E-19    0    3", "",
                          "以上是所要求解的矩阵", "", "", "以下矩阵中对角线元素即为所求的特征值：",
                          Field24(1) + z + z, z + Field24(2) + z, Field24(1e-19) + z + Field24(3),
                          "", "    以下矩阵中列向量即为所求的特征向量（R1*R2*......*Rn）：",
                          Field24(1) + z + z, z + Field24(1) + z, z + z + Field24(1), "", "",
                          "此方法只适合于对称矩阵！  编程算法有待进一步完善。"}),
               run.text2));
  EXPECT_EQ(run.dialogs, Log("3", "0.5"));
}

TEST(Jacobi, PassThatLeavesTheMatrixDiagonalHasConverged) {
  // eps = 0 can never be undercut; an exactly diagonal matrix ends the
  // passes all the same; this rotation leaves an exact 0 where the pivot was.
  const MethodOutcome run = RunMethod("jacobi", "-8 1\r\n1 -6", {"2", "0"});
  EXPECT_EQ(CountOf(run.text2, "次正交相似变换的矩阵A1："), 1);
  EXPECT_NE(run.text2.find("以下矩阵中对角线元素即为所求的特征值：\r\n" +
                           Field24(-8.41421356237310) + Field24(0) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(run.dialogs, Log("2", "0"));
}

TEST(Jacobi, HundredAndFirstPassMayStillConverge) {
  const MethodOutcome run = RunMethod("jacobi", kSlowMatrix, {"5", "5e-154"});
  EXPECT_EQ(CountOf(run.text2, "次正交相似变换的矩阵A1："), 101);
  EXPECT_NE(run.text2.find("第 100 次正交相似变换的矩阵A1："), std::string::npos);
  EXPECT_EQ(run.text2.find("此方法不适合这个矩阵"), std::string::npos);
  EXPECT_NE(run.text2.find("\r\n\r\n\r\n以下矩阵中对角线元素即为所求的特征值："),
            std::string::npos);
  EXPECT_EQ(run.dialogs, Log("5", "5e-154"));
}

TEST(Jacobi, GivingUpAfterTheHundredAndFirstPassAsksWhetherToKeepTheTrace) {
  const MethodOutcome kept = RunMethod("jacobi", kSlowMatrix, {"5", "1e-154"}, {Reply::kYes});
  EXPECT_EQ(CountOf(kept.text2, "次正交相似变换的矩阵A1："), 101);
  EXPECT_NE(kept.text2.find("\r\n\r\n此方法不适合这个矩阵，计算被迫终止。\r\n\r\n"
                            "以下矩阵中对角线元素即为所求的特征值："),
            std::string::npos);
  EXPECT_EQ(kept.dialogs, Log("5", "1e-154") + kGiveUp + "yes\n");

  const MethodOutcome dropped = RunMethod("jacobi", kSlowMatrix, {"5", "1e-154"}, {Reply::kNo});
  EXPECT_TRUE(dropped.changed);
  EXPECT_EQ(dropped.text2, "");
  EXPECT_EQ(dropped.dialogs, Log("5", "1e-154") + kGiveUp + "no\n");
}

TEST(FindLargestOffDiagonal, FirstStrictlyLargestOfTheUpperTriangle) {
  const Matrix a = MatrixOf({{4, 1, -3}, {1, 2, 3}, {-3, 3, 1}});
  int p = 3;
  int q = 3;
  FindLargestOffDiagonal(a, p, q);
  EXPECT_EQ(p, 1);
  EXPECT_EQ(q, 3);

  // Only the upper triangle counts.
  const Matrix lower = MatrixOf({{1, 1, 0}, {9, 1, 2}, {9, 9, 1}});
  p = q = 3;
  FindLargestOffDiagonal(lower, p, q);
  EXPECT_EQ(p, 2);
  EXPECT_EQ(q, 3);
}

TEST(FindLargestOffDiagonal, NothingAboveTheDiagonalGivesZeros) {
  const Matrix diagonal = MatrixOf({{5, 0, 0}, {0, 6, 0}, {7, 0, 8}});
  int p = 3;
  int q = 3;
  FindLargestOffDiagonal(diagonal, p, q);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);

  const Matrix single = MatrixOf({{5}});
  p = q = 1;
  FindLargestOffDiagonal(single, p, q);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);

  // NaN never compares larger.
  const Matrix undefined = MatrixOf({{1, std::nan("")}, {0, 1}});
  p = q = 2;
  FindLargestOffDiagonal(undefined, p, q);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);
}

}  // namespace
}  // namespace matcalc
