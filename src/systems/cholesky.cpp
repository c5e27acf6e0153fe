// 平方根法: A = L Lᵀ for a symmetric positive definite A.
#include <cmath>
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

// Where the factorisation cannot take a square root: the step j and its
// radicand s.
struct Radicand {
  int step = 0;
  double value = 0;
};

// Fills the lower triangle of L column by column. Nothing when A is
// factored; otherwise the first radicand that is not positive (or not a
// number). The multiply-adds are counted on `meter`.
std::optional<Radicand> FactorCholesky(const Matrix& a, Matrix& l, int n, WorkMeter* meter) {
  for (int j = 1; j <= n; ++j) {
    const double* lj = l.row(j);
    double squares = 0;
    for (int k = 1; k < j; ++k) squares = squares + lj[k] * lj[k];
    const double s = a(j, j) - squares;
    if (!(s > 0)) return Radicand{j, s};
    l(j, j) = std::sqrt(s);
    for (int i = j + 1; i <= n; ++i) {
      double* li = l.row(i);
      double sum = 0;
      for (int k = 1; k < j; ++k) sum = sum + li[k] * lj[k];
      li[j] = (a(i, j) - sum) / lj[j];
    }
    Advance(meter, static_cast<double>(n - j + 1) * j);
  }
  return std::nullopt;
}

}  // namespace

WorkEstimate CholeskyWork(int order, int digits) {
  const double n = order;
  // About n^3 / 6 multiply-adds, n^2 for the substitutions; L printed
  // rounded, then y and x.
  return {MatrixBytes(n, n + 1) + 2 * MatrixBytes(n, n) + 3 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1) + n * n, 400) + NamedValueBytes(2 * n),
          n * n * n / 6 * kLoopNs + n * n * kLoopNs + RoundingNs(n * n + 2 * n, digits)};
}

Task<> CholeskyCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &CholeskyWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();  // square roots
  AppendAugmentedOpening(out, input->read, n, "接下来输出分解 A = LLᵀ 的下三角矩阵L：");

  RangeWatch watch;
  watch.Check(input->read, n, n + 1);
  const Matrix a = LeadingSquare(input->read, n);
  if (!IsSymmetric(a, n)) {
    AppendStop(out, "系数矩阵不对称，平方根法不适用。");
    co_return;
  }
  Matrix l(n, n);
  UnitMeter work(frame.progress(), kLoopNs);
  if (const std::optional<Radicand> failed = FactorCholesky(a, l, n, &work)) {
    AppendStop(out, "第 " + FormatNumber(failed->step) + " 步开方数为 " +
                        FormatNumber(RoundTo(failed->value, digits)) +
                        "，系数矩阵不是正定矩阵，平方根法不适用。");
    co_return;
  }
  AppendRows(out, l, n, 1, n, "    ", digits);
  watch.Check(l, n, n);

  const Vector y = SolveLower(l, RightHandSide(input->read, n), n, &work);
  out.NewLine().Append("由 Ly = b 求得：").NewLine();
  AppendNamedValues(out, "y", y, 1, n, digits);
  watch.Check(y);
  AppendSolution(out, "由 Lᵀx = y 求得方程组的解：", SolveLowerTransposed(l, y, n, &work), digits,
                 watch);
}

}  // namespace matcalc
