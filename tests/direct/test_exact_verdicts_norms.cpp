// 正定矩阵判断, 严格对角占优矩阵判断, 向量范数 and 矩阵范数 in the exact mode:
// whole traces of textbook matrices, the printed fractions of random
// matrices against sums and minors computed here, the fall-back and the
// refusal.
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
using testing::RunExact;
using testing::RunMethod;
using testing::SameText;

TEST(ExactVerdictsAndNorms, TextbookTraces) {
  // The Hilbert matrix of order 4: minors 1, 1/12, 1/2160, 1/6048000.
  EXPECT_TRUE(SameText(Golden("direct/positive_definite_exact_hilbert4.txt"),
                       RunExact("positive-definite",
                                "1 1/2 1/3 1/4\n1/2 1/3 1/4 1/5\n1/3 1/4 1/5 1/6\n"
                                "1/4 1/5 1/6 1/7",
                                {"4"})
                           .text2));
  // Row 2 ties: 0.3 + 0.6 is 9/10 exactly, yet 0.8999999999999999 in
  // doubles, where the row passes.
  const char* tie = "2 1/3 -1/2\n0.3 0.9 -0.6\n1/7 2/7 1/2";
  EXPECT_TRUE(SameText(Golden("direct/diagonal_dominance_exact_tie.txt"),
                       RunExact("diagonal-dominance", tie, {"3"}).text2));
  EXPECT_NE(
      RunMethod("diagonal-dominance", tie, {"3"}).text2.find("因此该矩阵是严格对角占优矩阵。"),
      std::string::npos);
  // 1-norm 115/84 and infinity-norm 1/2; the 2-norm in decimals.
  EXPECT_TRUE(SameText(Golden("direct/vector_norms_exact.txt"),
                       RunExact("vector-norms", "1/3 -1/2 0.25 -2/7").text2));
  // Column sums 19/15, 23/15, 43/60; row sums 13/12, 11/6, 3/5.
  EXPECT_TRUE(
      SameText(Golden("direct/matrix_norms_exact.txt"),
               RunExact("matrix-norms", "1/2 -1/3 1/4\n2/3 1 -1/6\n0.1 0.2 -0.3", {"3"}).text2));
}

TEST(ExactVerdictsAndNorms, EntriesNotExactFallBackToDecimals) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
  };
  const Case cases[] = {
      {"positive-definite", "2 1/3\n1/3 pi", {"2"}},
      {"diagonal-dominance", "pi 1/3\n1/3 2", {"2"}},
      {"vector-norms", "1/3 pi -2", {}},
      {"matrix-norms", "1/3 2\nsin(1) 4", {"2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    EXPECT_EQ(RunExact(c.method, c.text, c.answers).text2,
              std::string(kNotExactNote) + "\r\n" + RunMethod(c.method, c.text, c.answers).text2);
  }
}

// Order `n` with `entry(i, j)` as each entry's text.
template <typename Entry>
std::string MatrixText(int n, Entry entry) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) text += entry(i, j) + " ";
    text += "\n";
  }
  return text;
}

