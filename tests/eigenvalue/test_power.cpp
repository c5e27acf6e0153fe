#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dialog_lines.h"
#include "eigenvalue/power_iteration.h"
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

constexpr const char* kAskShift =
    "input\t输入参数\t适当选取参数 P 可加快迭代收敛速度。\\n输入 P 的值：\t\t";

TEST(PowerIteration, VanishingDenominatorGivesTheStandIn) {
  EXPECT_EQ(RatioEstimate(1, 1e-322, 6), RoundTo(1 / 1e-322, 6));
  EXPECT_EQ(FormatNumber(RatioEstimate(1, std::nextafter(1e-322, 0.0), 6)),
            "1.79769313486231E+308");
  EXPECT_EQ(FormatNumber(RatioEstimate(1, 0, 6)), "1.79769313486231E+308");
  EXPECT_EQ(RatioEstimate(2, 3, 3), 0.667);
}

TEST(Power, OneByOne) {
  const MethodOutcome run = RunMethod("power", "3", {"1", "0.0001"});
  EXPECT_TRUE(SameText(CrLfLines({"    3",
                                  "",
                                  "以上是所要求解的矩阵，接下来输出矩阵的初始向量值：",
                                  F(1),
                                  "",
                                  "",
                                  "接下来输出各迭代向量：",
                                  "    第 1 个分量是：",
                                  F(3),
                                  "",
                                  "    第 2 个分量是：",
                                  F(9),
                                  "",
                                  "    第 3 个分量是：",
                                  F(27),
                                  "",
                                  "",
                                  "",
                                  "幂法求矩阵的主特征值是： 3",
                                  "",
                                  "      特征向量是： ",
                                  F(27)}),
                       run.text2));
  EXPECT_EQ(run.dialogs,
            std::string(kAskOrder) + "1\n" + kAskEps + "0.0001\n" + kAskComponent + "(cancel)\n");
}

TEST(Power, SettledSecondComponentDecides) {
  const MethodOutcome run = RunMethod("power", "2 1\r\n0 1", {"2", "0.0001"});
  EXPECT_TRUE(SameText(CrLfLines({"    2    1",
                                  "    0    1",
                                  "",
                                  "以上是所要求解的矩阵，接下来输出矩阵的初始向量值：",
                                  F(1),
                                  F(1),
                                  "",
                                  "",
                                  "接下来输出各迭代向量：",
                                  "    第 1 个分量是：",
                                  F(3),
                                  F(1),
                                  "",
                                  "    第 2 个分量是：",
                                  F(7),
                                  F(1),
                                  "",
                                  "    第 3 个分量是：",
                                  F(15),
                                  F(1),
                                  "",
                                  "",
                                  "",
                                  "幂法求矩阵的主特征值是： 1",
                                  "",
                                  "      特征向量是： ",
                                  F(15),
                                  F(1)}),
                       run.text2));
}

TEST(Power, FirstComponentCountsOnlyWhenTheSecondAgrees) {
  // Both components settle at once, on 2 and 3: the first is passed over.
  const MethodOutcome run = RunMethod("power", "2 0\r\n0 3", {"2", "0.0001"});
  EXPECT_NE(run.text2.find("    第 3 个分量是：\r\n" + F(8) + "\r\n" + F(27) +
                           "\r\n\r\n\r\n\r\n幂法求矩阵的主特征值是： 3\r\n"),
            std::string::npos);
}

TEST(Power, ZeroComponentStopsTheQuestionsAndKeepsTheDefaults) {
  const MethodOutcome run =
      RunMethod("power", "1 0 0\r\n0 1 0\r\n0 0 1", {"3", "0.0001", "2", "abc", "5"});
  EXPECT_EQ(run.dialogs,
            std::string(kAskOrder) + "3\n" + kAskEps + "0.0001\n" + kAskComponent + "2\n" +
                kAskComponent + "abc\n" +
                "message\t输入值错误\t矩阵初始向量值不能是零,系统建议你采用默认值。\tok\tok\n");
  EXPECT_NE(run.text2.find("接下来输出矩阵的初始向量值：\r\n" + F(2) + "\r\n" + F(1) + "\r\n" +
                           F(1) + "\r\n\r\n"),
            std::string::npos);
}

TEST(Power, GivesUpAfterIterate201) {
  const std::string give_up =
      "message\t警告\t此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法。\\n结果是否还要查看？"
      "\tyesno\t";
  const MethodOutcome kept = RunMethod("power", "2 1\r\n0 1", {"2", "0"}, {Reply::kYes});
  const std::string last =
      "    第 201 个分量是：\r\n" + F(std::ldexp(1.0, 202) - 1) + "\r\n" + F(1) + "\r\n\r\n";
  ASSERT_GT(kept.text2.size(), last.size());
  EXPECT_EQ(kept.text2.substr(kept.text2.size() - last.size()), last);
  EXPECT_EQ(kept.dialogs, std::string(kAskOrder) + "2\n" + kAskEps + "0\n" + kAskComponent +
                              "(cancel)\n" + give_up + "yes\n");

  const MethodOutcome dropped = RunMethod("power", "2 1\r\n0 1", {"2", "0"}, {Reply::kNo});
  EXPECT_TRUE(dropped.changed);
  EXPECT_EQ(dropped.text2, "");
}

