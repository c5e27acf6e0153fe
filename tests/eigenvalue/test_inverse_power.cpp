#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "dialog_lines.h"
#include "eigenvalue/inverse_power.h"
#include "support/golden.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::F;
using testing::kAskComponent;
using testing::kAskEps;
using testing::kAskOrder;
using testing::MethodOutcome;
using testing::RunMethod;
using testing::SameText;

Vector V(std::initializer_list<double> values) {
  Vector v(static_cast<int>(values.size()));
  int i = 0;
  for (const double value : values) v(++i) = value;
  return v;
}

TEST(LargestComponent, LargestMagnitudeWithItsSignFirstOnTies) {
  EXPECT_EQ(LargestComponent(V({-0.5, 0.25})), -0.5);
  EXPECT_EQ(LargestComponent(V({0.25, -0.5, 0.5})), -0.5);
  EXPECT_EQ(LargestComponent(V({std::numeric_limits<double>::quiet_NaN(), 2})), 2);
  EXPECT_EQ(LargestComponent(V({0, 0})), 0);
}

TEST(SolveLU, ForwardStartsUnroundedAndZeroPivotStopsTheBackSubstitution) {
  Matrix l(2, 2);
  Matrix u(2, 2);
  l(2, 1) = 3;
  u(1, 1) = 1;
  u(2, 2) = 1;
  Vector x;
  Vector y;
  // y(1) keeps all of 1/3, so y(2) = -1 and not -0.99.
  ASSERT_TRUE(SolveLU(l, u, V({1.0 / 3, 0}), x, y, 2, 2));
  EXPECT_EQ(y(1), 1.0 / 3);
  EXPECT_EQ(y(2), -1);
  EXPECT_EQ(x, V({0.33, -1}));

  u(1, 2) = 2;
  u(2, 2) = 0;
  EXPECT_FALSE(SolveLU(l, u, V({1, 1}), x, y, 2, 6));
  EXPECT_EQ(x, V({0, 0}));
}

TEST(InversePower, DiagonalTwoFour) {
  const MethodOutcome run = RunMethod("inverse-power", "2 0\r\n0 4", {"2", "0.0001"});
  EXPECT_TRUE(SameText(CrLfLines({"    2    0",
                                  "    0    4",
                                  "",
                                  "以上是原始矩阵，接下来输出三角分解后的下三角矩阵L(n)",
                                  "    1    0",
                                  "    0    1",
                                  "",
                                  "输出矩阵三角分解后的上三角矩阵U(n)",
                                  "     2     0",
                                  "",
                                  "     0     4",
                                  "",
                                  "",
                                  "初始向量是：" + F(1) + F(1),
                                  "",
                                  "第 1 次归一化向量是：" + F(1) + F(0.5),
                                  "    近似特征值：0.5",
                                  "    本次未归一化向量是：",
                                  F(0.5) + F(0.25),
                                  "",
                                  "第 2 次归一化向量是：" + F(1) + F(0.25),
                                  "    近似特征值：0.5",
                                  "    本次未归一化向量是：",
                                  F(0.5) + F(0.125),
                                  "",
                                  "",
                                  "反幂法求矩阵 按模最小的特征值是： 2",
                                  "",
                                  "      对应的特征向量是： ",
                                  F(1),
                                  F(0.25)}),
                       run.text2));
  EXPECT_EQ(run.dialogs,
            std::string(kAskOrder) + "2\n" + kAskEps + "0.0001\n" + kAskComponent + "(cancel)\n");
}

TEST(InversePower, NegativeSmallestEigenvalueConverges) {
  const MethodOutcome run = RunMethod("inverse-power", "-2 0\r\n0 4", {"2", "0.0001"});
  EXPECT_NE(
      run.text2.find("第 1 次归一化向量是：" + F(1) + F(-0.5) + "\r\n    近似特征值：-0.5\r\n"),
      std::string::npos);
  const std::string tail = "第 2 次归一化向量是：" + F(1) + F(0.25) +
                           "\r\n    近似特征值：-0.5\r\n    本次未归一化向量是：\r\n" + F(-0.5) +
                           F(-0.125) + "\r\n\r\n\r\n反幂法求矩阵 按模最小的特征值是： -2\r\n\r\n" +
                           "      对应的特征向量是： \r\n" + F(1) + "\r\n" + F(0.25) + "\r\n";
  ASSERT_GT(run.text2.size(), tail.size());
  EXPECT_EQ(run.text2.substr(run.text2.size() - tail.size()), tail);
}

