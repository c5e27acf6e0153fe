// The direct solvers and the condition numbers in the exact mode: whole
// traces of textbook systems, the stops at an exact zero pivot, and random
// systems whose printed fractions are checked against the system itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/budget.h"
#include "support/golden.h"
#include "support/stopping_sink.h"
#include "text/rational.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::RunExact;
using testing::RunMethod;
using testing::SameText;

constexpr std::string_view kOutOfRange = "计算中出现了超出数的范围的值，求不出可靠的解。";

TEST(ExactSolvers, TextbookSystemsWithFractionSolutions) {
  struct Case {
    const char* method;
    const char* text;
    const char* order;
    const char* golden;
  };
  const Case cases[] = {
      // Fractional multipliers; x = (-1/25, 1/5, 18/25).
      {"lu-solve", "3 2 1 1\n1 3 2 2\n2 1 4 3", "3", "systems/lu_solve_exact_fractions.txt"},
      // L with halves, D = (4, 4, 5); x = (19/40, 1/10, 11/20).
      {"ldlt", "4 2 -2 1\n2 5 1 2\n-2 1 7 3", "3", "systems/ldlt_exact_fractions.txt"},
      // u grows as 3, 8/3, 21/8, 55/21; x = (2/11, 5/11, 5/11, 13/11).
      {"tridiagonal", "3 1 0 0 1\n1 3 1 0 2\n0 1 3 1 3\n0 0 1 3 4", "4",
       "systems/tridiagonal_exact_fractions.txt"},
      // An inverse in elevenths: cond1 = 40/11, cond∞ = 45/11, cond2 in
      // decimals.
      {"condition", "2 1 0\n1 3 1\n1 0 2", "3", "systems/condition_exact_fractions.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const testing::MethodOutcome run = RunExact(c.method, c.text, {c.order});
    EXPECT_TRUE(SameText(Golden(c.golden), run.text2));
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
  }
}

std::string LastLine(const std::string& trace) {
  const std::vector<std::string> lines = testing::SplitCrLf(trace);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (!line->empty()) return *line;
  }
  return {};
}

// An exact zero pivot stops each method with the decimal mode's own line;
// values beyond the range of a double, which stop the decimal mode, are
// ordinary fractions in the exact mode.
TEST(ExactSolvers, ZeroPivotsStopAsInDecimalsAndNothingLeavesTheRange) {
  struct Stop {
    const char* method;
    const char* text;
    const char* last_line;
  };
  const Stop stops[] = {
      {"lu-solve", "0 1 1\n1 1 2", "U(1,1) 为零，三角分解法不适用。"},
      {"lu-solve", "1/3 2/3 1\n1 2 3", "U(2,2) 为零，系数矩阵奇异，方程组没有唯一解。"},
      {"ldlt", "1 2 1\n3 3 1", "系数矩阵不对称，改进平方根法不适用。"},
      {"ldlt", "1/2 1 1\n1 2 1", "d(2) 为零，改进平方根法不适用。"},
      {"tridiagonal", "1 1 0 1\n1 1 1 1\n0 1 1 1", "u(2) 为零，追赶法不适用。"},
      {"condition", "1/3 1/6\n2 1", "矩阵奇异，条件数为无穷大。"},
  };
  for (const Stop& s : stops) {
    SCOPED_TRACE(s.text);
    const std::string_view text(s.text);
    const std::string order = std::to_string(std::count(text.begin(), text.end(), '\n') + 1);
    const std::string exact = RunExact(s.method, s.text, {order}).text2;
    EXPECT_EQ(LastLine(exact), s.last_line) << exact;
    // 1/3 and 2/3 are no exact zero pivot in doubles; the integer ones are.
    if (text.find('/') == std::string_view::npos) {
      EXPECT_EQ(LastLine(RunMethod(s.method, s.text, {order}).text2), s.last_line);
    }
  }
  // 1e300 squared overflows a double: the decimal mode refuses to print a
  // solution, the exact one solves the system.
  const char* huge[][2] = {{"lu-solve", "1e-300 1e300 1\n1 1 2"},
                           {"ldlt", "1e-200 1e200 1\n1e200 1 2"},
                           {"tridiagonal", "1e-300 1e300 1\n1 1 2"}};
  for (const auto& [method, text] : huge) {
    SCOPED_TRACE(method);
    EXPECT_EQ(LastLine(RunMethod(method, text, {"2"}).text2), kOutOfRange);
    const std::string exact = RunExact(method, text, {"2"}).text2;
    EXPECT_EQ(exact.find(kOutOfRange), std::string::npos) << exact;
    EXPECT_TRUE(LastLine(exact).starts_with("    x2 = ")) << exact;
  }
}

