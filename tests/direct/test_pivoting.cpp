// The two pivoting eliminations: the determinant (with the routine it shares
// with the definiteness test) and the Gauss-Jordan inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "direct/linear_routines.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::RunMethod;
using testing::SameText;

constexpr char kOrderBox[] = "input\t\t输入矩阵的阶数 n：\t\t";

// The trace of a method that ends without a final line break.
std::string Unterminated(std::string text) {
  text.resize(text.size() - 2);
  return text;
}

std::string DeterminantTail(std::string_view count, std::string_view value) {
  return CrLfLines({"", std::string("行、列共交换 ") + std::string(count) + " 次", "",
                    "行列式的值为：", std::string("   ") + std::string(value), ""}) +
         "选主元消去法的应用——求行列式的值。";
}

TEST(Determinant, WorkedExampleWithOneExchange) {
  const testing::MethodOutcome run = RunMethod("determinant", "1 2\r\n3 4", {"2"});
  EXPECT_TRUE(SameText(Golden("direct/determinant_1234.txt"), run.text2));
  EXPECT_EQ(run.dialogs, std::string(kOrderBox) + "2\n");

  // The elimination rounds to 7 places whatever D is: with D = 15 the
  // eliminated matrix and the determinant show those 7 places unchanged.
  const std::string text2 = RunMethod("determinant", "1 2\r\n3 4", {"2"}, {}, 15).text2;
  EXPECT_NE(text2.find("\r\n  0  0.6666667\r\n"), std::string::npos) << text2;
  EXPECT_NE(text2.find("\r\n   -2.0000001\r\n"), std::string::npos) << text2;
}

TEST(Determinant, SingleEntryIsShownUnroundedThenWithOneMorePlace) {
  const testing::MethodOutcome run = RunMethod("A_range", "1/3", {"1"}, {}, 3);
  EXPECT_TRUE(SameText(
      CrLfLines({"  0.333333333333333", "", "输出行列式选主元、消元后的结果", "  0.3333"}) +
          DeterminantTail("0", "0.333"),
      run.text2));
}

TEST(Determinant, PivotTiesKeepTheUpperRow) {
  // |-2| equals |2| below it: no exchange.
  EXPECT_TRUE(SameText(
      CrLfLines({"  -2  1", "  2  3", "", "输出行列式选主元、消元后的结果", "  -2  1", "  0  4"}) +
          DeterminantTail("0", "-8"),
      RunMethod("determinant", "-2 1\r\n2 3", {"2"}).text2));
  // Rows 2 and 3 tie at 3 in column 1: the upper one, row 2, is the pivot.
  const std::string text2 = RunMethod("determinant", "1 0 0\r\n3 1 0\r\n-3 0 1", {"3"}).text2;
  EXPECT_NE(text2.find("输出行列式选主元、消元后的结果\r\n  3  1  0\r\n"), std::string::npos)
      << text2;
  EXPECT_NE(text2.find("行、列共交换 2 次"), std::string::npos) << text2;
}

TEST(Determinant, EvenExchangeCountKeepsTheSign) {
  // A cyclic permutation: two exchanges, determinant +1.
  const std::string text2 = RunMethod("determinant", "0 0 1\r\n1 0 0\r\n0 1 0", {"3"}).text2;
  EXPECT_NE(text2.find("  1  0  0\r\n  0  1  0\r\n  0  0  1\r\n" + DeterminantTail("2", "1")),
            std::string::npos)
      << text2;
}

TEST(Pivoting, ExchangesMoveOnlyTheColumnsFromThePivotOn) {
  // Large entries leave a remainder of -1E-06 below the first pivot. Step 2
  // exchanges rows 2 and 3 from column 2 on, so the remainder stays in row 2.
  EXPECT_NE(RunMethod("determinant", "44 9 35\r\n-73E8 2 71\r\n95E8 5 21E8", {"3"})
                .text2.find("输出行列式选主元、消元后的结果\r\n"
                            "  9500000000  5  2100000000\r\n"
                            "  -1E-06  9  25.2736842\r\n"
                            "  0  0  1613684265.12059\r\n"),
            std::string::npos);
  // With D = 15 nothing is rounded, so the inverse keeps the tiny remainder
  // that step 1 leaves in row 3, column 1; step 2 exchanges rows 2 and 3 from
  // column 2 on, so it stays in row 3.
  const std::string text2 = RunMethod("inverse", "4 0 7\r\n-5 1 9\r\n6/7 5 1", {"3"}, {}, 15).text2;
  EXPECT_NE(text2.find("\r\n  0  1  0  -0.0356142456982793  0.00560224089635854  0.198879551820728"
                       "\r\n  -8.04123119076244E-18  0  1  "),
            std::string::npos)
      << text2;
}

