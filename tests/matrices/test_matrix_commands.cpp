// The commands of the 矩阵 menu through the registry: a golden trace for
// each, the verdicts on textbook systems, shapes from 1 x n to m x 1, the
// boxes and their defaults, unusable answers, texts too short, values that
// are not finite, the budgets, and progress with a stop.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/budget.h"
#include "frame/frame.h"
#include "matrices/decimal_opening.h"
#include "support/golden.h"
#include "support/stopping_sink.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::RunMethod;
using testing::SameText;
using testing::SplitCrLf;

const std::vector<std::string> kMethods = {
    "row-echelon",        "rref", "rank", "general-solution", "inverse-by-rows", "transpose",
    "determinant-by-rows"};

bool Square(std::string_view method) {
  return method == "inverse-by-rows" || method == "determinant-by-rows";
}

// The lines of a trace from the first that starts with `from`.
std::vector<std::string> LinesFrom(const std::string& trace, std::string_view from) {
  std::vector<std::string> lines = SplitCrLf(trace);
  std::size_t i = 0;
  while (i < lines.size() && !lines[i].starts_with(from)) ++i;
  return {lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end()};
}

TEST(MatrixCommands, GoldenTraces) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
    const char* golden;
  };
  // x1 + x2 − 3x3 − x4 = 1, 3x1 − x2 − 3x3 + 4x4 = 4, x1 + 5x2 − 9x3 − 8x4 = 0:
  // x = (5/4, −1/4, 0, 0) + c1 (3/2, 3/2, 1, 0) + c2 (−3/4, 7/4, 0, 1).
  const char* infinite = "1 1 -3 -1 1\r\n3 -1 -3 4 4\r\n1 5 -9 -8 0\r\n";
  const char* square = "1 2 3\r\n2 5 2\r\n3 1 5\r\n";  // determinant −24
  const Case cases[] = {
      {"row-echelon", infinite, {"3", "5"}, "matrices/row_echelon_3x5.txt"},
      {"rref", infinite, {"3", "5"}, "matrices/rref_3x5.txt"},
      {"rank", "1 2 3 4\r\n2 4 6 8\r\n1 0 1 0\r\n", {"3", "4"}, "matrices/rank_3x4.txt"},
      {"general-solution", infinite, {"3", "4"}, "matrices/general_solution_infinite.txt"},
      {"inverse-by-rows", square, {"3"}, "matrices/inverse_by_rows_3x3.txt"},
      {"transpose", "1 2 3\r\n4 5 6\r\n", {"2", "3"}, "matrices/transpose_2x3.txt"},
      // Two exchanges: the sign stays; det = −2.
      {"determinant-by-rows",
       "0 1 2\r\n1 0 3\r\n4 -3 8\r\n",
       {"3"},
       "matrices/determinant_by_rows_3x3.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const testing::MethodOutcome run = RunMethod(c.method, c.text, c.answers);
    EXPECT_TRUE(SameText(Golden(c.golden), run.text2));
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
  }
}

