// 三角分解法解方程组: Doolittle's A = LU, then Ly = b and Ux = y.
#include <optional>
#include <string>

#include "direct/linear_routines.h"
#include "linalg/doolittle.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The first diagonal entry of U that counts as zero, 0 when there is none.
// After a factorisation that stopped, the rows of U below its pivot are
// still 0, so the first such entry is the one it stopped at.
int FirstZeroPivot(const Matrix& u, int n) {
  for (int k = 1; k <= n; ++k) {
    if (CountsAsZero(u(k, k))) return k;
  }
  return 0;
}

std::string PivotName(int k) { return "U(" + FormatNumber(k) + "," + FormatNumber(k) + ")"; }

}  // namespace

WorkEstimate LuSolveWork(int order, int digits) {
  const double n = order;
  // About n^3 / 3 unrounded multiply-adds and n^2 for the substitutions; L
  // and U are printed rounded, then y and x.
  return {MatrixBytes(n, n + 1) + 3 * MatrixBytes(n, n) + 3 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1) + 2 * n * n, 400) + NamedValueBytes(2 * n),
          n * n * n / 3 * kLoopNs + n * n * kLoopNs + RoundingNs(2 * n * n + 2 * n, digits)};
}

Task<> LuSolveCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &LuSolveWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, input->read, n, "接下来输出三角分解后的下三角矩阵L：");

  RangeWatch watch;
  watch.Check(input->read, n, n + 1);
  const Matrix a = LeadingSquare(input->read, n);
  Matrix l(n, n);
  Matrix u(n, n);
  UnitMeter work(frame.progress(), kLoopNs);
  // Nothing rounded; a pivot that is not a number is no pivot either.
  if (!FactorDoolittle(a, l, u, n, {.places = std::nullopt, .nan_pivot_fails = true}, &work)) {
    AppendStop(out, PivotName(FirstZeroPivot(u, n)) + " 为零，三角分解法不适用。");
    co_return;
  }
  AppendRows(out, l, n, 1, n, "    ", digits);
  out.NewLine().Append("上三角矩阵U：").NewLine();
  AppendRows(out, u, n, 1, n, "    ", digits);
  watch.Check(l, n, n);
  watch.Check(u, n, n);
  // The factorisation does not test the last pivot: no row below it needs it.
  if (CountsAsZero(u(n, n))) {
    AppendStop(out, PivotName(n) + " 为零，系数矩阵奇异，方程组没有唯一解。");
    co_return;
  }

  const Vector y = SolveLower(l, RightHandSide(input->read, n), n, &work);
  out.NewLine().Append("由 Ly = b 求得：").NewLine();
  AppendNamedValues(out, "y", y, 1, n, digits);
  watch.Check(y);
  AppendSolution(out, "由 Ux = y 求得方程组的解：", SolveUpper(u, y, n, &work), digits, watch);
}

}  // namespace matcalc
