#include "linalg/matrix_routines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "linalg/product_kernels.h"
#include "text/number_text.h"
#include "text/text_util.h"

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

namespace {

// The rounded product is blocked for the cache and the vector units, but each
// entry keeps its own sum: l = 1..k in increasing order, s = A(i,l) B(l,j) + s
// with a separate multiply and add (never fused), and one rounding at the end.
// Blocks over l are taken in increasing order and carry the unrounded partial
// sums in C from one block to the next, which changes nothing in any entry.
//
// The tile kernels (product_kernels.h) work on packed panels, padded with
// zeros to whole tiles; padded rows and columns are computed and thrown away.
constexpr int kDepthBlock = 256;  // l per block: a B panel stays in L1
constexpr int kRowBlock = 96;     // rows of A packed at a time: stays in L2

}  // namespace

Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int m, int p, int k, int digits,
                        WorkMeter* meter) {
  return MultiplyMatricesWith(SupportedKernels().front(), a, b, m, p, k, digits, meter);
}

Matrix MultiplyMatricesWith(const TileKernel& kernel, const Matrix& a, const Matrix& b, int m,
                            int p, int k, int digits, WorkMeter* meter) {
  Matrix c(m, p);
  if (m > a.rows() || k > a.cols() || k > b.rows() || p > b.cols()) return c;
  if (m < 1 || p < 1) return c;

  const int tile_rows = kernel.rows;
  const int tile_cols = kernel.cols;
  const int panels = (p + tile_cols - 1) / tile_cols;
  const int row_block = std::min(kRowBlock, (m + tile_rows - 1) / tile_rows * tile_rows);
  const std::size_t ldc = static_cast<std::size_t>(p) + 1;  // C(i, j) is c.row(i)[j]

  std::vector<double> packed_b(static_cast<std::size_t>(kDepthBlock) * panels * tile_cols);
  std::vector<double> packed_a(static_cast<std::size_t>(kDepthBlock) * row_block);
  // Tiles that reach past row m or column p are computed here and copied.
  std::vector<double> edge(static_cast<std::size_t>(tile_rows) * tile_cols);

  // k = 0 leaves every sum 0, as the plain loops would.
  for (int l0 = 1; l0 <= k; l0 += kDepthBlock) {
    const int depth = std::min(kDepthBlock, k - l0 + 1);
    const bool first = l0 == 1;
    for (int panel = 0; panel < panels; ++panel) {
      double* dst = packed_b.data() + static_cast<std::size_t>(panel) * kDepthBlock * tile_cols;
      const int j0 = 1 + panel * tile_cols;
      const int width = std::min(tile_cols, p - j0 + 1);
      for (int l = 0; l < depth; ++l) {
        const double* src = b.row(l0 + l) + j0;
        double* row = dst + static_cast<std::size_t>(l) * tile_cols;
        for (int j = 0; j < width; ++j) row[j] = src[j];
        for (int j = width; j < tile_cols; ++j) row[j] = 0;
      }
    }
    for (int i0 = 1; i0 <= m; i0 += row_block) {
      const int height = std::min(row_block, m - i0 + 1);
      const int tiles = (height + tile_rows - 1) / tile_rows;
      for (int t = 0; t < tiles; ++t) {
        double* dst = packed_a.data() + static_cast<std::size_t>(t) * kDepthBlock * tile_rows;
        for (int r = 0; r < tile_rows; ++r) {
          const int i = i0 + t * tile_rows + r;
          const double* src = i < i0 + height ? a.row(i) + l0 : nullptr;
          for (int l = 0; l < depth; ++l) {
            dst[static_cast<std::size_t>(l) * tile_rows + r] = src != nullptr ? src[l] : 0.0;
          }
        }
      }
      for (int panel = 0; panel < panels; ++panel) {
        const double* pb =
            packed_b.data() + static_cast<std::size_t>(panel) * kDepthBlock * tile_cols;
        const int j0 = 1 + panel * tile_cols;
        const int width = std::min(tile_cols, p - j0 + 1);
        for (int t = 0; t < tiles; ++t) {
          const double* pa =
              packed_a.data() + static_cast<std::size_t>(t) * kDepthBlock * tile_rows;
          const int top = i0 + t * tile_rows;
          const int rows = std::min(tile_rows, i0 + height - top);
          if (rows == tile_rows && width == tile_cols) {
            kernel.run(depth, pa, pb, c.row(top) + j0, ldc, first);
            continue;
          }
          for (int r = 0; r < rows; ++r) {
            for (int j = 0; j < width; ++j) {
              edge[static_cast<std::size_t>(r) * tile_cols + j] = c(top + r, j0 + j);
            }
          }
          kernel.run(depth, pa, pb, edge.data(), static_cast<std::size_t>(tile_cols), first);
          for (int r = 0; r < rows; ++r) {
            for (int j = 0; j < width; ++j) {
              c(top + r, j0 + j) = edge[static_cast<std::size_t>(r) * tile_cols + j];
            }
          }
        }
      }
      // A multiply-add for each entry of the block at each depth.
      Advance(meter, 1.0 * height * p * depth);
    }
  }
  for (int i = 1; i <= m; ++i) {
    double* crow = c.row(i);
    for (int j = 1; j <= p; ++j) crow[j] = RoundTo(crow[j], digits);
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

}  // namespace matcalc
