// 矩阵的三角分解: A = L U with L unit lower triangular (Doolittle, no
// pivoting).
#include <optional>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "frame/exact_layout.h"
#include "linalg/doolittle.h"
#include "linalg/doolittle_of.h"

namespace matcalc {

WorkEstimate TriangularWork(int order, int digits) {
  const double n = order;
  // About n^3 / 3 unrounded multiply-adds; L and U are printed rounded.
  return {MatrixBytes(n, n + 1) + 3 * MatrixBytes(n, n), TraceBytes(3 * n * n, 200 + 2 * n),
          n * n * n / 3 * kLoopNs + RoundingNs(2 * n * n, digits)};
}

namespace {

// The exact mode: the same factorisation and trace with fractions. False,
// with nothing written, when a pivot is 0.
bool TriangularExact(Frame& frame, const RationalMatrix& read, int n) {
  RationalMatrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = read(i, j);
  }
  RationalMatrix l(n, n);
  RationalMatrix u(n, n);
  UnitMeter factoring(frame.progress(), kExactUpdateNs);
  if (!FactorDoolittleOf(a, l, u, n, {.places = std::nullopt, .nan_pivot_fails = true},
                         &factoring)) {
    return false;
  }
  TraceBuffer& out = frame.out();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要分解的矩阵，接下来输出三角分解后的下三角矩阵L(n)").NewLine();
  AppendRows(out, l, n, 1, n, "    ");
  out.NewLine().Append("输出矩阵三角分解后的上三角矩阵U(n)").NewLine();
  AppendRows(out, u, n, 1, n, "     ", "\r\n\r\n");
  return true;
}

}  // namespace

Task<> TriangularCommand(Frame& frame) {
  TraceBuffer& out = frame.out();
  // Emptied before the prompt: a cancelled or refused order leaves it empty.
  out.Clear();
  const std::optional<SquareMatrixText> input = co_await OpenSquareMatrix(
      frame, {kOrderPrompt, "输入数据", "3"}, &TriangularWork, &ExactTriangularWork);
  if (!input) co_return;
  const int n = input->n;
  if (input->exact) {
    // A zero pivot, exactly: the method does not apply, as in decimals.
    if (!TriangularExact(frame, *input->exact, n)) co_await frame.Inform("此方法不合适#");
    co_return;
  }
  const Matrix a = LeadingSquare(input->read, n);
  Matrix l(n, n);
  Matrix u(n, n);
  // Nothing rounded; a pivot that is not a number is no pivot either.
  UnitMeter factoring(frame.progress(), kLoopNs);
  if (!FactorDoolittle(a, l, u, n, {.places = std::nullopt, .nan_pivot_fails = true}, &factoring)) {
    co_await frame.Inform("此方法不合适#");
    co_return;
  }

  const int digits = frame.digits();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要分解的矩阵，接下来输出三角分解后的下三角矩阵L(n)").NewLine();
  AppendRows(out, l, n, 1, n, "    ", digits);
  out.NewLine().Append("输出矩阵三角分解后的上三角矩阵U(n)").NewLine();
  AppendRows(out, u, n, 1, n, "     ", digits, "\r\n\r\n");
}

}  // namespace matcalc