// The verdict on a system: the lines after its reduced form, each case with
// its known solutions.
TEST(MatrixCommands, GeneralSolutionVerdicts) {
  struct Case {
    const char* what;
    const char* text;
    const char* m;
    const char* n;
    std::vector<std::string> verdict;
  };
  const Case cases[] = {
      {"inconsistent", "1 1 1\r\n2 2 3\r\n", "2", "2", {"r(A) = 1 < r(A|b) = 2，方程组无解。", ""}},
      {"unique",
       "1 1 1 6\r\n0 4 -1 5\r\n2 -2 1 1\r\n",
       "3",
       "3",
       {"r(A) = r(A|b) = n = 3，方程组有唯一解：", "    x1 = 1", "    x2 = 2", "    x3 = 3", ""}},
      {"more equations than unknowns, consistent",
       "1 0 1\r\n0 1 2\r\n1 1 3\r\n2 -1 0\r\n",
       "4",
       "2",
       {"r(A) = r(A|b) = n = 2，方程组有唯一解：", "    x1 = 1", "    x2 = 2", ""}},
      {"more equations than unknowns, inconsistent",
       "1 0 1\r\n0 1 2\r\n1 1 4\r\n",
       "3",
       "2",
       {"r(A) = 2 < r(A|b) = 3，方程组无解。", ""}},
      {"one unknown",
       "2 4\r\n3 6\r\n",
       "2",
       "1",
       {"r(A) = r(A|b) = n = 1，方程组有唯一解：", "    x1 = 2", ""}},
      {"one equation",
       "1 2 -1 4\r\n",
       "1",
       "3",
       {"r(A) = r(A|b) = 1 < n = 3，方程组有无穷多解。", "自由未知量：x2, x3",
        "特解 η = (4, 0, 0)ᵀ", "基础解系 ξ1 = (-2, 1, 0)ᵀ, ξ2 = (1, 0, 1)ᵀ",
        "通解 x = η + c1·ξ1 + c2·ξ2（c1, c2 为任意常数）", ""}},
      {"a free unknown between pivots",
       "1 2 0 1\r\n0 0 1 2\r\n",
       "2",
       "3",
       {"r(A) = r(A|b) = 2 < n = 3，方程组有无穷多解。", "自由未知量：x2", "特解 η = (1, 0, 2)ᵀ",
        "基础解系 ξ1 = (-2, 1, 0)ᵀ", "通解 x = η + c1·ξ1（c1 为任意常数）", ""}},
      {"homogeneous, only zero",
       "1 2 0\r\n3 4 0\r\n",
       "2",
       "2",
       {"r(A) = n = 2，齐次方程组只有零解。", ""}},
      {"homogeneous, a fundamental system",
       "1 1 1 0\r\n2 2 2 0\r\n",
       "2",
       "3",
       {"r(A) = 1 < n = 3，齐次方程组有非零解。", "自由未知量：x2, x3",
        "基础解系 ξ1 = (-1, 1, 0)ᵀ, ξ2 = (-1, 0, 1)ᵀ",
        "通解 x = c1·ξ1 + c2·ξ2（c1, c2 为任意常数）", ""}},
      {"zero coefficients, zero b",
       "0 0 0\r\n0 0 0\r\n",
       "2",
       "2",
       {"r(A) = 0 < n = 2，齐次方程组有非零解。", "自由未知量：x1, x2",
        "基础解系 ξ1 = (1, 0)ᵀ, ξ2 = (0, 1)ᵀ", "通解 x = c1·ξ1 + c2·ξ2（c1, c2 为任意常数）", ""}},
      {"zero coefficients, b not zero",
       "0 0 1\r\n0 0 0\r\n",
       "2",
       "2",
       {"r(A) = 0 < r(A|b) = 1，方程组无解。", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testing::MethodOutcome run = RunMethod("general-solution", c.text, {c.m, c.n});
    const std::vector<std::string> lines = SplitCrLf(run.text2);
    std::size_t verdict = 0;
    while (verdict < lines.size() && !lines[verdict].starts_with("r(A)")) ++verdict;
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(verdict), lines.end()),
        c.verdict)
        << run.text2;
  }
}