// A matrix whose doubles are singular but whose fractions are not: the
// exact inverse is shown, and cond2 (σmax·‖A⁻¹‖2 when σmin of the doubles is
// 0) is finite, about 4·10^17, not the decimal mode's verdict.
TEST(ExactSolvers, ConditionOfAMatrixSingularOnlyInDoubles) {
  const char* text = "1 1\n1 1.00000000000000001";
  EXPECT_EQ(LastLine(RunMethod("condition", text, {"2"}).text2), "矩阵奇异，条件数为无穷大。");
  const std::string exact = RunExact("condition", text, {"2"}).text2;
  EXPECT_NE(exact.find("\r\n    100000000000000001    -100000000000000000\r\n"), std::string::npos)
      << exact;
  EXPECT_NE(exact.find("cond2(A) = σmax/σmin = 4E+17\r\n"), std::string::npos) << exact;
}

// The fraction a trace prints: "p" or "p/q".
Rational ParseFraction(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return Rational(BigInt(std::string(text)));
  return MakeRational(BigInt(std::string(text.substr(0, slash))),
                      BigInt(std::string(text.substr(slash + 1))));
}

using Fractions = std::vector<std::vector<Rational>>;

// The rows of fractions that follow the line starting with `heading`: each
// line "    a    b ..." until an empty one. Nothing when the heading is not
// in the trace.
Fractions RowsAfter(const std::vector<std::string>& lines, std::string_view heading) {
  Fractions rows;
  std::size_t i = 0;
  while (i < lines.size() && !lines[i].starts_with(heading)) ++i;
  for (++i; i < lines.size() && !lines[i].empty(); ++i) {
    std::vector<Rational> row;
    std::size_t at = 0;
    const std::string& line = lines[i];
    while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
      const std::size_t end = line.find(' ', at);
      row.push_back(ParseFraction(std::string_view(line).substr(at, end - at)));
      at = end;
    }
    rows.push_back(row);
  }
  return rows;
}

// The values of the lines "    NAMEi = v" in order.
std::vector<Rational> Named(const std::vector<std::string>& lines, std::string_view name) {
  std::vector<Rational> values;
  const std::string prefix = "    " + std::string(name);
  for (const std::string& line : lines) {
    const std::size_t equals = line.find(" = ");
    if (line.starts_with(prefix) && equals != std::string::npos &&
        line.find_first_not_of("0123456789", prefix.size()) == equals) {
      values.push_back(ParseFraction(std::string_view(line).substr(equals + 3)));
    }
  }
  return values;
}

// Random systems: small integers, and decimals with up to two places.
Fractions RandomSystem(std::mt19937& engine, int n, bool decimals, bool symmetric,
                       bool tridiagonal) {
  Fractions a(static_cast<std::size_t>(n), std::vector<Rational>(static_cast<std::size_t>(n) + 1));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= n; ++j) {
      auto& entry = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      if (symmetric && j < i) {
        entry = a[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
        continue;
      }
      if (tridiagonal && j < n && (j < i - 1 || j > i + 1)) continue;
      const auto r = static_cast<long long>(engine() % 19) - 9;
      entry = decimals ? MakeRational(BigInt(r * 37 + static_cast<long long>(engine() % 100)),
                                      BigInt(100))
                       : Rational(r);
    }
  }
  return a;
}

std::string TextOf(const Fractions& a) {
  std::string text;
  for (const auto& row : a) {
    for (const Rational& entry : row) text += FormatRational(entry) + " ";
    text += "\n";
  }
  return text;
}

// A x = b for the n x (n+1) augmented matrix.
bool Solves(const Fractions& a, const std::vector<Rational>& x) {
  const std::size_t n = a.size();
  if (x.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    Rational sum = 0;
    for (std::size_t j = 0; j < n; ++j) sum += a[i][j] * x[j];
    if (sum != a[i][n]) return false;
  }
  return true;
}

