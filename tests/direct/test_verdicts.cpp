// The two tests that end in a verdict: positive definiteness by leading
// minors, and strict diagonal dominance by rows.
#include <gtest/gtest.h>

#include <string>

#include "support/golden.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::RunMethod;
using testing::SameText;

constexpr char kMinorsHeading[] = "以上是该矩阵的各元素";
constexpr char kMinorsHeading2[] = "下面输出各阶顺序主子式的值：";
constexpr char kDefinite[] = "该矩阵各阶顺序主子式的值全大于 0 ，是正定矩阵。";
constexpr char kNotSymmetric[] = "该矩阵不是对称矩阵，顺序主子式判别法不适用，无法判定其是否正定。";

std::string Minor(int k, std::string_view value) {
  return "  " + std::to_string(k) + " 阶顺序主子式的值为： " + std::string(value);
}
std::string NotDefinite(int k) {
  return "第 " + std::to_string(k) + " 阶顺序主子式的值不大于 0 ，该矩阵非正定。";
}

TEST(PositiveDefinite, EachVerdict) {
  const testing::MethodOutcome definite = RunMethod("positive-definite", "2 -1\r\n-1 2", {"2"});
  EXPECT_TRUE(SameText(CrLfLines({"  2  -1", "  -1  2", "", kMinorsHeading, kMinorsHeading2,
                                  Minor(1, "2"), Minor(2, "3"), "", kDefinite}),
                       definite.text2));
  EXPECT_EQ(definite.dialogs, "input\t\t输入矩阵的阶数 n：\t\t2\n");

  // Stops at the first minor that is not positive.
  EXPECT_TRUE(SameText(CrLfLines({"  1  2", "  2  1", "", kMinorsHeading, kMinorsHeading2,
                                  Minor(1, "1"), Minor(2, "-3"), "", NotDefinite(2)}),
                       RunMethod("CMatrixJudge", "1 2\r\n2 1", {"2"}).text2));
  EXPECT_TRUE(SameText(CrLfLines({"  0  1", "  1  5", "", kMinorsHeading, kMinorsHeading2,
                                  Minor(1, "0"), "", NotDefinite(1)}),
                       RunMethod("positive-definite", "0 1\r\n1 5", {"2"}).text2));
}

TEST(PositiveDefinite, NonSymmetricMatrixGetsNoVerdict) {
  // Positive minors, yet x = (1, -1) gives x'Ax = -3.
  EXPECT_TRUE(SameText(CrLfLines({"  1  5", "  0  1", "", kMinorsHeading, kMinorsHeading2,
                                  Minor(1, "1"), Minor(2, "1"), "", kNotSymmetric}),
                       RunMethod("positive-definite", "1 5\r\n0 1", {"2"}).text2));
  // A failing minor of a non-symmetric matrix decides nothing either.
  EXPECT_TRUE(SameText(CrLfLines({"  1  2", "  3  4", "", kMinorsHeading, kMinorsHeading2,
                                  Minor(1, "1"), Minor(2, "-2"), "", kNotSymmetric}),
                       RunMethod("positive-definite", "1 2\r\n3 4", {"2"}).text2));
}

TEST(PositiveDefinite, MinorIsTestedBeforeRounding) {
  EXPECT_TRUE(SameText(
      CrLfLines({"  4E-07", "", kMinorsHeading, kMinorsHeading2, Minor(1, "0"), "", kDefinite}),
      RunMethod("positive-definite", "0.0000004", {"1"}).text2));
  // Minors come from the 7-place elimination: 3 x (3 - 1/3 rounded).
  const std::string text2 =
      RunMethod("positive-definite", "3 1 1\r\n1 3 1\r\n1 1 3", {"3"}, {}, 15).text2;
  EXPECT_NE(text2.find(Minor(2, "8.0000001")), std::string::npos) << text2;
}

constexpr char kRowsHeading[] = "以上是该矩阵的元素";
constexpr char kRowsHeading2[] = "下面输出各行的判断结果：";

std::string NotDominant(int row) {
  return CrLfLines(
      {"第 " + std::to_string(row) + " 行对角元素的绝对值不严格大于同行的其他元素的绝对值之和", "",
       "因此该矩阵不是严格对角占优矩阵。"});
}
const std::string kDominant =
    CrLfLines({"该矩阵每一行对角元素的绝对值都严格大于同行的其他元素的绝对值之和", "",
               "因此该矩阵是严格对角占优矩阵。", ""}) +
    "同时该矩阵也为非奇异矩阵。";

TEST(DiagonalDominance, EachVerdict) {
  const testing::MethodOutcome dominant =
      RunMethod("diagonal-dominance", "4 1 1\r\n1 5 2\r\n0 1 3", {"3"});
  EXPECT_TRUE(
      SameText(CrLfLines({"  4  1  1", "  1  5  2", "  0  1  3", "", kRowsHeading, kRowsHeading2}) +
                   kDominant,
               dominant.text2));
  EXPECT_EQ(dominant.dialogs, "input\t\t输入矩阵的阶数 n：\t\t3\n");

  // Equality is not enough, and the rows after the first failure are not
  // looked at.
  EXPECT_TRUE(
      SameText(CrLfLines({"  2  2", "  1  3", "", kRowsHeading, kRowsHeading2}) + NotDominant(1),
               RunMethod("StrictMatrixJudge", "2 2\r\n1 3", {"2"}).text2));
  EXPECT_TRUE(
      SameText(CrLfLines({"  3  1", "  4  2", "", kRowsHeading, kRowsHeading2}) + NotDominant(2),
               RunMethod("diagonal-dominance", "3 1\r\n4 2", {"2"}).text2));
}

TEST(DiagonalDominance, MagnitudesAndSingleEntries) {
  EXPECT_TRUE(RunMethod("diagonal-dominance", "-4 1\r\n1 -4", {"2"}).text2.ends_with(kDominant));
  EXPECT_TRUE(RunMethod("diagonal-dominance", "-0.5", {"1"}).text2.ends_with(kDominant));
  EXPECT_TRUE(RunMethod("diagonal-dominance", "0", {"1"}).text2.ends_with(NotDominant(1)));
  // A diagonal that is not a number compares as not greater.
  EXPECT_TRUE(RunMethod("diagonal-dominance", "0/0", {"1"}).text2.ends_with(NotDominant(1)));
}

}  // namespace
}  // namespace matcalc