TEST(Power, VanishedComponentIsNeverAccepted) {
  // Component 2 of diag(2, 0) vanishes, so its two estimates are the same
  // stand-in; they agree, but they are no eigenvalue. Component 1 settles on 2
  // and is turned down by the second, so the method gives up.
  const MethodOutcome power = RunMethod("power", "2 0\r\n0 0", {"2", "0.0001"}, {Reply::kYes});
  EXPECT_EQ(power.text2.find("幂法求矩阵的主特征值是"), std::string::npos);
  const std::string last =
      "    第 201 个分量是：\r\n" + F(std::ldexp(1.0, 201)) + "\r\n" + F(0) + "\r\n\r\n";
  ASSERT_GT(power.text2.size(), last.size());
  EXPECT_EQ(power.text2.substr(power.text2.size() - last.size()), last);

  // A shift onto an eigenvalue whose eigenvector is x0 makes every iterate 0.
  const MethodOutcome shift = RunMethod("shift", "2 1\r\n1 2", {"2", "0.0001", "3"}, {Reply::kYes});
  EXPECT_EQ(shift.text2.find("新矩阵的特征值是"), std::string::npos);
  EXPECT_NE(shift.text2.find("    第 201 个分量是：\r\n" + F(0) + "\r\n" + F(0) + "\r\n"),
            std::string::npos);
  EXPECT_NE(shift.dialogs.find("参数选取不当"), std::string::npos);
}

TEST(Shift, ShiftedMatrixAndBothResults) {
  const MethodOutcome run = RunMethod("shift", "2 1\r\n1 2", {"2", "0.0001", "1"});
  EXPECT_TRUE(SameText(CrLfLines({"    2    1",
                                  "    1    2",
                                  "",
                                  "以上是所要求解的矩阵，接下来输出原矩阵平移1后的新矩阵值：",
                                  "    1    1",
                                  "    1    1",
                                  "",
                                  "接下来输出矩阵的初始向量值：",
                                  F(1),
                                  F(1),
                                  "",
                                  "",
                                  "接下来输出各迭代向量：",
                                  "    第 1 个分量是：",
                                  F(2),
                                  F(2),
                                  "",
                                  "    第 2 个分量是：",
                                  F(4),
                                  F(4),
                                  "",
                                  "    第 3 个分量是：",
                                  F(8),
                                  F(8),
                                  "",
                                  "",
                                  "新矩阵的特征值是： 2",
                                  "",
                                  "      特征向量是： ",
                                  F(8),
                                  F(8),
                                  "",
                                  "",
                                  "原点平移求原始矩阵的特征值是： 3",
                                  "",
                                  "      特征向量是： ",
                                  F(8),
                                  F(8)}),
                       run.text2));
  EXPECT_EQ(run.dialogs, std::string(kAskOrder) + "2\n" + kAskEps + "0.0001\n" + kAskShift + "1\n" +
                             kAskComponent + "(cancel)\n");
}

TEST(Shift, GivesUpAfterIterate201WithoutEmptyLinesBetweenLaterIterates) {
  const std::string give_up =
      "message\t警告\t参数选取不当，计算被迫终止，请重新选取。\\n结果是否还要查看？\tyesno\t";
  const MethodOutcome kept = RunMethod("shift", "2 0\r\n0 1", {"2", "0", "0"}, {Reply::kYes});
  const std::string tail = "    第 200 个分量是：\r\n" + F(std::ldexp(1.0, 200)) + "\r\n" + F(1) +
                           "\r\n    第 201 个分量是：\r\n" + F(std::ldexp(1.0, 201)) + "\r\n" +
                           F(1) + "\r\n";
  ASSERT_GT(kept.text2.size(), tail.size());
  EXPECT_EQ(kept.text2.substr(kept.text2.size() - tail.size()), tail);
  EXPECT_EQ(kept.dialogs, std::string(kAskOrder) + "2\n" + kAskEps + "0\n" + kAskShift + "0\n" +
                              kAskComponent + "(cancel)\n" + give_up + "yes\n");

  const MethodOutcome dropped = RunMethod("shift", "2 0\r\n0 1", {"2", "0", "0"}, {Reply::kNo});
  EXPECT_TRUE(dropped.changed);
  EXPECT_EQ(dropped.text2, "");
}

}  // namespace
}  // namespace matcalc
