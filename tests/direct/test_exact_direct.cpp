// The direct methods in the exact mode: whole traces of textbook matrices,
// the eliminations against independent exact computations on random
// matrices, the notes and the refusal.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "direct/elimination.h"
#include "frame/frame.h"
#include "linalg/doolittle_of.h"
#include "linalg/exact_readers.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::RunExact;
using testing::SameText;

TEST(ExactDirect, TextbookTraces) {
  // The inverse of the Hilbert matrix of order 4 has integer entries.
  EXPECT_TRUE(SameText(Golden("direct/inverse_exact_hilbert4.txt"),
                       RunExact("inverse",
                                "1 1/2 1/3 1/4\n1/2 1/3 1/4 1/5\n1/3 1/4 1/5 1/6\n"
                                "1/4 1/5 1/6 1/7",
                                {"4"})
                           .text2));
  // Fractional multipliers in L.
  EXPECT_TRUE(SameText(Golden("direct/lu_exact_fractions.txt"),
                       RunExact("lu", "3 1 2\n1 2 1/2\n2 1/3 4", {"3"}).text2));
  // A system with a fractional solution.
  EXPECT_TRUE(SameText(Golden("systems/gauss_exact_fractions.txt"),
                       RunExact("gauss", "3 2 1 1\n1 3 2 2\n2 1 4 3", {"3"}).text2));
  // Two exchanges and a determinant of 1/6.
  EXPECT_TRUE(SameText(Golden("direct/determinant_exact_sixth.txt"),
                       RunExact("determinant", "0 1 0\n1/4 0 1/2\n1/2 0 1/3", {"3"}).text2));
}

TEST(ExactDirect, NotesAndFallBacks) {
  const std::string not_exact(kNotExactNote);
  const std::string decimal_method(kDecimalMethodNote);
  // An entry that is not exact: the decimal trace after the note.
  for (const char* name : {"inverse", "determinant"}) {
    const std::string decimal = testing::RunMethod(name, "pi 1\n1 2", {"2"}).text2;
    EXPECT_EQ(RunExact(name, "pi 1\n1 2", {"2"}).text2, not_exact + "\r\n" + decimal) << name;
    // Without the setting nothing changes.
    EXPECT_EQ(testing::RunMethod(name, "1/3 1\n1 2", {"2"}).text2.find("1/3"), std::string::npos);
  }
  // A singular matrix has no exact inverse: the decimal trace says where.
  const std::string singular = RunExact("inverse", "1 2\n2 4", {"2"}).text2;
  EXPECT_TRUE(singular.starts_with("注意：矩阵奇异")) << singular;
  EXPECT_NE(singular.find("Infinity"), std::string::npos);
  // The methods that need square roots or iterate say so first.
  const std::string power = RunExact("power", "2 1\n1 2", {"2", "0.001", "1 1"}).text2;
  EXPECT_TRUE(power.starts_with(decimal_method + "\r\n")) << power;
  const std::string cholesky = RunExact("cholesky", "4 2 2\n2 2 1", {"2"}).text2;
  EXPECT_TRUE(cholesky.starts_with(decimal_method + "\r\n")) << cholesky;
}

TEST(ExactDirect, FractionsTooLongAreRefused) {
  // Order 300 with 60-digit entries: Hadamard's bound gives minors of some
  // 18,000 digits, far beyond a minute.
  std::string text;
  const std::string big = "123456789012345678901234567890123456789012345678901234567891";
  for (int i = 1; i <= 300; ++i) {
    for (int j = 1; j <= 300; ++j) text += (i == j ? big : std::to_string(i * j % 97)) + " ";
    text += "\n";
  }
  const std::string refusal = "message\t\t" + std::string(kNumbersTooLongText) + "\tok\tok\n";
  for (const char* name : {"inverse", "determinant"}) {
    const testing::MethodOutcome run = RunExact(name, text, {"300"});
    EXPECT_EQ(run.text2, "previous result") << name;
    EXPECT_FALSE(run.changed) << name;
    EXPECT_TRUE(run.dialogs.ends_with(refusal)) << name << " " << run.dialogs;
  }
}

// Random matrices: small integers, and decimals with up to two places.
RationalMatrix RandomMatrix(std::mt19937& engine, int n, bool decimals) {
  RationalMatrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const auto r = static_cast<long long>(engine() % 19) - 9;
      a(i, j) = decimals ? MakeRational(BigInt(r * 37 + static_cast<long long>(engine() % 100)),
                                        BigInt(100))
                         : Rational(r);
    }
  }
  return a;
}

