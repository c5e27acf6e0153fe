// 施密特正交化 in the exact mode: a textbook trace whole, the printed β and
// coefficients of random matrices checked exactly (orthogonal, and giving
// back every column), the fall-back and the refusal.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/budget.h"
#include "frame/frame.h"
#include "linalg/exact_readers.h"
#include "support/golden.h"
#include "support/stopping_sink.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::MethodOutcome;
using testing::RunExact;
using testing::RunMethod;
using testing::SameText;

TEST(ExactGramSchmidt, TextbookTrace) {
  // The columns (1,1,1,1), (0,1,1,1), (0,0,1,1) give β2 = (-3/4, 1/4, 1/4,
  // 1/4) and β3 = (0, -2/3, 1/3, 1/3); the fourth, a1 + a3, is dependent
  // exactly, with no tolerance stated.
  EXPECT_TRUE(
      SameText(Golden("orthogonal/gram_schmidt_exact_4x4.txt"),
               RunExact("gram-schmidt", "1 0 0 1\n1 1 0 1\n1 1 1 2\n1 1 1 2", {"4", "4"}).text2));
}

TEST(ExactGramSchmidt, NotesOnlyAMatrixThatIsNotExact) {
  const char* text = "1 2\n1/3 pi\n0 1";
  const std::vector<std::string> shape = {"3", "2"};
  EXPECT_EQ(RunExact("gram-schmidt", text, shape).text2,
            std::string(kNotExactNote) + "\r\n" + RunMethod("gram-schmidt", text, shape).text2);
  EXPECT_EQ(RunExact("gram-schmidt", "1 2\n1/3 4", {"2", "2"}).text2.find("注意"),
            std::string::npos);
}

TEST(ExactGramSchmidt, FractionsTooLongAreRefused) {
  const std::string big = "123456789012345678901234567890123456789012345678901234567";
  std::string text;
  for (int i = 1; i <= 40; ++i) {
    for (int j = 1; j <= 40; ++j) text += big + std::to_string(100 * i + j) + " ";
    text += "\n";
  }
  const MethodOutcome run = RunExact("gram-schmidt", text, {"40", "40"});
  EXPECT_EQ(run.text2, "previous result");
  EXPECT_TRUE(
      run.dialogs.ends_with("message\t\t" + std::string(kNumbersTooLongText) + "\tok\tok\n"))
      << run.dialogs;
}

TEST(ExactGramSchmidt, ProgressGrowsAndAStopLeavesThePane) {
  std::string text;
  for (int i = 1; i <= 24; ++i) {
    for (int j = 1; j <= 20; ++j) text += std::to_string((i * j * 7 + i) % 19 - 9) + "/3 ";
    text += "\n";
  }
  const std::string trace =
      testing::ExpectProgressAndStop("gram-schmidt", text, {"24", "20"}, true);
  EXPECT_NE(trace.find("/"), std::string::npos);
}

Rational ParseFraction(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return Rational(BigInt(std::string(text)));
  return MakeRational(BigInt(std::string(text.substr(0, slash))),
                      BigInt(std::string(text.substr(slash + 1))));
}

