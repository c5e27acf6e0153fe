#include <gtest/gtest.h>

#include "support/golden.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::RunMethod;
using testing::SameText;

TEST(VectorNorms, ThreeMinusFour) {
  const testing::MethodOutcome run = RunMethod("vector-norms", "3 -4");
  EXPECT_TRUE(
      SameText(CrLfLines({"    3    -4", "以上是所要求解的向量，接下来输出向量的范数", "",
                          "向量的1范数为： 7", "向量的2范数为： 5", "向量的无穷范数为： 4"}),
               run.text2));
  EXPECT_EQ(run.dialogs, "");
}

TEST(VectorNorms, OneComponentGivesItsMagnitudeThrice) {
  const testing::MethodOutcome run = RunMethod("VectorModel", "  -2.5\r\n7 8");
  EXPECT_TRUE(
      SameText(CrLfLines({"    -2.5", "以上是所要求解的向量，接下来输出向量的范数", "",
                          "向量的1范数为： 2.5", "向量的2范数为： 2.5", "向量的无穷范数为： 2.5"}),
               run.text2));
}

TEST(VectorNorms, TwoNormIsRoundedToTheDigitsOthersAreNot) {
  const testing::MethodOutcome run = RunMethod("vector-norms", "1 1 0.1234567", {}, {}, 3);
  EXPECT_TRUE(SameText(
      CrLfLines({"    1    1    0.1234567", "以上是所要求解的向量，接下来输出向量的范数", "",
                 "向量的1范数为： 2.1234567", "向量的2范数为： 1.42", "向量的无穷范数为： 1"}),
      run.text2));
}

TEST(VectorNorms, TextWithoutEntriesLeavesTheResultPaneEmpty) {
  const testing::MethodOutcome run = RunMethod("vector-norms", "\r\n \r\n");
  EXPECT_TRUE(run.changed);
  EXPECT_EQ(run.text2, "");
}

}  // namespace
}  // namespace matcalc