// Rank and pivot columns for every kind of shape.
TEST(MatrixCommands, RankOfEveryShape) {
  struct Case {
    const char* text;
    const char* m;
    const char* n;
    const char* rank;
    const char* pivots;
  };
  const Case cases[] = {
      {"1 2 3 4 5", "1", "5", "1", "1"},
      {"0 0 7 1", "1", "4", "1", "3"},
      {"1\r\n2\r\n3", "3", "1", "1", "1"},
      {"0\r\n0\r\n0", "3", "1", "0", "无"},
      {"0 0\r\n0 0\r\n0 0", "3", "2", "0", "无"},
      {"1 2\r\n2 4\r\n3 6\r\n1 0", "4", "2", "2", "1, 2"},
      {"1 2 3\r\n2 4 6", "2", "3", "1", "1"},
      {"0 1 2 3\r\n0 2 4 7\r\n0 0 0 1", "3", "4", "2", "2, 4"},
      // Thirds in decimals: the tolerance makes the third row zero.
      {"1/3 2/3 1\r\n1 2 3\r\n2/3 4/3 2", "3", "3", "1", "1"},
      {"1 2 3\r\n4 5 6\r\n7 8 10", "3", "3", "3", "1, 2, 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const testing::MethodOutcome rref = RunMethod("rref", c.text, {c.m, c.n});
    const std::vector<std::string> end = LinesFrom(rref.text2, "矩阵的秩");
    EXPECT_EQ(end, (std::vector<std::string>{std::string("矩阵的秩 r(A) = ") + c.rank,
                                             std::string("主元所在的列：") + c.pivots, ""}))
        << rref.text2;
    const testing::MethodOutcome rank = RunMethod("rank", c.text, {c.m, c.n});
    EXPECT_TRUE(rank.text2.ends_with(std::string("矩阵的秩 r(A) = ") + c.rank + "\r\n"))
        << rank.text2;
  }
}

TEST(MatrixCommands, OperationLinesAsAStudentWritesThem) {
  // A negative factor adds; a factor of 1 is not written; a pivot of 2 is
  // scaled by 1/2.
  const testing::MethodOutcome run = RunMethod("rref", "2 4\r\n-2 1\r\n4 8", {"3", "2"});
  const std::vector<std::string> column1 = LinesFrom(run.text2, "第 1 列：");
  ASSERT_GE(column1.size(), 5u) << run.text2;
  EXPECT_EQ(std::vector<std::string>(column1.begin(), column1.begin() + 5),
            (std::vector<std::string>{"第 1 列：", "r1 ↔ r3", "r2 + 0.5·r1 → r2",
                                      "r3 − 0.5·r1 → r3", "0.25·r1 → r1"}))
      << run.text2;
  const testing::MethodOutcome ones = RunMethod("row-echelon", "1 1\r\n1 2", {"2", "2"});
  EXPECT_NE(ones.text2.find("\r\nr2 − r1 → r2\r\n"), std::string::npos) << ones.text2;
  // Factors are rounded to D as the trace prints numbers.
  const testing::MethodOutcome digits = RunMethod("row-echelon", "3 1\r\n1 1", {"2", "2"}, {}, 3);
  EXPECT_NE(digits.text2.find("\r\nr2 − 0.333·r1 → r2\r\n"), std::string::npos) << digits.text2;
}

TEST(MatrixCommands, InverseStopsAtTheColumnWithoutAPivot) {
  // Column 2 has no pivot, column 3 has one: the rank is 2.
  const testing::MethodOutcome run = RunMethod("inverse-by-rows", "1 2 3\r\n2 4 5\r\n3 6 7", {"3"});
  EXPECT_EQ(LinesFrom(run.text2, "第 2 列："),
            (std::vector<std::string>{"第 2 列：第 2 行及以下都是零，本列没有主元。", "",
                                      "矩阵不可逆（r(A) = 2 < n = 3）。", ""}))
      << run.text2;
  const testing::MethodOutcome zero = RunMethod("inverse-by-rows", "0", {"1"});
  EXPECT_TRUE(zero.text2.ends_with("矩阵不可逆（r(A) = 0 < n = 1）。\r\n")) << zero.text2;
  // A · A⁻¹ = E for a matrix whose inverse has integer entries.
  const testing::MethodOutcome inverse =
      RunMethod("inverse-by-rows", "2 1 1\r\n1 1 0\r\n1 0 1", {"3"});  // det = 0
  EXPECT_NE(inverse.text2.find("矩阵不可逆（r(A) = 2 < n = 3）。"), std::string::npos);
  const testing::MethodOutcome unimodular =
      RunMethod("inverse-by-rows", "2 1 0\r\n1 1 0\r\n0 0 1", {"3"});
  EXPECT_EQ(LinesFrom(unimodular.text2, "逆矩阵"),
            (std::vector<std::string>{"逆矩阵 A⁻¹ =", "    1    -1    0", "    -1    2    0",
                                      "    0    0    1", ""}))
      << unimodular.text2;
}

TEST(MatrixCommands, DeterminantByRows) {
  struct Case {
    const char* text;
    const char* order;
    const char* last_line;
  };
  const Case cases[] = {
      {"1 2 3\r\n2 5 2\r\n3 1 5", "3", "det(A) = -24"},
      {"0 1\r\n1 0", "2", "det(A) = -1"},  // one exchange
      {"7", "1", "det(A) = 7"},
      {"1 2 3\r\n2 4 6\r\n1 1 1", "3", "det(A) = 0"},
      {"0 0\r\n0 0", "2", "det(A) = 0"},
  };
  for (const Case& c : cases) {
    const testing::MethodOutcome run = RunMethod("determinant-by-rows", c.text, {c.order});
    EXPECT_TRUE(run.text2.ends_with(std::string("\r\n") + c.last_line + "\r\n")) << run.text2;
  }
}

TEST(MatrixCommands, BoxesOfferTheShapeTheTextShows) {
  const char* text = "1 1 -3 -1 1\r\n3 -1 -3 4 4\r\n1 5 -9 -8 0\r\n";
  for (const std::string& method : kMethods) {
    const testing::MethodOutcome run = RunMethod(method, text, {"1", "1"});
    std::string expected;
    if (Square(method)) {
      expected = "input\t输入数据\t输入矩阵的阶数 n：\t3\t1\n";
    } else if (method == "general-solution") {
      expected =
          "input\t输入数据\t输入方程组中方程的个数 m：\t3\t1\n"
          "input\t输入数据\t输入方程组中未知数的个数 n：\t4\t1\n";
    } else {
      expected =
          "input\t输入数据\t输入矩阵的行数 m：\t3\t1\n"
          "input\t输入数据\t输入矩阵的列数 n：\t5\t1\n";
    }
    EXPECT_EQ(run.dialogs, expected) << method;
  }
  // A square matrix's order is the largest the text fills.
  EXPECT_EQ(RunMethod("inverse-by-rows", "1 2 3\r\n4 5\r\n6 7 8", {}).dialogs,
            "input\t输入数据\t输入矩阵的阶数 n：\t2\t(cancel)\n");
}

TEST(MatrixCommands, UnusableShapesLeaveBothPanes) {
  for (const std::string& method : kMethods) {
    for (const char* answer : {"", "   ", "abc", "0", "-3", "0.4", "40000"}) {
      const testing::MethodOutcome m = RunMethod(method, "1 2\r\n3 4", {answer, "2"});
      EXPECT_EQ(m.text2, "previous result") << method << " m = " << answer;
      EXPECT_FALSE(m.changed) << method << " " << answer;
      if (Square(method)) continue;
      const testing::MethodOutcome n = RunMethod(method, "1 2\r\n3 4", {"2", answer});
      EXPECT_EQ(n.text2, "previous result") << method << " n = " << answer;
      EXPECT_FALSE(n.changed) << method << " " << answer;
    }
  }
}

TEST(MatrixCommands, FewerRowsThanAskedAreReadAsTheReaderSays) {
  // The third row is missing: its first entry is 0, the rest repeat the
  // row above.
  const testing::MethodOutcome run = RunMethod("rank", "1 2 3\r\n4 5 6", {"3", "3"});
  EXPECT_TRUE(run.text2.starts_with("    1    2    3\r\n    4    5    6\r\n    0    5    6\r\n"))
      << run.text2;
  EXPECT_TRUE(run.text2.ends_with("矩阵的秩 r(A) = 3\r\n")) << run.text2;
}

TEST(MatrixCommands, ValuesThatAreNotFiniteEndTheReduction) {
  for (const std::string& method : kMethods) {
    if (method == "transpose") continue;
    const testing::MethodOutcome run = RunMethod(method, "1E308 1E308 1\r\n1 1 1", {"2", "2"});
    EXPECT_TRUE(run.text2.ends_with(std::string(kNotFiniteText) + "\r\n")) << method << run.text2;
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << method;
  }
}

TEST(MatrixCommands, ShapesTooLargeAreRefusedBeforeAnythingIsWritten) {
  const std::string refusal = "message\t\t" + std::string(kOrderTooLargeText) + "\tok\tok\n";
  for (const std::string& method : kMethods) {
    // The reductions print the whole matrix after each column: a trace of
    // some 27 m n min(m, n) bytes. The transpose prints it twice.
    for (const char* answer : {method == "transpose" ? "10000" : "1000", "32767"}) {
      const testing::MethodOutcome run = RunMethod(method, "1 2\r\n3 4", {answer, answer});
      EXPECT_TRUE(run.text2 == "previous result") << method << " " << answer;
      EXPECT_TRUE(run.dialogs.ends_with(refusal)) << method << " " << run.dialogs;
    }
  }
}

std::string IntegerText(int m, int n) {
  std::string text;
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) text += std::to_string((i * 7 + j * 3 + i * j) % 11 - 5) + ' ';
    text += "\r\n";
  }
  return text;
}