TEST(ExactVerdictsAndNorms, FractionsTooLongAreRefusedAndShortOnesAreNot) {
  // Sixty-digit denominators, all different: the sums' denominators grow
  // with every term.
  const std::string big = "123456789012345678901234567890123456789012345678901234567";
  const std::string long_fractions =
      MatrixText(300, [&](int i, int j) { return "1/" + big + std::to_string(1000 * i + j); });
  std::string long_vector;
  for (int i = 1; i <= 3000; ++i) long_vector += "1/" + big + std::to_string(i) + " ";
  // Short decimals at an order whose minors (not sums) would be far too
  // long: the sums stay short.
  const std::string short_decimals = MatrixText(
      300, [](int i, int j) { return std::to_string((i * 7 + j * 3) % 19 - 9) + ".25"; });

  const std::string refusal = "message\t\t" + std::string(kNumbersTooLongText) + "\tok\tok\n";
  struct Case {
    const char* method;
    const std::string& text;
    std::vector<std::string> answers;
    bool refused;
  };
  const Case cases[] = {
      {"positive-definite", long_fractions, {"300"}, true},
      {"diagonal-dominance", long_fractions, {"300"}, true},
      {"matrix-norms", long_fractions, {"300"}, true},
      {"vector-norms", long_vector, {}, true},
      {"diagonal-dominance", short_decimals, {"300"}, false},
      {"matrix-norms", short_decimals, {"300"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const testing::MethodOutcome run = RunExact(c.method, c.text, c.answers);
    if (c.refused) {
      EXPECT_EQ(run.text2, "previous result");
      EXPECT_FALSE(run.changed);
      EXPECT_TRUE(run.dialogs.ends_with(refusal)) << run.dialogs;
    } else {
      EXPECT_TRUE(run.changed);
      EXPECT_TRUE(run.text2.starts_with("  ")) << run.text2.substr(0, 200);
      EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << run.dialogs;
    }
  }
}

TEST(ExactVerdictsAndNorms, ProgressGrowsAndAStopLeavesThePane) {
  struct Case {
    const char* method;
    int n;  // the order, or the vector's length
  };
  for (const Case& c : {Case{"positive-definite", 30}, Case{"diagonal-dominance", 200},
                        Case{"matrix-norms", 200}, Case{"vector-norms", 20000}}) {
    SCOPED_TRACE(c.method);
    const bool vector = std::string_view(c.method) == "vector-norms";
    // Symmetric, its diagonal beyond its row sums: every test runs through.
    const std::string text =
        vector ? MatrixText(1,
                            [&](int, int) {
                              std::string row;
                              for (int j = 1; j <= c.n; ++j)
                                row += std::to_string(j % 9 + 1) + "/" + std::to_string(j % 7 + 2) +
                                       " ";
                              return row;
                            })
               : MatrixText(c.n, [&](int i, int j) {
                   return i == j ? std::to_string(4 * c.n) : std::to_string((i * j) % 7 - 3) + "/5";
                 });
    const std::vector<std::string> answers =
        vector ? std::vector<std::string>{} : std::vector<std::string>{std::to_string(c.n)};
    const std::string trace = testing::ExpectProgressAndStop(c.method, text, answers, true);
    EXPECT_NE(trace.find("/"), std::string::npos);
    EXPECT_EQ(trace.find("注意"), std::string::npos);
  }
}

// Random entries: small integers, or decimals of up to two places.
RationalMatrix RandomMatrix(std::mt19937& engine, int n, bool decimals, bool symmetric) {
  RationalMatrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (symmetric && j < i) {
        a(i, j) = a(j, i);
        continue;
      }
      const auto r = static_cast<long long>(engine() % 13) - 6;
      a(i, j) = decimals ? MakeRational(BigInt(r * 25 + static_cast<long long>(engine() % 100)),
                                        BigInt(100))
                         : Rational(r);
    }
    // Heavier diagonals now and then: more matrices pass both tests.
    if (engine() % 2 == 0) a(i, i) += 3 * n;
  }
  return a;
}

std::string TextOf(const RationalMatrix& a) {
  return MatrixText(a.rows(), [&](int i, int j) { return FormatRational(a(i, j)); });
}

Rational ParseFraction(const std::string& text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return Rational(BigInt(text));
  return MakeRational(BigInt(text.substr(0, slash)), BigInt(text.substr(slash + 1)));
}

// The value after `label` on the trace's line that starts with it.
std::vector<Rational> ValuesAfter(const std::string& trace, const std::string& label) {
  std::vector<Rational> values;
  for (const std::string& line : testing::SplitCrLf(trace)) {
    const std::size_t at = line.find(label);
    if (at != std::string::npos) values.push_back(ParseFraction(line.substr(at + label.size())));
  }
  return values;
}

// The determinant by expansion along the first row (no elimination).
Rational Expansion(const RationalMatrix& a, const std::vector<int>& rows) {
  if (rows.size() == 1) return a(rows[0], rows[0]);
  const std::vector<int> rest(rows.begin() + 1, rows.end());
  Rational sum = 0;
  for (std::size_t c = 0; c < rows.size(); ++c) {
    std::vector<int> columns = rows;
    columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(c));
    // The minor of rows `rest` and `columns`, both as lists of indices.
    RationalMatrix sub(static_cast<int>(rest.size()), static_cast<int>(rest.size()));
    for (std::size_t i = 0; i < rest.size(); ++i) {
      for (std::size_t j = 0; j < columns.size(); ++j) {
        sub(static_cast<int>(i) + 1, static_cast<int>(j) + 1) = a(rest[i], columns[j]);
      }
    }
    std::vector<int> all(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) all[i] = static_cast<int>(i) + 1;
    const Rational term = a(rows[0], rows[c]) * Expansion(sub, all);
    sum += c % 2 == 0 ? term : Rational(-term);
  }
  return sum;
}