// The determinant by expansion along the first row: independent of any
// elimination.
Rational Expansion(const RationalMatrix& a, const std::vector<int>& rows,
                   const std::vector<int>& cols) {
  if (rows.size() == 1) return a(rows[0], cols[0]);
  Rational sum = 0;
  for (std::size_t c = 0; c < cols.size(); ++c) {
    std::vector<int> rest_cols = cols;
    rest_cols.erase(rest_cols.begin() + static_cast<std::ptrdiff_t>(c));
    const std::vector<int> rest_rows(rows.begin() + 1, rows.end());
    const Rational term = a(rows[0], cols[c]) * Expansion(a, rest_rows, rest_cols);
    sum += c % 2 == 0 ? term : Rational(-term);
  }
  return sum;
}

TEST(ExactDirect, RandomMatricesAgainstIndependentChecks) {
  std::mt19937 engine(2024);
  int inverted = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + static_cast<int>(engine() % 5);
    const RationalMatrix a = RandomMatrix(engine, n, trial % 2 == 1);
    std::vector<int> all(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) all[static_cast<std::size_t>(i)] = i + 1;
    const Rational expected = Expansion(a, all, all);

    RationalMatrix u = a;
    int exchanges = 0;
    const Rational determinant = PivotDeterminantOf(u, exchanges, 7, nullptr);
    ASSERT_EQ(determinant, expected) << "trial " << trial;
    // The eliminated matrix is upper triangular and its diagonal gives the
    // determinant.
    Rational diagonal = exchanges % 2 == 0 ? 1 : -1;
    for (int i = 1; i <= n; ++i) {
      diagonal *= u(i, i);
      for (int j = 1; j < i; ++j) ASSERT_EQ(u(i, j), 0) << "trial " << trial;
    }
    ASSERT_EQ(diagonal, expected);

    RationalMatrix b(n, 2 * n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) b(i, j) = a(i, j);
      b(i, n + i) = 1;
    }
    const bool invertible = GaussJordanInvertOf(b, n, 0, ZeroPivot::kGoOn, nullptr);
    ASSERT_EQ(invertible, expected != 0) << "trial " << trial;
    // L U = A whenever no pivot is 0 on the way.
    RationalMatrix l(n, n);
    RationalMatrix lu_u(n, n);
    if (FactorDoolittleOf(a, l, lu_u, n, {.places = std::nullopt, .nan_pivot_fails = true})) {
      for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
          Rational sum = 0;
          for (int k = 1; k <= std::min(i, j); ++k) sum += l(i, k) * lu_u(k, j);
          ASSERT_EQ(sum, a(i, j)) << "trial " << trial;
        }
      }
    }
    if (!invertible) continue;
    ++inverted;
    // A times the inverse is the identity, exactly.
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        Rational sum = 0;
        for (int k = 1; k <= n; ++k) sum += a(i, k) * b(k, n + j);
        ASSERT_EQ(sum, i == j ? 1 : 0) << "trial " << trial;
      }
    }
  }
  EXPECT_GT(inverted, 2000);
}

// The fraction a trace prints: "p" or "p/q".
Rational ParseFraction(const std::string& text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return Rational(BigInt(text));
  return MakeRational(BigInt(text.substr(0, slash)), BigInt(text.substr(slash + 1)));
}

TEST(ExactDirect, GaussSolutionsSatisfyTheSystemExactly) {
  std::mt19937 engine(77);
  int solved = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 1 + static_cast<int>(engine() % 4);
    const RationalMatrix a = RandomMatrix(engine, n + 1, trial % 2 == 1);
    std::string text;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n + 1; ++j) text += FormatRational(a(i, j)) + " ";
      text += "\n";
    }
    const std::string trace = RunExact("gauss", text, {std::to_string(n)}).text2;
    std::vector<Rational> x;
    for (const std::string& line : testing::SplitCrLf(trace)) {
      const std::size_t equals = line.find(" = ");
      if (line.starts_with("    x") && equals != std::string::npos) {
        x.push_back(ParseFraction(line.substr(equals + 3)));
      }
    }
    if (x.empty()) {
      EXPECT_NE(trace.find("系数矩阵奇异"), std::string::npos) << text;
      continue;
    }
    ++solved;
    ASSERT_EQ(x.size(), static_cast<std::size_t>(n)) << trace;
    for (int i = 1; i <= n; ++i) {
      Rational sum = 0;
      for (int j = 1; j <= n; ++j) sum += a(i, j) * x[static_cast<std::size_t>(j - 1)];
      ASSERT_EQ(sum, a(i, n + 1)) << text << trace;
    }
  }
  EXPECT_GT(solved, 200);
}

}  // namespace
}  // namespace matcalc