TEST(InversePower, OneByOne) {
  const MethodOutcome run = RunMethod("inverse-power", "4", {"1", "0.0001"});
  EXPECT_NE(run.text2.find(
                "\r\n\r\n反幂法求矩阵 按模最小的特征值是： 4\r\n\r\n      对应的特征向量是： \r\n" +
                F(1) + "\r\n"),
            std::string::npos);
}

TEST(InversePower, ZeroLeadingPivotEndsBeforeAnyOutput) {
  const MethodOutcome run = RunMethod("inverse-power", "0 1\r\n1 0", {"2", "0.0001", "5"});
  EXPECT_FALSE(run.changed);
  EXPECT_EQ(run.text2, "previous result");
  EXPECT_EQ(run.dialogs, std::string(kAskOrder) + "2\n" + kAskEps + "0.0001\n" +
                             "message\t\t此方法不合适#\tok\tok\n");
}

TEST(InversePower, SingularMatrixReportsEigenvalueZero) {
  const MethodOutcome run = RunMethod("inverse-power", "1 2\r\n2 4", {"2", "0.0001"});
  const std::string unsuitable = "message\t\t此方法不合适！\tok\tok\n";
  EXPECT_EQ(run.dialogs, std::string(kAskOrder) + "2\n" + kAskEps + "0.0001\n" + kAskComponent +
                             "(cancel)\n" + unsuitable + unsuitable);
  EXPECT_TRUE(SameText(CrLfLines({"    1    2",
                                  "    2    4",
                                  "",
                                  "以上是原始矩阵，接下来输出三角分解后的下三角矩阵L(n)",
                                  "    1    0",
                                  "    2    1",
                                  "",
                                  "输出矩阵三角分解后的上三角矩阵U(n)",
                                  "     1     2",
                                  "",
                                  "     0     0",
                                  "",
                                  "",
                                  "初始向量是：" + F(1) + F(1),
                                  "",
                                  "第 1 次归一化向量是：" + F(0) + F(0),
                                  "    近似特征值：0",
                                  "    本次未归一化向量是：",
                                  F(0) + F(0),
                                  "",
                                  "第 2 次归一化向量是：" + F(0) + F(0),
                                  "    近似特征值：0",
                                  "    本次未归一化向量是：",
                                  F(0) + F(0),
                                  "",
                                  "",
                                  "反幂法求矩阵 按模最小的特征值是： 0",
                                  "",
                                  "      对应的特征向量是： ",
                                  F(0),
                                  F(0)}),
                       run.text2));
}

TEST(InversePower, GivesUpAfterIteration200) {
  const MethodOutcome kept = RunMethod("inverse-power", "2 0\r\n0 4", {"2", "0"}, {Reply::kYes});
  const std::string tail = "第 200 次归一化向量是：" + F(1) + F(RoundTo(std::ldexp(1.0, -200), 6)) +
                           "\r\n    近似特征值：0.5\r\n    本次未归一化向量是：\r\n" + F(0.5) +
                           F(RoundTo(std::ldexp(1.0, -201), 6)) + "\r\n";
  ASSERT_GT(kept.text2.size(), tail.size());
  EXPECT_EQ(kept.text2.substr(kept.text2.size() - tail.size()), tail);
  EXPECT_EQ(kept.dialogs,
            std::string(kAskOrder) + "2\n" + kAskEps + "0\n" + kAskComponent + "(cancel)\n" +
                "message\t警告\t此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法。\\n"
                "结果是否还要查看？\tyesno\tyes\n");

  const MethodOutcome dropped = RunMethod("inverse-power", "2 0\r\n0 4", {"2", "0"}, {Reply::kNo});
  EXPECT_TRUE(dropped.changed);
  EXPECT_EQ(dropped.text2, "");
}

}  // namespace
}  // namespace matcalc