// "(x1, x2, …)ᵀ" at the end of a line.
std::vector<Rational> ParseColumn(const std::string& line) {
  const std::size_t open = line.rfind('(');
  const std::size_t close = line.rfind(")ᵀ");
  std::vector<Rational> values;
  std::string_view inside(line.data() + open + 1, close - open - 1);
  while (true) {
    const std::size_t comma = inside.find(", ");
    values.push_back(ParseFraction(inside.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    inside.remove_prefix(comma + 2);
  }
  return values;
}

Rational Dot(const std::vector<Rational>& x, const std::vector<Rational>& y) {
  Rational sum = 0;
  for (std::size_t i = 0; i < x.size(); ++i) sum += x[i] * y[i];
  return sum;
}

// What the trace says of column k.
struct PrintedColumn {
  std::vector<std::pair<int, Rational>> coefficients;  // (j, c_kj)
  std::vector<Rational> beta;
  Rational norm_squared;
  bool dependent = false;
};

std::vector<PrintedColumn> ParseTrace(const std::string& trace, int n) {
  std::vector<PrintedColumn> columns(static_cast<std::size_t>(n) + 1);
  int k = 1;
  for (const std::string& line : testing::SplitCrLf(trace)) {
    if (line.starts_with("单位化")) break;
    if (line.starts_with("(a")) {
      // "(ak, βj)/(βj, βj) = c"
      k = std::stoi(line.substr(2));
      const int j = std::stoi(line.substr(line.find("β") + std::string("β").size()));
      columns[static_cast<std::size_t>(k)].coefficients.emplace_back(
          j, ParseFraction(line.substr(line.rfind(" = ") + 3)));
    } else if (line.starts_with("β")) {
      k = std::stoi(line.substr(std::string("β").size()));
      columns[static_cast<std::size_t>(k)].beta = ParseColumn(line);
    } else if (line.starts_with("‖β")) {
      columns[static_cast<std::size_t>(k)].norm_squared =
          ParseFraction(line.substr(line.rfind(" = ") + 3));
    } else if (line.ends_with("列与前面的列线性相关。")) {
      columns[static_cast<std::size_t>(k)].dependent = true;
    }
  }
  return columns;
}

TEST(ExactGramSchmidt, RandomMatricesAreOrthogonalizedExactly) {
  std::mt19937 engine(13);
  int dependent = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int m = 1 + static_cast<int>(engine() % 5);
    const int n = 1 + static_cast<int>(engine() % 4);
    RationalMatrix a(m, n);
    for (int j = 1; j <= n; ++j) {
      // Now and then a column that is a combination of the two before it.
      const bool combination = j > 2 && engine() % 3 == 0;
      const auto p = static_cast<long long>(engine() % 5) - 2;
      const auto q = static_cast<long long>(engine() % 5) - 2;
      for (int i = 1; i <= m; ++i) {
        const auto r = static_cast<long long>(engine() % 9) - 4;
        if (combination)
          a(i, j) = a(i, j - 1) * p + a(i, j - 2) * q;
        else if (trial % 2 == 1)
          a(i, j) = MakeRational(BigInt(r * 10 + static_cast<long long>(engine() % 10)), 10);
        else
          a(i, j) = r;
      }
    }
    std::string text;
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) text += FormatRational(a(i, j)) + " ";
      text += "\n";
    }
    SCOPED_TRACE(text);
    const std::string trace =
        RunExact("gram-schmidt", text, {std::to_string(m), std::to_string(n)}).text2;
    ASSERT_EQ(trace.find("注意"), std::string::npos);
    const std::vector<PrintedColumn> columns = ParseTrace(trace, n);
    std::vector<int> kept;
    for (int k = 1; k <= n; ++k) {
      const PrintedColumn& column = columns[static_cast<std::size_t>(k)];
      ASSERT_EQ(column.beta.size(), static_cast<std::size_t>(m)) << trace;
      ASSERT_EQ(column.norm_squared, Dot(column.beta, column.beta));
      ASSERT_EQ(column.dependent, column.norm_squared == 0);
      // Coefficients against exactly the columns kept before it.
      ASSERT_EQ(column.coefficients.size(), kept.size());
      // a_k = β_k + Σ c_kj β_j, exactly.
      std::vector<Rational> rebuilt = column.beta;
      for (std::size_t t = 0; t < kept.size(); ++t) {
        ASSERT_EQ(column.coefficients[t].first, kept[t]);
        const PrintedColumn& earlier = columns[static_cast<std::size_t>(kept[t])];
        for (int i = 0; i < m; ++i) {
          rebuilt[static_cast<std::size_t>(i)] +=
              column.coefficients[t].second * earlier.beta[static_cast<std::size_t>(i)];
        }
        // Orthogonal to every β kept before it.
        ASSERT_EQ(Dot(column.beta, earlier.beta), 0);
      }
      for (int i = 1; i <= m; ++i) ASSERT_EQ(rebuilt[static_cast<std::size_t>(i - 1)], a(i, k));
      if (column.dependent)
        ++dependent;
      else
        kept.push_back(k);
    }
    // R = QᵀA is upper triangular: its entries below the diagonal are 0 as
    // printed, not rounding's remainders.
    const std::size_t r_at = trace.find("R = QᵀA：\r\n");
    if (kept.empty()) {
      ASSERT_EQ(r_at, std::string::npos);
      continue;
    }
    const std::vector<std::string> r_rows = testing::SplitCrLf(trace.substr(r_at));
    for (std::size_t c = 1; c <= kept.size(); ++c) {
      // The row's entries, each after four spaces.
      std::vector<std::string> entries;
      for (std::size_t at = 0; at < r_rows[c].size();) {
        const std::size_t next = r_rows[c].find("    ", at + 4);
        entries.push_back(r_rows[c].substr(at + 4, next - at - 4));
        at = next;
      }
      ASSERT_EQ(entries.size(), static_cast<std::size_t>(n)) << trace;
      for (int j = 1; j < kept[c - 1]; ++j) {
        ASSERT_EQ(entries[static_cast<std::size_t>(j - 1)], "0") << trace;
      }
    }
  }
  EXPECT_GT(dependent, 30);
}

}  // namespace
}  // namespace matcalc
