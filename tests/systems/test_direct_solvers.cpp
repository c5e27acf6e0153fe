// The direct solvers and the condition numbers as commands: textbook
// systems as golden traces, every place where a method cannot go on, and the
// order box, the budgets and a stop leaving both panes as they were.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/budget.h"
#include "support/golden.h"
#include "support/stopping_sink.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::RunMethod;
using testing::SameText;

const std::vector<std::string> kMethods = {"gauss", "lu-solve",    "cholesky",
                                           "ldlt",  "tridiagonal", "condition"};

// The trace after the line that ends the opening (the augmented matrix or
// the matrix, and the heading).
std::string AfterOpening(const std::string& trace) {
  const std::size_t heading = trace.find("以上是所要求解的");
  if (heading == std::string::npos) return "(no opening in)\n" + trace;
  return trace.substr(trace.find("\r\n", heading) + 2);
}

TEST(DirectSolvers, TextbookSystemsGiveTheirKnownSolutions) {
  struct Case {
    const char* method;
    const char* text;
    const char* order;
    const char* golden;
  };
  const char* pivoting = "1 2 3 14\r\n2 5 2 18\r\n3 1 5 20\r\n";      // x = 1, 2, 3
  const char* positive = "4 -2 2 4\r\n-2 2 -3 -3\r\n2 -3 14 13\r\n";  // x = 1, 1, 1
  const Case cases[] = {
      {"gauss", pivoting, "3", "systems/gauss_pivoting_3x3.txt"},
      {"lu-solve", pivoting, "3", "systems/lu_solve_3x3.txt"},
      {"cholesky", positive, "3", "systems/cholesky_spd_3x3.txt"},
      {"ldlt", positive, "3", "systems/ldlt_spd_3x3.txt"},
      {"tridiagonal", "2 1 0 0 3\r\n1 3 1 0 5\r\n0 1 3 1 5\r\n0 0 1 2 3\r\n", "4",
       "systems/tridiagonal_4x4.txt"},
      // The Hilbert matrix of order 3: its inverse has integer entries and
      // cond1 = cond∞ = 748.
      {"condition", "1 1/2 1/3\r\n1/2 1/3 1/4\r\n1/3 1/4 1/5\r\n", "3",
       "systems/condition_hilbert_3x3.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const testing::MethodOutcome run = RunMethod(c.method, c.text, {c.order});
    EXPECT_TRUE(SameText(Golden(c.golden), run.text2));
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
  }
}

TEST(DirectSolvers, OpeningShowsTheAugmentedMatrixUnrounded) {
  const testing::MethodOutcome run = RunMethod("gauss", "1/3 2 2\r\n1 -0.5E-7", {"2"});
  EXPECT_TRUE(run.text2.starts_with(CrLfLines({
      "    0.333333333333333    2    2",
      "    1    -5E-08    2",  // a short row repeats b from the row above
      "",
      "以上是所要求解的方程组的增广矩阵，接下来输出每步选主元、消元后的增广矩阵：",
  }))) << run.text2;
}

// Where a method cannot go on: the reason is the trace's last line, after an
// empty line, with nothing computed after it; no box is shown.
TEST(DirectSolvers, EachStopIsTheLastLineOfTheTrace) {
  struct Case {
    const char* what;
    const char* method;
    const char* text;
    const char* order;
    std::string after_opening;
  };
  const Case cases[] = {
      {"first column zero", "gauss", "0 1 1\r\n0 2 3\r\n0 1 1", "3",
       CrLfLines({"", "第 1 列的主元为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"second column zero after a step", "gauss", "1 2 3 1\r\n2 4 5 2\r\n4 8 7 3", "3",
       CrLfLines({"", "第 1 步：第 3 行为主元行", "    4    8    7    3",
                  "    0    0    1.5    0.5", "    0    0    1.25    0.25", "",
                  "第 2 列的主元为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"last pivot zero (k = n)", "gauss", "1 2 3\r\n2 4 6", "2",
       CrLfLines({"", "第 1 步：第 2 行为主元行", "    2    4    6", "    0    0    0", "",
                  "第 2 列的主元为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"n = 1, zero", "gauss", "0 5", "1",
       CrLfLines({"", "第 1 列的主元为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"n = 1, not a number", "gauss", "0/0 5", "1",
       CrLfLines({"", "第 1 列的主元为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"n = 1 solved", "gauss", "2 6", "1", CrLfLines({"", "回代求得方程组的解：", "    x1 = 3"})},
      {"leading pivot zero", "lu-solve", "0 1 1\r\n1 0 1", "2",
       CrLfLines({"", "U(1,1) 为零，三角分解法不适用。"})},
      {"middle pivot zero", "lu-solve", "1 2 3 1\r\n2 4 5 1\r\n1 1 1 1", "3",
       CrLfLines({"", "U(2,2) 为零，三角分解法不适用。"})},
      {"last pivot zero", "lu-solve", "1 2 3\r\n2 4 6", "2",
       CrLfLines({"    1    0", "    2    1", "", "上三角矩阵U：", "    1    2", "    0    0", "",
                  "U(2,2) 为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"n = 1, zero", "lu-solve", "0 1", "1",
       CrLfLines({"    1", "", "上三角矩阵U：", "    0", "",
                  "U(1,1) 为零，系数矩阵奇异，方程组没有唯一解。"})},
      {"not symmetric", "cholesky", "1 2 1\r\n3 4 1", "2",
       CrLfLines({"", "系数矩阵不对称，平方根法不适用。"})},
      {"negative radicand", "cholesky", "1 2 1\r\n2 1 1", "2",
       CrLfLines({"", "第 2 步开方数为 -3，系数矩阵不是正定矩阵，平方根法不适用。"})},
      {"zero radicand", "cholesky", "0 1", "1",
       CrLfLines({"", "第 1 步开方数为 0，系数矩阵不是正定矩阵，平方根法不适用。"})},
      {"radicand rounded to D", "cholesky", "1 0.1 0\r\n0.1 0.01-1e-9 0", "2",
       CrLfLines({"", "第 2 步开方数为 0，系数矩阵不是正定矩阵，平方根法不适用。"})},
      {"not symmetric", "ldlt", "1 2 1\r\n3 4 1", "2",
       CrLfLines({"", "系数矩阵不对称，改进平方根法不适用。"})},
      {"first divisor zero", "ldlt", "0 1 1\r\n1 1 1", "2",
       CrLfLines({"", "d(1) 为零，改进平方根法不适用。"})},
      {"last d zero", "ldlt", "1 2 1\r\n2 4 1", "2",
       CrLfLines({"", "d(2) 为零，改进平方根法不适用。"})},
      {"first u zero", "tridiagonal", "0 1 1\r\n1 1 1", "2",
       CrLfLines({"", "u(1) 为零，追赶法不适用。"})},
      {"last u zero", "tridiagonal", "1 1 1\r\n1 1 1", "2",
       CrLfLines({"", "u(2) 为零，追赶法不适用。"})},
      {"zero pivot", "condition", "1 2\r\n2 4", "2", CrLfLines({"", "矩阵奇异，条件数为无穷大。"})},
      // An infinite entry: the elimination goes through (the inverse is 0),
      // but there are no singular values to divide.
      {"not finite", "condition", "1e308*10", "1", CrLfLines({"", "矩阵奇异，条件数为无穷大。"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method) + ": " + c.what);
    const testing::MethodOutcome run = RunMethod(c.method, c.text, {c.order});
    EXPECT_TRUE(SameText(c.after_opening, AfterOpening(run.text2)));
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
  }
}

// A value beyond the range of a double anywhere in the trace (read, or met
// on the way) means the solution cannot be trusted, however it looks: the
// trace keeps what was computed and ends with the one line that says so.
TEST(DirectSolvers, NonFiniteValuesGiveNoSolution) {
  const std::string stop = "\r\n计算中出现了超出数的范围的值，求不出可靠的解。\r\n";
  struct Case {
    const char* what;
    const char* text;
  };
  const Case cases[] = {
      {"b infinite", "4 1 1/0\r\n1 4 1"},
      {"b not a number", "4 1 0/0\r\n1 4 1"},
      // The divisions by values near the least subnormal overflow.
      {"subnormal system", "4e-320 1e-320 1\r\n1e-320 4e-320 1"},
  };
  for (const std::string method : {"gauss", "lu-solve", "cholesky", "ldlt", "tridiagonal"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(method + ": " + c.what);
      const testing::MethodOutcome run = RunMethod(method, c.text, {"2"});
      EXPECT_TRUE(run.text2.ends_with(stop)) << run.text2;
      EXPECT_EQ(run.text2.find("x1 ="), std::string::npos) << run.text2;
    }
  }
  // The chase uses only the band, but the matrix printed holds the rest.
  EXPECT_TRUE(RunMethod("tridiagonal", "4 1 1e308*10 1\r\n1 4 1 1\r\n1 1 4 1", {"3"})
                  .text2.ends_with(stop));
  // What was computed stays printed, the overflow included.
  EXPECT_TRUE(SameText(
      CrLfLines({"", "第 1 步：第 1 行为主元行", "    1E+308    1E+308    1E+308",
                 "    0    -Infinity    -1E+308", "",
                 "计算中出现了超出数的范围的值，求不出可靠的解。"}),
      AfterOpening(RunMethod("gauss", "1e308 1e308 1e308\r\n1e308 -1e308 0", {"2"}).text2)));
  // Large but finite values all the way solve as usual.
  EXPECT_TRUE(
      RunMethod("gauss", "1e300 1e300 2e300\r\n1e300 -1e300 0", {"2"})
          .text2.ends_with(CrLfLines({"回代求得方程组的解：", "    x1 = 1", "    x2 = 1"})));
}

// The condition numbers near the ends of the range: each is Infinity only
// when its value is beyond the largest double, and a tiny smallest singular
// value is no singularity.
TEST(DirectSolvers, ConditionNumbersAtTheEdgesOfTheRange) {
  struct Case {
    const char* text;
    const char* cond1;
    const char* cond2;
    const char* cond_inf;
  };
  const Case cases[] = {
      {"1 0\r\n0 1e-170", "1E+170", "1E+170", "1E+170"},
      {"1 0\r\n0 1e-161", "1E+161", "1E+161", "1E+161"},
      {"1e-300 0\r\n0 1", "1E+300", "1E+300", "1E+300"},
      // The norms overflow, their products do not.
      {"1e308 1e308\r\n1e308 1.5e308", "12.5", "10.403882", "12.5"},
      // The inverse's entries overflow, the condition numbers are 1.
      {"1e-310 0\r\n0 1e-310", "1", "1", "1"},
      {"1e-320 0\r\n0 1", "Infinity", "Infinity", "Infinity"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const testing::MethodOutcome run = RunMethod("condition", c.text, {"2"});
    EXPECT_TRUE(run.text2.ends_with(CrLfLines({
        std::string("矩阵的1-条件数 cond1(A) = ‖A‖1·‖A⁻¹‖1 = ") + c.cond1,
        std::string("矩阵的2-条件数 cond2(A) = σmax/σmin = ") + c.cond2,
        std::string("矩阵的∞-条件数 cond∞(A) = ‖A‖∞·‖A⁻¹‖∞ = ") + c.cond_inf,
    }))) << run.text2;
  }
  // The inverse printed is A's own: its entries beyond the range print as
  // Infinity.
  EXPECT_NE(RunMethod("condition", "1e-310 0\r\n0 1e-310", {"2"}).text2.find("    Infinity    0"),
            std::string::npos);
}

TEST(DirectSolvers, TridiagonalNotesEntriesOffTheBandAndGoesOn) {
  // A(1,3) = 5 is not used: the system solved is the tridiagonal one.
  const testing::MethodOutcome run =
      RunMethod("tridiagonal", "2 1 5 3\r\n1 3 1 5\r\n0 1 3 4\r\n", {"3"});
  EXPECT_TRUE(SameText(
      CrLfLines({"", "注意：系数矩阵不是三对角矩阵，追赶法只用三条对角线上的元素。", "",
                 "    l2 = 0.5", "    l3 = 0.4", "", "    u1 = 2", "    u2 = 2.5", "    u3 = 2.6",
                 "", "    y1 = 3", "    y2 = 3.5", "    y3 = 2.6", "", "接下来输出赶的过程：",
                 "方程组的解：", "    x1 = 1", "    x2 = 1", "    x3 = 1"}),
      AfterOpening(run.text2)));
  // n = 1 has no l at all.
  EXPECT_TRUE(SameText(CrLfLines({"    u1 = 4", "", "    y1 = 2", "", "接下来输出赶的过程：",
                                  "方程组的解：", "    x1 = 0.5"}),
                       AfterOpening(RunMethod("tridiagonal", "4 2", {"1"}).text2)));
}

TEST(DirectSolvers, ValuesAreRoundedToTheDigitsOnlyWhenPrinted) {
  // x = 1/3 and 2/3 exactly; with D = 2 every printed value has two places,
  // while the substitutions work on the unrounded factors.
  const testing::MethodOutcome run = RunMethod("lu-solve", "3 0 1\r\n0 3 2\r\n", {"2"}, {}, 2);
  EXPECT_TRUE(run.text2.ends_with(
      CrLfLines({"由 Ux = y 求得方程组的解：", "    x1 = 0.33", "    x2 = 0.67"})))
      << run.text2;
  const testing::MethodOutcome cond = RunMethod("condition", "3 1\r\n1 3", {"2"}, {}, 3);
  EXPECT_TRUE(cond.text2.ends_with(CrLfLines({"    0.375    -0.125", "    -0.125    0.375", "",
                                              "矩阵的1-条件数 cond1(A) = ‖A‖1·‖A⁻¹‖1 = 2",
                                              "矩阵的2-条件数 cond2(A) = σmax/σmin = 2",
                                              "矩阵的∞-条件数 cond∞(A) = ‖A‖∞·‖A⁻¹‖∞ = 2"})))
      << cond.text2;
}

// The order offered is the number of rows the text has, as the typing hint
// reads it, so that accepting it solves the system as typed.
TEST(DirectSolvers, OrderBoxesOfferTheRowsOfTheText) {
  const std::pair<const char*, const char*> texts[] = {
      {"1 2\r\n3 4", "2"},
      {"2 1 0 0 3\r\n1 3 1 0 5\r\n0 1 3 1 5\r\n0 0 1 2 3\r\n", "4"},
      {"5 6", "1"},
      {"  \r\n1 2 3\r\n\r\n4 5 6\r\n7 8 9\r\n", "3"},
  };
  for (const std::string& name : kMethods) {
    for (const auto& [text, rows] : texts) {
      const testing::MethodOutcome run = RunMethod(name, text, {"1"});
      const std::string box = name == "condition" ? "输入矩阵的阶数 n：" : "输入方程组的阶数 n：";
      EXPECT_EQ(run.dialogs, "input\t输入数据\t" + box + "\t" + rows + "\t1\n") << name;
    }
  }
}

TEST(DirectSolvers, UnusableOrderLeavesBothPanes) {
  for (const std::string& name : kMethods) {
    const testing::MethodOutcome cancelled = RunMethod(name, "1 2\r\n3 4");
    EXPECT_EQ(cancelled.text2, "previous result") << name;
    EXPECT_FALSE(cancelled.changed) << name;
    for (const char* answer : {"", "   ", "abc", "0", "-3", "0.4", "40000"}) {
      const testing::MethodOutcome run = RunMethod(name, "1 2\r\n3 4", {answer});
      EXPECT_EQ(run.text2, "previous result") << name << " " << answer;
      EXPECT_FALSE(run.changed) << name << " " << answer;
    }
  }
}

TEST(DirectSolvers, OrderTooLargeIsRefusedBeforeAnythingIsWritten) {
  const std::string refusal = "message\t\t" + std::string(kOrderTooLargeText) + "\tok\tok\n";
  for (const std::string& name : kMethods) {
    // The elimination prints the whole matrix after every step: a trace of
    // about 27 n^3 bytes.
    for (const char* answer : {name == "gauss" ? "400" : "10000", "32767"}) {
      const testing::MethodOutcome run = RunMethod(name, "1 2\r\n3 4", {answer});
      EXPECT_EQ(run.text2, "previous result") << name << " " << answer;
      EXPECT_FALSE(run.changed) << name << " " << answer;
      EXPECT_TRUE(run.dialogs.ends_with(refusal)) << name << " " << run.dialogs;
    }
  }
}

std::string DominantText(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n + 1; ++j) {
      text += std::to_string(i == j ? 4 * n : (i * j) % 3 == 0 ? 1 : (i + j) % 2) + ' ';
    }
    text += "\r\n";
  }
  return text;
}

TEST(DirectSolvers, ModerateOrdersAreAccepted) {
  for (const auto& [name, order] : std::vector<std::pair<std::string, int>>{{"gauss", 100},
                                                                            {"lu-solve", 300},
                                                                            {"cholesky", 300},
                                                                            {"ldlt", 300},
                                                                            {"tridiagonal", 300},
                                                                            {"condition", 300}}) {
    const testing::MethodOutcome run =
        RunMethod(name, DominantText(order), {std::to_string(order)});
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << name << " " << run.dialogs;
    EXPECT_GT(run.text2.size(), 1000u) << name;
  }
}

using testing::StoppingSink;

TEST(DirectSolvers, ProgressGrowsToOneAndAStopLeavesThePane) {
  for (const std::string& name : kMethods) {
    SCOPED_TRACE(name);
    const int n = name == "gauss" ? 80 : 200;
    const std::string text = DominantText(n);
    StoppingSink counting(0);
    ScriptedDialogs dialogs({std::to_string(n)});
    TraceBuffer pane;
    EXPECT_EQ(RunCommand(*FindCommand(name), dialogs, text, pane, 6, {}, &counting), Outcome::kRan);
    ASSERT_GT(counting.fractions.size(), 3u);
    for (std::size_t i = 1; i < counting.fractions.size(); ++i) {
      EXPECT_LE(counting.fractions[i - 1], counting.fractions[i]);
    }
    EXPECT_EQ(counting.fractions.back(), 1.0);

    StoppingSink stopping(2);
    ScriptedDialogs stopped_dialogs({std::to_string(n)});
    TraceBuffer stopped_pane("previous result");
    EXPECT_EQ(RunCommand(*FindCommand(name), stopped_dialogs, text, stopped_pane, 6, {}, &stopping),
              Outcome::kStopped);
    EXPECT_FALSE(stopped_pane.changed());
    for (const ShownBox& box : stopped_dialogs.shown()) EXPECT_TRUE(box.is_input);
  }
}

}  // namespace
}  // namespace matcalc