TEST(Determinant, ZeroPivotLeavesTheRowsBelowUntouched) {
  // With D = 15 the working matrix is printed unrounded: the entry below the
  // zero pivot must neither become NaN nor be rounded to 7 places.
  const testing::MethodOutcome run =
      RunMethod("determinant", "0 1\r\n0 0.123456789012345", {"2"}, {}, 15);
  EXPECT_TRUE(
      SameText(CrLfLines({"  0  1", "  0  0.123456789012345", "", "输出行列式选主元、消元后的结果",
                          "  0  1", "  0  0.123456789012345"}) +
                   DeterminantTail("0", "0"),
               run.text2));

  // A zero column in the middle: step 2 is skipped, step 3 still eliminates.
  Matrix a(3, 3);
  const double rows[3][3] = {{2, 4, 1}, {1, 2, 5}, {3, 6, 7}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) a(i, j) = rows[i - 1][j - 1];
  int exchanges = -1;
  EXPECT_EQ(PivotDeterminant(a, exchanges), 0.0);
  EXPECT_EQ(exchanges, 1);
  for (int j = 1; j <= 3; ++j) EXPECT_FALSE(std::isnan(a(3, j))) << j;
}

TEST(Inverse, WorkedExample) {
  const testing::MethodOutcome run = RunMethod("inverse", "4 7\r\n2 6", {"2"});
  EXPECT_TRUE(SameText(Golden("direct/inverse_4726.txt"), run.text2));
  EXPECT_EQ(run.dialogs, std::string(kOrderBox) + "2\n");
}

TEST(Inverse, AugmentedMatrixHasOneMorePlaceThanTheInverse) {
  EXPECT_TRUE(SameText(Unterminated(CrLfLines({"  3", "", "输出矩阵选主元、消元后的结果",
                                               "  1  0.3333333", "", "矩阵的逆为：", "  0.333333",
                                               "", "", "选主元消去法的应用——求矩阵的逆。"})),
                       RunMethod("A_matrix", "3", {"1"}).text2));
}

TEST(Inverse, SmallDigitsShowTheIntermediateRounding) {
  // D = 1: the other rows are rounded to 2 places at every step, so for the
  // inverse of 3 1 / 1 3 (exactly 0.375 -0.125 / -0.125 0.375) the block
  // shows 0.37 where unrounded elimination would give 0.38.
  const std::string text2 = RunMethod("inverse", "3 1\r\n1 3", {"2"}, {}, 1).text2;
  EXPECT_NE(text2.find("输出矩阵选主元、消元后的结果\r\n"
                       "  1  0  0.37  -0.12\r\n"
                       "  0  1  -0.12  0.37\r\n"),
            std::string::npos)
      << text2;
  // The pivot row is divided unrounded: 1/3 enters step 2 in full, which
  // gives -0.4975 and 0.4975 in row 1, not the -0.49 and 0.49 that 0.33 would.
  EXPECT_NE(RunMethod("inverse", "1 1\r\n3 1", {"2"}, {}, 1)
                .text2.find("\r\n  1  0  -0.5  0.5\r\n  0  1  1.49  -0.49\r\n"),
            std::string::npos);
}

TEST(Inverse, PivotTiesKeepTheUpperRow) {
  // |4| ties with |-4|: row 1 stays the pivot row. Starting from row 2 the
  // rounding would end on -0.075000000000000011 and print -0.08.
  EXPECT_NE(RunMethod("inverse", "4 -3\r\n-4 -7", {"2"}, {}, 1)
                .text2.find("结果\r\n  1  0  0.17  -0.07\r\n  0  1  -0.1  -0.1\r\n"),
            std::string::npos);
}

TEST(Inverse, SingularMatrixWritesTheWholeTraceWithNonFiniteValues) {
  const testing::MethodOutcome run = RunMethod("inverse", "1 2\r\n2 4", {"2"});
  EXPECT_TRUE(SameText(
      Unterminated(CrLfLines({"  1  2", "  2  4", "", "输出矩阵选主元、消元后的结果",
                              "  1  NaN  -Infinity  Infinity", "  NaN  NaN  Infinity  -Infinity",
                              "", "矩阵的逆为：", "  -Infinity  Infinity", "  Infinity  -Infinity",
                              "", "", "选主元消去法的应用——求矩阵的逆。"})),
      run.text2));
  EXPECT_EQ(run.dialogs, std::string(kOrderBox) + "2\n");  // no message box
}

}  // namespace
}  // namespace matcalc
