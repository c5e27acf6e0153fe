// 列主元求逆矩阵: Gauss-Jordan elimination with row pivoting on the matrix
// augmented by the identity.
#include <optional>

#include "direct/commands.h"
#include "direct/elimination.h"
#include "direct/estimates.h"
#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "frame/exact_layout.h"
#include "text/number_text.h"

namespace matcalc {

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

namespace {

// The exact mode's trace, the decimal one's steps and texts with fractions.
// False, with nothing written, when a pivot is 0: the matrix is singular and
// has no inverse to show exactly.
bool InvertExact(Frame& frame, const RationalMatrix& read, int n) {
  RationalMatrix b(n, 2 * n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b(i, j) = read(i, j);
    b(i, n + i) = 1;
  }
  UnitMeter updates(frame.progress(), kExactUpdateNs);
  if (!GaussJordanInvertOf(b, n, 0, ZeroPivot::kStop, &updates)) return false;
  TraceBuffer& out = frame.out();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出矩阵选主元、消元后的结果").NewLine();
  AppendRows(out, b, n, 1, 2 * n, "  ");
  out.NewLine().Append("矩阵的逆为：").NewLine();
  AppendRows(out, b, n, n + 1, 2 * n, "  ");
  out.NewLine().NewLine().Append("选主元消去法的应用——求矩阵的逆。");
  return true;
}

}  // namespace

Task<> InverseCommand(Frame& frame) {
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {}, &InverseWork, &ExactInverseWork);
  if (!input) co_return;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  if (input->exact) {
    if (InvertExact(frame, *input->exact, n)) co_return;
    out.Append(kSingularNote).NewLine();
  }
  const Matrix& read = input->read;
  Matrix b(n, 2 * n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b(i, j) = read(i, j);
    b(i, n + i) = 1.0;
  }

  const int digits = frame.digits();
  UnitMeter updates(frame.progress(), kLoopNs + kRoundNs);
  GaussJordanInvert(b, n, digits + 1, ZeroPivot::kGoOn, &updates);

  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出矩阵选主元、消元后的结果").NewLine();
  AppendRows(out, b, n, 1, 2 * n, "  ", digits + 1);
  out.NewLine().Append("矩阵的逆为：").NewLine();
  AppendRows(out, b, n, n + 1, 2 * n, "  ", digits);
  out.NewLine().NewLine().Append("选主元消去法的应用——求矩阵的逆。");
}

}  // namespace matcalc
