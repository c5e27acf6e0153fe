#include "io/matrix_routines.h"

#include <algorithm>
#include <cmath>

#include "io/number_text.h"
#include "io/text_util.h"

namespace matcalc {

std::string FormatVector(const Vector& v, int mode) {
  std::string s;
  if (mode != 1 && mode != 2) return s;
  s.reserve(static_cast<std::size_t>(v.size()) * 26);
  for (int i = 1; i <= v.size(); ++i) {
    AppendField24(s, v(i));
    if (mode == 2) s += kCrLf;
  }
  return s;
}

Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int m, int p, int k, int digits) {
  Matrix c(m, p);
  if (m > a.rows() || k > a.cols() || k > b.rows() || p > b.cols()) return c;
  // Every entry keeps its own summation order (l = 1..k, no fused
  // multiply-add); entries of one row are independent, so a row of sums is
  // carried along together and B is read row by row, which keeps the loop
  // friendly to the cache and to vector units. Rows are taken in blocks so
  // that each row of B is reused while it is in the cache.
  constexpr int kRowBlock = 4;
  constexpr int kColumnBlock = 512;
  std::vector<double> sums(static_cast<std::size_t>(kRowBlock) * kColumnBlock);
  for (int j0 = 1; j0 <= p; j0 += kColumnBlock) {
    const int width = std::min(kColumnBlock, p - j0 + 1);
    for (int i0 = 1; i0 <= m; i0 += kRowBlock) {
      const int height = std::min(kRowBlock, m - i0 + 1);
      std::fill(sums.begin(), sums.end(), 0.0);
      for (int l = 1; l <= k; ++l) {
        const double* brow = b.row(l) + j0;
        for (int r = 0; r < height; ++r) {
          const double ail = a(i0 + r, l);
          double* s = sums.data() + static_cast<std::size_t>(r) * kColumnBlock;
          for (int j = 0; j < width; ++j) s[j] = ail * brow[j] + s[j];
        }
      }
      for (int r = 0; r < height; ++r) {
        double* crow = c.row(i0 + r) + j0;
        const double* s = sums.data() + static_cast<std::size_t>(r) * kColumnBlock;
        for (int j = 0; j < width; ++j) crow[j] = RoundTo(s[j], digits);
      }
    }
  }
  return c;
}

Vector MultiplyMatrixVector(const Matrix& a, const Vector& x, int n, int digits) {
  Vector y(n);
  if (n > a.rows() || n > a.cols() || n > x.size()) return y;
  for (int i = 1; i <= n; ++i) {
    const double* arow = a.row(i);
    double s = 0;
    for (int j = 1; j <= n; ++j) s = x(j) * arow[j] + s;
    y(i) = RoundTo(s, digits);
  }
  return y;
}

void FindLargestOffDiagonal(const Matrix& a, int& p, int& q) {
  const int rows = std::min(p, a.rows());
  const int cols = std::min(q, a.cols());
  double best = 0;
  int best_row = 0;
  int best_col = 0;
  for (int i = 1; i <= rows; ++i) {
    const double* arow = a.row(i);
    for (int j = i + 1; j <= cols; ++j) {
      const double magnitude = std::fabs(arow[j]);
      if (magnitude > best) {
        best = magnitude;
        best_row = i;
        best_col = j;
      }
    }
  }
  p = best_row;
  q = best_col;
}

}  // namespace matcalc
