// The printed results of the direct methods against a double-precision
// reference, on random well-conditioned matrices: each printed number must
// lie within what the trace's own rounding allows.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <charconv>
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

struct RandomMatrix {
  int n = 0;
  Eigen::MatrixXd a;
  std::string text;
};

double Parse(std::string_view text) {
  double value = std::nan("");
  ParseDouble(text.data(), text.data() + text.size(), value);
  return value;
}

// Off-diagonal entries in [-1, 1], diagonal entries of magnitude n + 1 to
// n + 2, all in thousandths: strictly dominant by rows and by columns, so
// well-conditioned and factorable without exchanges. `shuffle_rows` permutes
// the rows so that the pivoting methods have exchanges to make.
RandomMatrix MakeMatrix(std::mt19937& rng, int n, bool shuffle_rows) {
  auto uniform = [&rng](int low, int high) {
    return low + static_cast<int>(rng() % static_cast<std::uint32_t>(high - low + 1));
  };
  Eigen::MatrixXd a(n, n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const int k = i != j ? uniform(-1000, 1000)
                           : (uniform(0, 1) == 0 ? -1 : 1) * ((n + 1) * 1000 + uniform(0, 1000));
      a(i, j) = k / 1000.0;
    }
  }
  if (shuffle_rows) {
    for (int i = n - 1; i > 0; --i) a.row(i).swap(a.row(uniform(0, i)));
  }
  RandomMatrix m{n, a, {}};
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const std::string entry = FormatNumber(a(i, j));
      m.a(i, j) = Parse(entry);  // exactly what the reader gets
      m.text += (j == 0 ? "" : " ") + entry;
    }
    m.text += "\r\n";
  }
  return m;
}

// The n rows of numbers that follow the line `heading`, skipping empty
// lines; entries are separated by spaces.
Eigen::MatrixXd BlockAfter(std::string_view text, std::string_view heading, int rows,
                           int first_column, int columns) {
  Eigen::MatrixXd block = Eigen::MatrixXd::Constant(rows, columns, std::nan(""));
  std::size_t pos = text.find(heading);
  if (pos == std::string_view::npos) return block;
  pos = text.find('\n', pos) + 1;
  int row = 0;
  while (row < rows && pos < text.size()) {
    const std::size_t end = std::min(text.find("\r\n", pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    int column = 0;
    while (!line.empty()) {
      const std::size_t start = line.find_first_not_of(' ');
      if (start == std::string_view::npos) break;
      line.remove_prefix(start);
      const std::size_t space = std::min(line.find(' '), line.size());
      ++column;
      if (column >= first_column && column < first_column + columns) {
        block(row, column - first_column) = Parse(line.substr(0, space));
      }
      line.remove_prefix(space);
    }
    ++row;
  }
  return block;
}

double NumberAfter(std::string_view text, std::string_view label) {
  const std::size_t pos = text.find(label);
  if (pos == std::string_view::npos) return std::nan("");
  const std::size_t start = text.find_first_not_of(" \r\n", pos + label.size());
  const std::size_t end = std::min(text.find("\r\n", start), text.size());
  return Parse(text.substr(start, end - start));
}

void ExpectNear(const Eigen::MatrixXd& printed, const Eigen::MatrixXd& reference, double tolerance,
                const std::string& what) {
  for (int i = 0; i < reference.rows(); ++i) {
    for (int j = 0; j < reference.cols(); ++j) {
      EXPECT_LE(std::fabs(printed(i, j) - reference(i, j)), tolerance)
          << what << " (" << i + 1 << "," << j + 1 << "): printed " << printed(i, j)
          << ", reference " << reference(i, j);
    }
  }
}

TEST(DirectAgreement, RandomWellConditionedMatrices) {
  std::mt19937 rng(20240607);
  for (int c = 0; c < 200; ++c) {
    const int n = 1 + c % 8;
    const int digits = 4 + c % 5;
    const double half_unit = 0.5 * std::pow(10.0, -digits);
    const std::string order = std::to_string(n);
    const RandomMatrix m = MakeMatrix(rng, n, true);
    const std::string where =
        "matrix " + std::to_string(c) + ", D = " + std::to_string(digits) + ":\n" + m.text;

    // Every update is rounded to 7 places: each pivot may be off by about
    // k x 1e-7, and the pivots are at least n in magnitude.
    const double det = m.a.determinant();
    const std::string det_trace = RunMethod("determinant", m.text, {order}, {}, digits).text2;
    EXPECT_LE(std::fabs(NumberAfter(det_trace, "行列式的值为：") - det),
              half_unit + std::fabs(det) * n * n * 1e-7)
        << where << det_trace;

    // The other rows are rounded to D + 1 places at each of the n steps.
    const std::string inv_trace = RunMethod("inverse", m.text, {order}, {}, digits).text2;
    ExpectNear(BlockAfter(inv_trace, "矩阵的逆为：", n, 1, n), m.a.inverse(),
               half_unit + n * std::pow(10.0, -(digits + 1)), "inverse of " + where);
    ExpectNear(BlockAfter(inv_trace, "输出矩阵选主元、消元后的结果", n, 1, n),
               Eigen::MatrixXd::Identity(n, n), 0, "eliminated columns of " + where);

    const std::string norm_trace = RunMethod("matrix-norms", m.text, {order}, {}, digits).text2;
    const double one_norm = m.a.cwiseAbs().colwise().sum().maxCoeff();
    const double infinity_norm = m.a.cwiseAbs().rowwise().sum().maxCoeff();
    const double two_norm = Eigen::JacobiSVD<Eigen::MatrixXd>(m.a).singularValues()(0);
    EXPECT_NEAR(NumberAfter(norm_trace, "矩阵的1范数为： "), one_norm, 1e-13 * one_norm) << where;
    EXPECT_NEAR(NumberAfter(norm_trace, "矩阵的2范数为(参考值)： "), two_norm,
                half_unit + 1e-12 * two_norm)
        << where;
    EXPECT_NEAR(NumberAfter(norm_trace, "矩阵的F范数为： "), m.a.norm(),
                half_unit + 1e-12 * m.a.norm())
        << where;
    EXPECT_NEAR(NumberAfter(norm_trace, "矩阵的无穷范数为： "), infinity_norm,
                1e-13 * infinity_norm)
        << where;

    // Without exchanges (strict dominance by columns) the reference's
    // partial-pivoting factors are the Doolittle factors.
    const RandomMatrix plain = MakeMatrix(rng, n, false);
    const Eigen::PartialPivLU<Eigen::MatrixXd> lu(plain.a);
    ASSERT_TRUE(lu.permutationP().indices() == Eigen::VectorXi::LinSpaced(n, 0, n - 1));
    const Eigen::MatrixXd l = lu.matrixLU().triangularView<Eigen::UnitLower>().toDenseMatrix();
    const Eigen::MatrixXd u = lu.matrixLU().triangularView<Eigen::Upper>().toDenseMatrix();
    const std::string lu_trace = RunMethod("lu", plain.text, {order}, {}, digits).text2;
    ExpectNear(BlockAfter(lu_trace, "下三角矩阵L(n)", n, 1, n), l, half_unit + 1e-12,
               "L of " + plain.text);
    ExpectNear(BlockAfter(lu_trace, "上三角矩阵U(n)", n, 1, n), u, half_unit + 1e-11 * n,
               "U of " + plain.text);
  }
}

}  // namespace
}  // namespace matcalc