TEST(MatrixCommands, ModerateShapesAreAccepted) {
  for (const std::string& method : kMethods) {
    const int n = 80;
    const testing::MethodOutcome run = RunMethod(method, IntegerText(n, n + 1), {"80", "80"});
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << method << " " << run.dialogs;
    EXPECT_GT(run.text2.size(), 1000u) << method;
  }
}

// A command in the exact mode: the result pane and the boxes shown.
testing::MethodOutcome RunExact(std::string_view method, std::string_view text,
                                std::vector<std::string> answers) {
  ScriptedDialogs dialogs(std::move(answers), {});
  const TraceBuffer pane =
      RunCommand(*FindCommand(method), dialogs, text, "previous result", 6, {}, nullptr, true);
  return {pane.text(), pane.changed(), dialogs.Log()};
}

TEST(MatrixCommands, ExactFractionsGoldenTraces) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
    const char* golden;
  };
  const Case cases[] = {
      {"general-solution",
       "1 1 -3 -1 1\r\n3 -1 -3 4 4\r\n1 5 -9 -8 0\r\n",
       {"3", "4"},
       "matrices/general_solution_exact.txt"},
      {"inverse-by-rows",
       "1 2 3\r\n2 5 2\r\n3 1 5\r\n",
       {"3"},
       "matrices/inverse_by_rows_exact.txt"},
      // The first non-zero pivot: one exchange, det = −2.
      {"determinant-by-rows",
       "0 1 2\r\n1 0 3\r\n4 -3 8\r\n",
       {"3"},
       "matrices/determinant_by_rows_exact.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const testing::MethodOutcome run = RunExact(c.method, c.text, c.answers);
    EXPECT_TRUE(SameText(Golden(c.golden), run.text2));
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
  }
}

