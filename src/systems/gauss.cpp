// 列主元高斯消去法: elimination with column pivoting, then back substitution.
#include <cmath>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/exact_solving.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The row of the pivot for column k: strictly larger magnitudes only, so on
// equal magnitudes the upper row stays.
template <typename T>
int PivotRow(const BasicMatrix<T>& a, int k, int n) {
  int m = k;
  for (int i = k + 1; i <= n; ++i) {
    if (Magnitude(a(m, k)) < Magnitude(a(i, k))) m = i;
  }
  return m;
}

template <typename T>
void ExchangeRows(BasicMatrix<T>& a, int k, int m, int columns) {
  if (m == k) return;
  T* row_k = a.row(k);
  T* row_m = a.row(m);
  for (int j = 1; j <= columns; ++j) std::swap(row_k[j], row_m[j]);
}

// Clears column k below the pivot a(k,k) in the rows of the augmented
// matrix, unrounded; the entries updated are counted on `meter`.
template <typename T>
void EliminateBelow(BasicMatrix<T>& a, int k, int n, WorkMeter* meter) {
  const T* row_k = a.row(k);
  for (int i = k + 1; i <= n; ++i) {
    T* row_i = a.row(i);
    const T l = row_i[k] / row_k[k];
    for (int j = k + 1; j <= n + 1; ++j) row_i[j] = row_i[j] - l * row_k[j];
    row_i[k] = 0;
    Advance(meter, n + 1 - k);
  }
}

std::string ZeroPivotLine(int k) {
  return "第 " + FormatNumber(k) + " 列的主元为零，系数矩阵奇异，方程组没有唯一解。";
}

// The trace from the augmented matrix as read on, which it eliminates in
// place once printed.
template <typename T>
void SolveByGauss(Frame& frame, BasicMatrix<T>& a, int n, int digits, double update_ns) {
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, a, n, "接下来输出每步选主元、消元后的增广矩阵：");
  // Fractions are always finite: only decimals can leave the range.
  constexpr bool kDecimal = std::is_same_v<T, double>;
  RangeWatch watch;
  if constexpr (kDecimal) watch.Check(a, n, n + 1);
  UnitMeter updates(frame.progress(), update_ns);
  for (int k = 1; k < n; ++k) {
    const int m = PivotRow(a, k, n);
    if (CountsAsZero(a(m, k))) {
      AppendStop(out, ZeroPivotLine(k));
      return;
    }
    ExchangeRows(a, k, m, n + 1);
    EliminateBelow(a, k, n, &updates);
    out.NewLine().Append("第 ").AppendNumber(k).Append(" 步：第 ").AppendNumber(m);
    out.Append(" 行为主元行").NewLine();
    AppendRowsAt(out, a, n, 1, n + 1, "    ", digits);
    if constexpr (kDecimal) watch.Check(a, n, n + 1);
  }
  if (CountsAsZero(a(n, n))) {
    AppendStop(out, ZeroPivotLine(n));
    return;
  }

  // b is column n+1 after the elimination.
  const BasicVector<T> x = SolveUpperOf(a, RightHandSideOf(a, n), n, &updates);
  if constexpr (kDecimal) {
    AppendSolution(out, "回代求得方程组的解：", x, digits, watch);
  } else {
    AppendSolution(out, "回代求得方程组的解：", x, digits);
  }
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

WorkEstimate ExactGaussWork(const RationalMatrix& a, int n) {
  const double bits = MinorBits(a, n, n + 1);
  const double m = n;
  return ExactWork(bits, m * m * m / 3 + m * m, m * (m + 4), (m - 1) * m * (m + 1) + m * (m + 2),
                   300 + 60 * m);
}

Task<> GaussCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &GaussWork, &ExactGaussWork, 1);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  if (input->exact) {
    SolveByGauss(frame, *input->exact, n, digits, kExactUpdateNs);
    co_return;
  }
  SolveByGauss(frame, input->read, n, digits, kLoopNs);
}

}  // namespace matcalc
