// 列主元高斯消去法: elimination with column pivoting, then back substitution.
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "direct/linear_routines.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The row of the pivot for column k: strictly larger magnitudes only, so on
// equal magnitudes the upper row stays.
int PivotRow(const Matrix& a, int k, int n) {
  int m = k;
  for (int i = k + 1; i <= n; ++i) {
    if (std::fabs(a(m, k)) < std::fabs(a(i, k))) m = i;
  }
  return m;
}

void ExchangeRows(Matrix& a, int k, int m, int columns) {
  if (m == k) return;
  double* row_k = a.row(k);
  double* row_m = a.row(m);
  for (int j = 1; j <= columns; ++j) std::swap(row_k[j], row_m[j]);
}

// Clears column k below the pivot a(k,k) in the rows of the augmented
// matrix, unrounded; the entries updated are counted on `meter`.
void EliminateBelow(Matrix& a, int k, int n, WorkMeter* meter) {
  const double* row_k = a.row(k);
  for (int i = k + 1; i <= n; ++i) {
    double* row_i = a.row(i);
    const double l = row_i[k] / row_k[k];
    for (int j = k + 1; j <= n + 1; ++j) row_i[j] = row_i[j] - l * row_k[j];
    row_i[k] = 0;
    Advance(meter, n + 1 - k);
  }
}

std::string ZeroPivotLine(int k) {
  return "第 " + FormatNumber(k) + " 列的主元为零，系数矩阵奇异，方程组没有唯一解。";
}

}  // namespace

WorkEstimate GaussWork(int order, int digits) {
  const double n = order;
  // The augmented matrix is eliminated in place: about n^3 / 3 updates. The
  // trace prints it after each of the n - 1 steps, rounded: n^3 numbers,
  // which bind the order by their memory long before their time. Most of
  // them are short, yet each costs about as much again as the bytes of a long
  // one (measured), so that much is added to the bytes the trace is timed by.
  const double printed = (n - 1) * n * (n + 1);
  return {MatrixBytes(n, n + 1) + 2 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1) + printed, 300 + 60 * n) + NamedValueBytes(n),
          n * n * n / 3 * kLoopNs + n * n * kLoopNs + RoundingNs(printed + n, digits) +
              printed * kNumberBytes * kTraceByteNs};
}

Task<> GaussCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &GaussWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, input->read, n, "接下来输出每步选主元、消元后的增广矩阵：");

  // Once printed, the matrix as read is eliminated in place.
  Matrix& a = input->read;
  RangeWatch watch;
  watch.Check(a, n, n + 1);
  UnitMeter updates(frame.progress(), kLoopNs);
  for (int k = 1; k < n; ++k) {
    const int m = PivotRow(a, k, n);
    if (CountsAsZero(a(m, k))) {
      AppendStop(out, ZeroPivotLine(k));
      co_return;
    }
    ExchangeRows(a, k, m, n + 1);
    EliminateBelow(a, k, n, &updates);
    out.NewLine().Append("第 ").AppendNumber(k).Append(" 步：第 ").AppendNumber(m);
    out.Append(" 行为主元行").NewLine();
    AppendRows(out, a, n, 1, n + 1, "    ", digits);
    watch.Check(a, n, n + 1);
  }
  if (CountsAsZero(a(n, n))) {
    AppendStop(out, ZeroPivotLine(n));
    co_return;
  }

  // b is column n+1 after the elimination.
  const Vector x = SolveUpper(a, RightHandSide(a, n), n, &updates);
  AppendSolution(out, "回代求得方程组的解：", x, digits, watch);
}

}  // namespace matcalc