TEST(MatrixCommands, ExactFractionsWhereDecimalsRound) {
  // Thirds stay thirds: the rank is exact without a tolerance, and the
  // solution is read off as fractions.
  const testing::MethodOutcome solution =
      RunExact("general-solution", "3 1 1\r\n1 3 0\r\n", {"2", "2"});
  EXPECT_TRUE(solution.text2.ends_with(
      "r(A) = r(A|b) = n = 2，方程组有唯一解：\r\n    x1 = 3/8\r\n    x2 = -1/8\r\n"))
      << solution.text2;
  EXPECT_EQ(solution.text2.find("tol"), std::string::npos);
  const testing::MethodOutcome transpose = RunExact("transpose", "1/3 2\r\n0.5 -4", {"2", "2"});
  EXPECT_TRUE(transpose.text2.ends_with("    1/3    1/2\r\n    2    -4\r\n")) << transpose.text2;
  // The factors of the operations are exact.
  const testing::MethodOutcome rref = RunExact("rref", "2 1\r\n3 1", {"2", "2"});
  EXPECT_NE(rref.text2.find("\r\nr2 − 3/2·r1 → r2\r\n"), std::string::npos) << rref.text2;
  EXPECT_NE(rref.text2.find("\r\n1/2·r1 → r1\r\n"), std::string::npos) << rref.text2;
}