TEST(ExactVerdictsAndNorms, RandomMatricesAgainstSumsAndMinorsComputedHere) {
  std::mt19937 engine(26);
  int definite = 0;
  int dominant = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 1 + static_cast<int>(engine() % 5);
    const RationalMatrix a = RandomMatrix(engine, n, trial % 2 == 1, trial % 4 != 3);
    bool symmetric = true;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j < i; ++j) symmetric = symmetric && a(i, j) == a(j, i);
    }
    const std::string text = TextOf(a);
    SCOPED_TRACE(text);

    // Every leading minor printed, up to the first that is not positive.
    const std::string minors_trace = RunExact("positive-definite", text, {std::to_string(n)}).text2;
    const std::vector<Rational> minors = ValuesAfter(minors_trace, "阶顺序主子式的值为： ");
    ASSERT_FALSE(minors.empty());
    bool all_positive = true;
    for (std::size_t k = 1; k <= minors.size(); ++k) {
      std::vector<int> rows;
      for (int i = 1; i <= static_cast<int>(k); ++i) rows.push_back(i);
      ASSERT_EQ(minors[k - 1], Expansion(a, rows)) << minors_trace;
      if (minors[k - 1] <= 0) {
        all_positive = false;
        ASSERT_EQ(k, minors.size());
      }
    }
    if (all_positive) ASSERT_EQ(minors.size(), static_cast<std::size_t>(n));
    const bool is_definite = minors_trace.find("是正定矩阵。") != std::string::npos;
    ASSERT_EQ(is_definite, symmetric && all_positive) << minors_trace;
    definite += is_definite ? 1 : 0;

    // Diagonal dominance, row by row in fractions.
    int first_failing = 0;
    for (int i = n; i >= 1; --i) {
      Rational others = 0;
      for (int j = 1; j <= n; ++j) others += j == i ? Rational(0) : Rational(abs(a(i, j)));
      if (abs(a(i, i)) <= others) first_failing = i;
    }
    const std::string dominance_trace =
        RunExact("diagonal-dominance", text, {std::to_string(n)}).text2;
    if (first_failing == 0) {
      ++dominant;
      ASSERT_NE(dominance_trace.find("因此该矩阵是严格对角占优矩阵。"), std::string::npos);
    } else {
      ASSERT_NE(dominance_trace.find("第 " + std::to_string(first_failing) + " 行对角元素"),
                std::string::npos)
          << dominance_trace;
    }

    // The 1- and infinity-norms as sums of the fractions; the decimal lines
    // as in the decimal mode.
    Rational one = 0;
    Rational infinity = 0;
    for (int k = 1; k <= n; ++k) {
      Rational column = 0;
      Rational row = 0;
      for (int l = 1; l <= n; ++l) {
        column += abs(a(l, k));
        row += abs(a(k, l));
      }
      one = std::max(one, column);
      infinity = std::max(infinity, row);
    }
    const std::string norms_trace = RunExact("matrix-norms", text, {std::to_string(n)}).text2;
    ASSERT_EQ(ValuesAfter(norms_trace, "矩阵的1范数为： "), std::vector<Rational>{one});
    ASSERT_EQ(ValuesAfter(norms_trace, "矩阵的无穷范数为： "), std::vector<Rational>{infinity});
    const std::string decimal = RunMethod("matrix-norms", text, {std::to_string(n)}).text2;
    for (const char* label : {"矩阵的2范数为(参考值)： ", "矩阵的F范数为： "}) {
      const std::size_t exact_at = norms_trace.find(label);
      const std::size_t decimal_at = decimal.find(label);
      ASSERT_EQ(norms_trace.substr(exact_at, norms_trace.find('\r', exact_at) - exact_at),
                decimal.substr(decimal_at, decimal.find('\r', decimal_at) - decimal_at));
    }

    // The first row as a vector.
    std::string vector_text;
    Rational sum = 0;
    Rational largest = 0;
    for (int j = 1; j <= n; ++j) {
      vector_text += FormatRational(a(1, j)) + " ";
      sum += abs(a(1, j));
      largest = std::max(largest, Rational(abs(a(1, j))));
    }
    const std::string vector_trace = RunExact("vector-norms", vector_text).text2;
    ASSERT_EQ(ValuesAfter(vector_trace, "向量的1范数为： "), std::vector<Rational>{sum});
    ASSERT_EQ(ValuesAfter(vector_trace, "向量的无穷范数为： "), std::vector<Rational>{largest});
  }
  // Both verdicts met often enough to mean something.
  EXPECT_GT(definite, 60);
  EXPECT_GT(dominant, 60);
}

}  // namespace
}  // namespace matcalc
