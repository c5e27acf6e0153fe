// 列主元求逆矩阵: Gauss-Jordan elimination with row pivoting on the matrix
// augmented by the identity.
#include <cmath>
#include <optional>
#include <utility>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// Turns columns 1..n of the n x 2n matrix `b` into the identity and so
// columns n+1..2n into the inverse. The other rows' updates are rounded to
// `places`; the pivot row is divided unrounded. A zero pivot is not caught:
// the divisions by it give Infinity or NaN and the elimination goes on. The
// entries updated are counted on `meter`.
void GaussJordanInvert(Matrix& b, int n, int places, WorkMeter* meter) {
  const int width = 2 * n;
  for (int k = 1; k <= n; ++k) {
    // Strictly larger only: on equal magnitudes the upper row stays.
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(b(m, k)) < std::fabs(b(i, k))) m = i;
    }
    if (m != k) {
      double* row_k = b.row(k);
      double* row_m = b.row(m);
      for (int j = k; j <= width; ++j) std::swap(row_k[j], row_m[j]);
    }
    const double* row_k = b.row(k);
    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      double* row_i = b.row(i);
      const double l = row_i[k] / row_k[k];
      for (int j = k; j <= width; ++j) row_i[j] = RoundTo(row_i[j] - l * row_k[j], places);
      Advance(meter, width - k + 1);
    }
    double* pivot_row = b.row(k);
    const double t = pivot_row[k];
    for (int j = 1; j <= width; ++j) pivot_row[j] = pivot_row[j] / t;
  }
}

}  // namespace

WorkEstimate InverseWork(int order, int digits) {
  const double n = order;
  // The augmented matrix has 2n columns; the trace prints n^2 + 2n^2 + n^2
  // numbers. Each of the n steps updates about (n - 1)(2n - k) entries,
  // rounded to D + 1 places (not at all for D = 15); n + 1 of them in each
  // row can be other than 0 (a zero rounds at once).
  const double updates = 1.5 * n * n * n;
  return {MatrixBytes(n, n + 1) + MatrixBytes(n, 2 * n), TraceBytes(4 * n * n, 200),
          updates * kLoopNs + RoundingNs(n * n * n + 2 * n * n, digits + 1) +
              RoundingNs(n * n, digits)};
}

void InverseCommand(Frame& frame) {
  const std::optional<SquareMatrixText> input = OpenSquareMatrix(frame, {}, &InverseWork);
  if (!input) return;
  const int n = input->n;
  const Matrix& read = input->read;
  Matrix b(n, 2 * n);
  TraceBuffer& out = frame.out();
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b(i, j) = read(i, j);
    b(i, n + i) = 1.0;
  }

  const int digits = frame.digits();
  UnitMeter updates(frame.progress(), kLoopNs + kRoundNs);
  GaussJordanInvert(b, n, digits + 1, &updates);

  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出矩阵选主元、消元后的结果").NewLine();
  AppendRows(out, b, n, 1, 2 * n, "  ", digits + 1);
  out.NewLine().Append("矩阵的逆为：").NewLine();
  AppendRows(out, b, n, n + 1, 2 * n, "  ", digits);
  out.NewLine().NewLine().Append("选主元消去法的应用——求矩阵的逆。");
}

}  // namespace matcalc
