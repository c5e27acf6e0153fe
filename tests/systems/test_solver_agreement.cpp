// The printed solutions of the direct solvers, and the printed condition
// numbers, against Eigen's on a few thousand random well-conditioned systems:
// each printed number must lie within what its rounding to D places allows.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "support/golden.h"
#include "text/float_chars.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::RunMethod;

double Parse(std::string_view text) {
  double value = std::nan("");
  ParseDouble(text.data(), text.data() + text.size(), value);
  return value;
}

enum class Shape { kGeneral, kShuffled, kSymmetric, kTridiagonal };

struct RandomSystem {
  Eigen::MatrixXd a;
  Eigen::VectorXd b;
  std::string text;
};

// Off-diagonal entries in [-1, 1], diagonal entries n + 1 to n + 2 (positive
// for the symmetric ones, of either sign otherwise), b in [-10, 10], all in
// thousandths: strictly dominant by rows and columns, so well-conditioned
// and solvable without exchanges. The shuffled ones have their rows (with
// b) permuted, so that the pivoting has exchanges to make.
RandomSystem MakeSystem(std::mt19937& rng, int n, Shape shape) {
  auto uniform = [&rng](int low, int high) {
    return low + static_cast<int>(rng() % static_cast<std::uint32_t>(high - low + 1));
  };
  Eigen::MatrixXd ab(n, n + 1);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (i == j) {
        const int sign = shape == Shape::kSymmetric || uniform(0, 1) == 0 ? 1 : -1;
        ab(i, j) = sign * ((n + 1) * 1000 + uniform(0, 1000)) / 1000.0;
      } else if (shape == Shape::kSymmetric && j < i) {
        ab(i, j) = ab(j, i);
      } else if (shape == Shape::kTridiagonal && (j < i - 1 || j > i + 1)) {
        ab(i, j) = 0;
      } else {
        ab(i, j) = uniform(-1000, 1000) / 1000.0;
      }
    }
    ab(i, n) = uniform(-10000, 10000) / 1000.0;
  }
  if (shape == Shape::kShuffled) {
    for (int i = n - 1; i > 0; --i) ab.row(i).swap(ab.row(uniform(0, i)));
  }
  RandomSystem s;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= n; ++j) {
      const std::string entry = FormatNumber(ab(i, j));
      ab(i, j) = Parse(entry);  // exactly what the reader gets
      s.text += (j == 0 ? "" : " ") + entry;
    }
    s.text += "\r\n";
  }
  s.a = ab.leftCols(n);
  s.b = ab.col(n);
  return s;
}

// x1..xn from the solution block at the end of a trace; NaN where missing.
Eigen::VectorXd PrintedSolution(std::string_view trace, int n) {
  Eigen::VectorXd x = Eigen::VectorXd::Constant(n, std::nan(""));
  for (int i = 1; i <= n; ++i) {
    const std::string label = "\r\n    x" + std::to_string(i) + " = ";
    const std::size_t pos = trace.rfind(label);
    if (pos == std::string_view::npos) continue;
    const std::size_t start = pos + label.size();
    const std::size_t end = trace.find("\r\n", start);
    x(i - 1) = Parse(trace.substr(start, end - start));
  }
  return x;
}

double NumberAfter(std::string_view text, std::string_view label) {
  const std::size_t pos = text.find(label);
  if (pos == std::string_view::npos) return std::nan("");
  const std::size_t start = pos + label.size();
  return Parse(text.substr(start, text.find("\r\n", start) - start));
}

TEST(SolverAgreement, PrintedSolutionsOfRandomWellConditionedSystems) {
  std::mt19937 rng(20261207);
  struct Solver {
    const char* method;
    Shape shape;
  };
  const Solver solvers[] = {{"gauss", Shape::kShuffled},   {"gauss", Shape::kGeneral},
                            {"lu-solve", Shape::kGeneral}, {"cholesky", Shape::kSymmetric},
                            {"ldlt", Shape::kSymmetric},   {"tridiagonal", Shape::kTridiagonal}};
  int compared = 0;
  for (int c = 0; c < 600; ++c) {
    const int n = 1 + c % 9;
    const int digits = 3 + c % 10;
    // The printed x is the computed one rounded to D places; the computed
    // one and the reference differ by a few units of the last place of
    // numbers below 10 in magnitude.
    const double bound = 0.5 * std::pow(10.0, -digits) + 1e-12;
    for (const Solver& solver : solvers) {
      const RandomSystem s = MakeSystem(rng, n, solver.shape);
      const Eigen::VectorXd reference = s.a.partialPivLu().solve(s.b);
      const std::string trace =
          RunMethod(solver.method, s.text, {std::to_string(n)}, {}, digits).text2;
      const Eigen::VectorXd printed = PrintedSolution(trace, n);
      for (int i = 0; i < n; ++i) {
        ASSERT_LE(std::fabs(printed(i) - reference(i)), bound)
            << solver.method << ", D = " << digits << ", x" << i + 1 << "\n"
            << s.text << trace;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 15000);
}

TEST(SolverAgreement, PrintedConditionNumbersOfRandomMatrices) {
  std::mt19937 rng(31);
  for (int c = 0; c < 400; ++c) {
    const int n = 1 + c % 9;
    const int digits = 3 + c % 10;
    const RandomSystem s = MakeSystem(rng, n, c % 2 ? Shape::kShuffled : Shape::kGeneral);
    const Eigen::MatrixXd inverse = s.a.inverse();
    const auto one = [](const Eigen::MatrixXd& m) {
      return m.cwiseAbs().colwise().sum().maxCoeff();
    };
    const auto inf = [](const Eigen::MatrixXd& m) {
      return m.cwiseAbs().rowwise().sum().maxCoeff();
    };
    const Eigen::VectorXd sigma = Eigen::JacobiSVD<Eigen::MatrixXd>(s.a).singularValues();
    const double cond1 = one(s.a) * one(inverse);
    const double cond2 = sigma(0) / sigma(n - 1);
    const double cond_inf = inf(s.a) * inf(inverse);
    const std::string trace = RunMethod("condition", s.text, {std::to_string(n)}, {}, digits).text2;
    const double half_unit = 0.5 * std::pow(10.0, -digits);
    const std::string where = "D = " + std::to_string(digits) + "\n" + s.text + trace;
    EXPECT_NEAR(NumberAfter(trace, "‖A‖1·‖A⁻¹‖1 = "), cond1, half_unit + 1e-12 * cond1) << where;
    EXPECT_NEAR(NumberAfter(trace, "σmax/σmin = "), cond2, half_unit + 1e-12 * cond2) << where;
    EXPECT_NEAR(NumberAfter(trace, "‖A‖∞·‖A⁻¹‖∞ = "), cond_inf, half_unit + 1e-12 * cond_inf)
        << where;
  }
}

}  // namespace
}  // namespace matcalc
