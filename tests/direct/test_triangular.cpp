// The triangular decomposition: its titled prompt with a default, the zero
// pivot message and the empty result pane it leaves.
#include <gtest/gtest.h>

#include <string>

#include "support/golden.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::RunMethod;
using testing::SameText;

constexpr char kOrderBox[] = "input\t输入数据\t输入矩阵的阶数 n：\t3\t";
constexpr char kNotSuitable[] = "message\t\t此方法不合适#\tok\tok\n";
constexpr char kLHeading[] = "以上是所要分解的矩阵，接下来输出三角分解后的下三角矩阵L(n)";
constexpr char kUHeading[] = "输出矩阵三角分解后的上三角矩阵U(n)";

TEST(Triangular, WorkedExample) {
  const testing::MethodOutcome run = RunMethod("lu", "4 3\r\n6 3", {"2"});
  EXPECT_TRUE(SameText(Golden("direct/lu_4363.txt"), run.text2));
  EXPECT_EQ(run.dialogs, std::string(kOrderBox) + "2\n");
}

TEST(Triangular, DefaultOrderThreeAndRoundingOnlyWhenPrinted) {
  // L(2,1) = 1/3 is printed as 0.333, but U(2,2) = 1 - 300/3 is computed
  // from the unrounded value: -99, not the -98.9 of 1 - 0.333 x 300.
  const testing::MethodOutcome run =
      RunMethod("MatrixBreak", "3 300 0\r\n1 1 0\r\n0 0 1", {"3"}, {}, 3);
  EXPECT_TRUE(SameText(
      CrLfLines({"    3    300    0", "    1    1    0", "    0    0    1", "", kLHeading,
                 "    1    0    0", "    0.333    1    0", "    0    0    1", "", kUHeading,
                 "     3     300     0", "", "     0     -99     0", "", "     0     0     1", ""}),
      run.text2));
}

TEST(Triangular, OnlyALastZeroPivotIsAccepted) {
  const testing::MethodOutcome last = RunMethod("lu", "1 2\r\n2 4", {"2"});
  EXPECT_TRUE(
      SameText(CrLfLines({"    1    2", "    2    4", "", kLHeading, "    1    0", "    2    1", "",
                          kUHeading, "     1     2", "", "     0     0", ""}),
               last.text2));
  EXPECT_EQ(last.dialogs, std::string(kOrderBox) + "2\n");

  const testing::MethodOutcome single = RunMethod("lu", "0", {"1"});
  EXPECT_TRUE(SameText(CrLfLines({"    0", "", kLHeading, "    1", "", kUHeading, "     0", ""}),
                       single.text2));

  // No pivoting: a nonsingular matrix with a zero leading entry is refused.
  const testing::MethodOutcome first = RunMethod("lu", "0 1\r\n1 0", {"2"});
  EXPECT_EQ(first.text2, "");
  EXPECT_TRUE(first.changed);
  EXPECT_EQ(first.dialogs, std::string(kOrderBox) + "2\n" + kNotSuitable);

  // A pivot that is not a number counts as zero.
  const testing::MethodOutcome nan = RunMethod("lu", "0/0 1\r\n1 1", {"2"});
  EXPECT_EQ(nan.text2, "");
  EXPECT_EQ(nan.dialogs, std::string(kOrderBox) + "2\n" + kNotSuitable);
}

TEST(Triangular, ResultPaneIsEmptiedBeforeThePrompt) {
  for (const char* answer : {"", "0", "-2", "abc", "40000"}) {
    const testing::MethodOutcome run = RunMethod("lu", "4 3\r\n6 3", {answer});
    EXPECT_EQ(run.text2, "") << answer;
    EXPECT_TRUE(run.changed) << answer;
  }
  const testing::MethodOutcome cancelled = RunMethod("lu", "4 3\r\n6 3");
  EXPECT_EQ(cancelled.text2, "");
  EXPECT_EQ(cancelled.dialogs, std::string(kOrderBox) + "(cancel)\n");
}

}  // namespace
}  // namespace matcalc
