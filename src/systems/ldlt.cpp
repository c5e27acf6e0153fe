// 改进平方根法: A = L D Lᵀ with L unit lower triangular.
#include <optional>
#include <string>

#include "direct/linear_routines.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// Fills L (unit lower triangular) and d row by row; t(j) = d(j) L(i,j) for
// the row i at hand. Nothing when A is factored; otherwise the first j with
// d(j) zero (or not a number): every d(j) but the last divides the rows
// below it, and the last one would divide z. The multiply-adds are counted
// on `meter`.
std::optional<int> FactorLdlt(const Matrix& a, Matrix& l, Vector& d, int n, WorkMeter* meter) {
  Vector t(n);
  for (int i = 1; i <= n; ++i) {
    double* li = l.row(i);
    for (int j = 1; j < i; ++j) {
      const double* lj = l.row(j);
      double s = 0;
      for (int k = 1; k < j; ++k) s = s + t(k) * lj[k];
      t(j) = a(i, j) - s;
      li[j] = t(j) / d(j);
    }
    double s = 0;
    for (int k = 1; k < i; ++k) s = s + t(k) * li[k];
    d(i) = a(i, i) - s;
    li[i] = 1;
    if (CountsAsZero(d(i))) return i;
    Advance(meter, static_cast<double>(i) * i / 2);
  }
  return std::nullopt;
}

}  // namespace

WorkEstimate LdltWork(int order, int digits) {
  const double n = order;
  // About n^3 / 6 multiply-adds, n^2 for the substitutions; L printed
  // rounded, then d, y, z and x.
  return {MatrixBytes(n, n + 1) + 2 * MatrixBytes(n, n) + 6 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1) + n * n, 500) + NamedValueBytes(4 * n),
          n * n * n / 6 * kLoopNs + n * n * kLoopNs + RoundingNs(n * n + 4 * n, digits)};
}

Task<> LdltCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &LdltWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, input->read, n, "接下来输出分解 A = LDLᵀ 的单位下三角矩阵L：");

  RangeWatch watch;
  watch.Check(input->read, n, n + 1);
  const Matrix a = LeadingSquare(input->read, n);
  if (!IsSymmetric(a, n)) {
    AppendStop(out, "系数矩阵不对称，改进平方根法不适用。");
    co_return;
  }
  Matrix l(n, n);
  Vector d(n);
  UnitMeter work(frame.progress(), kLoopNs);
  if (const std::optional<int> j = FactorLdlt(a, l, d, n, &work)) {
    AppendStop(out, "d(" + FormatNumber(*j) + ") 为零，改进平方根法不适用。");
    co_return;
  }
  AppendRows(out, l, n, 1, n, "    ", digits);
  out.NewLine().Append("对角矩阵D的对角元：").NewLine();
  AppendNamedValues(out, "d", d, 1, n, digits);
  watch.Check(l, n, n);
  watch.Check(d);

  const Vector y = SolveLower(l, RightHandSide(input->read, n), n, &work);
  out.NewLine().Append("由 Ly = b 求得：").NewLine();
  AppendNamedValues(out, "y", y, 1, n, digits);
  Vector z(n);
  for (int i = 1; i <= n; ++i) z(i) = y(i) / d(i);
  out.NewLine().Append("由 Dz = y 求得：").NewLine();
  AppendNamedValues(out, "z", z, 1, n, digits);
  watch.Check(y);
  watch.Check(z);
  AppendSolution(out, "由 Lᵀx = z 求得方程组的解：", SolveLowerTransposed(l, z, n, &work), digits,
                 watch);
}

}  // namespace matcalc
