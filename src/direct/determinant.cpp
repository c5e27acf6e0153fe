// 列主元求行列式: the determinant by Gaussian elimination with row pivoting.
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

WorkEstimate DeterminantWork(int order, int digits) {
  const double n = order;
  // About n^3 / 3 updates, each rounded to 7 places; the eliminated matrix is
  // printed rounded to D + 1.
  return {MatrixBytes(n, n + 1) + MatrixBytes(n, n), TraceBytes(2 * n * n, 300),
          n * n * n / 3 * (kLoopNs + kRoundNs) + RoundingNs(n * n, digits + 1)};
}

namespace {

// The exact mode's trace: the same elimination without its rounding to 7
// places, every value a fraction.
void DeterminantExact(Frame& frame, const RationalMatrix& read, int n) {
  TraceBuffer& out = frame.out();
  RationalMatrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = read(i, j);
  }
  int exchanges = 0;
  UnitMeter updates(frame.progress(), kExactUpdateNs);
  const Rational determinant = PivotDeterminantOf(a, exchanges, 7, &updates);
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出行列式选主元、消元后的结果").NewLine();
  AppendRows(out, a, n, 1, n, "  ");
  out.NewLine().Append("行、列共交换 ").AppendNumber(exchanges).Append(" 次").NewLine();
  out.NewLine().Append("行列式的值为：").NewLine().Append("   ");
  AppendValue(out, determinant);
  out.NewLine().NewLine().Append("选主元消去法的应用——求行列式的值。");
}

}  // namespace

Task<> DeterminantCommand(Frame& frame) {
  std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {}, &DeterminantWork, &ExactDeterminantWork);
  if (!input) co_return;
  const int n = input->n;
  if (input->exact) {
    DeterminantExact(frame, *input->exact, n);
    co_return;
  }
  const Matrix& read = input->read;
  TraceBuffer& out = frame.out();
  Matrix a = LeadingSquare(read, n);
  int exchanges = 0;
  UnitMeter updates(frame.progress(), kLoopNs + kRoundNs);
  const double determinant = PivotDeterminant(a, exchanges, &updates);

  const int digits = frame.digits();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出行列式选主元、消元后的结果").NewLine();
  AppendRows(out, a, n, 1, n, "  ", digits + 1);
  out.NewLine().Append("行、列共交换 ").AppendNumber(exchanges).Append(" 次").NewLine();
  out.NewLine().Append("行列式的值为：").NewLine().Append("   ");
  out.AppendNumber(RoundTo(determinant, digits));
  out.NewLine().NewLine().Append("选主元消去法的应用——求行列式的值。");
}

}  // namespace matcalc