TEST(MatrixCommands, ExactModeNotesAnEntryThatIsNotExactAndGoesOnInDecimals) {
  for (const std::string& method : kMethods) {
    const testing::MethodOutcome run = RunExact(method, "pi 1 1\r\n1 2 3", {"2", "2"});
    EXPECT_TRUE(run.text2.starts_with(std::string(kNotExactNote) + "\r\n    3.14159265358979"))
        << method << run.text2;
    if (method != "transpose") {
      EXPECT_NE(run.text2.find("视为零"), std::string::npos) << method;
    }
  }
}

TEST(MatrixCommands, FractionsTooLongAreRefusedBeforeAnythingIsWritten) {
  // The Hilbert matrix of order 200: its minors run to hundreds of
  // thousands of bits, beyond the budgets; in decimals it is accepted.
  std::string hilbert;
  for (int i = 1; i <= 200; ++i) {
    for (int j = 1; j <= 200; ++j) hilbert += "1/" + std::to_string(i + j - 1) + ' ';
    hilbert += "\r\n";
  }
  const std::string refusal = "message\t\t" + std::string(kNumbersTooLongText) + "\tok\tok\n";
  for (const std::string& method : kMethods) {
    if (method == "transpose") continue;  // nothing computed
    const testing::MethodOutcome run = RunExact(method, hilbert, {"200", "199"});
    EXPECT_EQ(run.text2, "previous result") << method;
    EXPECT_FALSE(run.changed) << method;
    EXPECT_TRUE(run.dialogs.ends_with(refusal)) << method << " " << run.dialogs;
  }
  // The same order of small integers is computed.
  const testing::MethodOutcome small = RunExact("rank", IntegerText(60, 60), {"60", "60"});
  EXPECT_EQ(small.dialogs.find("message"), std::string::npos) << small.dialogs;
}

using testing::StoppingSink;

TEST(MatrixCommands, ProgressGrowsToOneAndAStopLeavesThePane) {
  const std::string text = IntegerText(60, 61);
  for (const std::string& method : kMethods) {
    SCOPED_TRACE(method);
    StoppingSink counting(0);
    ScriptedDialogs dialogs({"60", "60"});
    TraceBuffer pane;
    EXPECT_EQ(RunCommand(*FindCommand(method), dialogs, text, pane, 6, {}, &counting),
              Outcome::kRan);
    ASSERT_GT(counting.fractions.size(), 2u);
    for (std::size_t i = 1; i < counting.fractions.size(); ++i) {
      EXPECT_LE(counting.fractions[i - 1], counting.fractions[i]);
    }
    EXPECT_EQ(counting.fractions.back(), 1.0);

    StoppingSink stopping(2);
    ScriptedDialogs stopped_dialogs({"60", "60"});
    TraceBuffer stopped_pane("previous result");
    EXPECT_EQ(
        RunCommand(*FindCommand(method), stopped_dialogs, text, stopped_pane, 6, {}, &stopping),
        Outcome::kStopped);
    EXPECT_FALSE(stopped_pane.changed());
  }
}

}  // namespace
}  // namespace matcalc
