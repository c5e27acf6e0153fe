// 三角分解法解方程组: Doolittle's A = LU, then Ly = b and Ux = y.
#include <optional>
#include <string>

#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "linalg/doolittle_of.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/exact_solving.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The first diagonal entry of U that counts as zero, 0 when there is none.
// After a factorisation that stopped, the rows of U below its pivot are
// still 0, so the first such entry is the one it stopped at.
template <typename T>
int FirstZeroPivot(const BasicMatrix<T>& u, int n) {
  for (int k = 1; k <= n; ++k) {
    if (CountsAsZero(u(k, k))) return k;
  }
  return 0;
}

std::string PivotName(int k) { return "U(" + FormatNumber(k) + "," + FormatNumber(k) + ")"; }

// The trace from the augmented matrix as read, in doubles or in fractions;
// the updates are counted at `update_ns` each.
template <typename T>
void SolveByLu(Frame& frame, const BasicMatrix<T>& read, int n, int digits, double update_ns) {
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, read, n, "接下来输出三角分解后的下三角矩阵L：");

  RangeWatch watch;
  CheckRange(watch, read, n, n + 1);
  const BasicMatrix<T> a = LeadingSquareOf(read, n);
  BasicMatrix<T> l(n, n);
  BasicMatrix<T> u(n, n);
  UnitMeter work(frame.progress(), update_ns);
  // Nothing rounded; a pivot that is not a number is no pivot either.
  if (!FactorDoolittleOf(a, l, u, n, {.places = std::nullopt, .nan_pivot_fails = true}, &work)) {
    AppendStop(out, PivotName(FirstZeroPivot(u, n)) + " 为零，三角分解法不适用。");
    return;
  }
  AppendRowsAt(out, l, n, 1, n, "    ", digits);
  out.NewLine().Append("上三角矩阵U：").NewLine();
  AppendRowsAt(out, u, n, 1, n, "    ", digits);
  CheckRange(watch, l, n, n);
  CheckRange(watch, u, n, n);
  // The factorisation does not test the last pivot: no row below it needs it.
  if (CountsAsZero(u(n, n))) {
    AppendStop(out, PivotName(n) + " 为零，系数矩阵奇异，方程组没有唯一解。");
    return;
  }

  const BasicVector<T> y = SolveLowerOf(l, RightHandSideOf(read, n), n, &work);
  out.NewLine().Append("由 Ly = b 求得：").NewLine();
  AppendNamedValues(out, "y", y, 1, n, digits);
  CheckRange(watch, y, 1, n);
  AppendSolution(out, "由 Ux = y 求得方程组的解：", SolveUpperOf(u, y, n, &work), digits, watch);
}

}  // namespace

WorkEstimate LuSolveWork(int order, int digits) {
  const double n = order;
  // About n^3 / 3 unrounded multiply-adds and n^2 for the substitutions; L
  // and U are printed rounded, then y and x.
  return {MatrixBytes(n, n + 1) + 3 * MatrixBytes(n, n) + 3 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1) + 2 * n * n, 400) + NamedValueBytes(2 * n),
          n * n * n / 3 * kLoopNs + n * n * kLoopNs + RoundingNs(2 * n * n + 2 * n, digits)};
}

WorkEstimate ExactLuSolveWork(const RationalMatrix& a, int n) {
  // Every entry of L, U, y and x is a quotient of minors of the augmented
  // matrix. The matrix read, A, L and U are held, and printed but A.
  const double bits = MinorBits(a, n, n + 1);
  const double m = n;
  return ExactWork(bits, m * m * m / 3 + m * m, m * (4 * m + 4), m * (3 * m + 3), 400 + 30 * m);
}

Task<> LuSolveCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &LuSolveWork, &ExactLuSolveWork, 1);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  if (input->exact) {
    SolveByLu(frame, *input->exact, n, digits, kExactUpdateNs);
    co_return;
  }
  SolveByLu(frame, input->read, n, digits, kLoopNs);
}

}  // namespace matcalc