// Every product L·U, L·D·Lᵀ or A·A⁻¹ is formed here from the printed
// fractions, independently of the order the methods sum in.
TEST(ExactSolvers, RandomSystemsAgainstTheSystemItself) {
  std::mt19937 engine(424242);
  int solved[4] = {};
  for (int trial = 0; trial < 800; ++trial) {
    const int kind = trial % 4;  // lu-solve, ldlt, tridiagonal, condition
    const int n = 1 + static_cast<int>(engine() % 5);
    const Fractions a = RandomSystem(engine, n, trial % 8 >= 4, kind == 1, kind == 2);
    const char* methods[] = {"lu-solve", "ldlt", "tridiagonal", "condition"};
    const std::string trace = RunExact(methods[kind], TextOf(a), {std::to_string(n)}).text2;
    SCOPED_TRACE(trace);
    const std::vector<std::string> lines = testing::SplitCrLf(trace);
    ASSERT_EQ(trace.find(kOutOfRange), std::string::npos);
    ASSERT_FALSE(trace.starts_with("注意"));  // computed in fractions
    const auto at = [](const Fractions& m, int i, int j) -> const Rational& {
      return m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    };
    if (kind == 3) {
      const Fractions inverse = RowsAfter(lines, "以上是所要求解的矩阵");
      if (inverse.empty()) {
        ASSERT_EQ(LastLine(trace), "矩阵奇异，条件数为无穷大。");
        continue;
      }
      // A·A⁻¹ = I, and cond1 and cond∞ from the column and row sums.
      Rational one_a = 0, one_inverse = 0, inf_a = 0, inf_inverse = 0;
      for (int i = 0; i < n; ++i) {
        Rational col_a = 0, col_inverse = 0, row_a = 0, row_inverse = 0;
        for (int j = 0; j < n; ++j) {
          Rational sum = 0;
          for (int k = 0; k < n; ++k) sum += at(a, i, k) * at(inverse, k, j);
          ASSERT_EQ(sum, i == j ? 1 : 0);
          col_a += abs(at(a, j, i));
          col_inverse += abs(at(inverse, j, i));
          row_a += abs(at(a, i, j));
          row_inverse += abs(at(inverse, i, j));
        }
        one_a = std::max(one_a, col_a);
        one_inverse = std::max(one_inverse, col_inverse);
        inf_a = std::max(inf_a, row_a);
        inf_inverse = std::max(inf_inverse, row_inverse);
      }
      EXPECT_NE(
          trace.find("cond1(A) = ‖A‖1·‖A⁻¹‖1 = " + FormatRational(one_a * one_inverse) + "\r\n"),
          std::string::npos);
      EXPECT_NE(
          trace.find("cond∞(A) = ‖A‖∞·‖A⁻¹‖∞ = " + FormatRational(inf_a * inf_inverse) + "\r\n"),
          std::string::npos);
      ++solved[kind];
      continue;
    }
    const std::vector<Rational> x = Named(lines, "x");
    if (x.empty()) {
      ASSERT_NE(LastLine(trace).find("为零"), std::string::npos);
      continue;
    }
    ASSERT_TRUE(Solves(a, x));
    if (kind == 0) {
      // L·U = A.
      const Fractions l = RowsAfter(lines, "以上是所要求解的方程组的增广矩阵");
      const Fractions u = RowsAfter(lines, "上三角矩阵U");
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          Rational sum = 0;
          for (int k = 0; k < n; ++k) sum += at(l, i, k) * at(u, k, j);
          ASSERT_EQ(sum, at(a, i, j));
        }
      }
    } else if (kind == 1) {
      // L·D·Lᵀ = A.
      const Fractions l = RowsAfter(lines, "以上是所要求解的方程组的增广矩阵");
      const std::vector<Rational> d = Named(lines, "d");
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          Rational sum = 0;
          for (int k = 0; k < n; ++k) {
            sum += at(l, i, k) * d[static_cast<std::size_t>(k)] * at(l, j, k);
          }
          ASSERT_EQ(sum, at(a, i, j));
        }
      }
    }
    ++solved[kind];
  }
  for (const int count : solved) EXPECT_GT(count, 120);
}

TEST(ExactSolvers, FractionsTooLongAreRefused) {
  // Order 300 with 60-digit entries on the diagonal: Hadamard's bound gives
  // minors of some 18,000 digits, far beyond a minute.
  std::string text;
  const std::string big = "123456789012345678901234567890123456789012345678901234567891";
  for (int i = 1; i <= 300; ++i) {
    for (int j = 1; j <= 301; ++j) text += (i == j ? big : std::to_string(i * j % 97)) + " ";
    text += "\n";
  }
  const std::string refusal = "message\t\t" + std::string(kNumbersTooLongText) + "\tok\tok\n";
  for (const char* name : {"lu-solve", "ldlt", "condition"}) {
    const testing::MethodOutcome run = RunExact(name, text, {"300"});
    EXPECT_EQ(run.text2, "previous result") << name;
    EXPECT_FALSE(run.changed) << name;
    EXPECT_TRUE(run.dialogs.ends_with(refusal)) << name << " " << run.dialogs;
  }
}

// Progress is counted in fractions too, so 停止 ends an exact run and leaves
// the pane as it was.
TEST(ExactSolvers, ProgressGrowsAndAStopLeavesThePane) {
  for (const auto& [name, n] : {std::pair<const char*, int>{"lu-solve", 60},
                                {"ldlt", 60},
                                {"tridiagonal", 400},
                                {"condition", 40}}) {
    SCOPED_TRACE(name);
    std::string text;  // symmetric, its diagonal beyond its row sums
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n + 1; ++j) {
        text += std::to_string(i == j ? 4 * n : (i * j) % 7 - 3) + ' ';
      }
      text += "\r\n";
    }
    const std::string trace = testing::ExpectProgressAndStop(name, text, {std::to_string(n)}, true);
    EXPECT_NE(trace.find("/"), std::string::npos);
  }
}

}  // namespace
}  // namespace matcalc
