// 改进平方根法: A = L D Lᵀ with L unit lower triangular.
#include <optional>
#include <string>

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

// Fills L (unit lower triangular) and d row by row; t(j) = d(j) L(i,j) for
// the row i at hand. Nothing when A is factored; otherwise the first j with
// d(j) zero (or not a number): every d(j) but the last divides the rows
// below it, and the last one would divide z. The multiply-adds are counted
// on `meter`.
template <typename T>
std::optional<int> FactorLdlt(const BasicMatrix<T>& a, BasicMatrix<T>& l, BasicVector<T>& d, int n,
                              WorkMeter* meter) {
  BasicVector<T> t(n);
  for (int i = 1; i <= n; ++i) {
    T* li = l.row(i);
    for (int j = 1; j < i; ++j) {
      const T* lj = l.row(j);
      T s = 0;
      for (int k = 1; k < j; ++k) s = s + t(k) * lj[k];
      t(j) = a(i, j) - s;
      li[j] = t(j) / d(j);
    }
    T s = 0;
    for (int k = 1; k < i; ++k) s = s + t(k) * li[k];
    d(i) = a(i, i) - s;
    li[i] = 1;
    if (CountsAsZero(d(i))) return i;
    Advance(meter, static_cast<double>(i) * i / 2);
  }
  return std::nullopt;
}

// The trace from the augmented matrix as read, in doubles or in fractions;
// the multiply-adds are counted at `update_ns` each.
template <typename T>
void SolveByLdlt(Frame& frame, const BasicMatrix<T>& read, int n, int digits, double update_ns) {
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, read, n, "接下来输出分解 A = LDLᵀ 的单位下三角矩阵L：");

  RangeWatch watch;
  CheckRange(watch, read, n, n + 1);
  const BasicMatrix<T> a = LeadingSquareOf(read, n);
  if (!IsSymmetricOf(a, n)) {
    AppendStop(out, "系数矩阵不对称，改进平方根法不适用。");
    return;
  }
  BasicMatrix<T> l(n, n);
  BasicVector<T> d(n);
  UnitMeter work(frame.progress(), update_ns);
  if (const std::optional<int> j = FactorLdlt(a, l, d, n, &work)) {
    AppendStop(out, "d(" + FormatNumber(*j) + ") 为零，改进平方根法不适用。");
    return;
  }
  AppendRowsAt(out, l, n, 1, n, "    ", digits);
  out.NewLine().Append("对角矩阵D的对角元：").NewLine();
  AppendNamedValues(out, "d", d, 1, n, digits);
  CheckRange(watch, l, n, n);
  CheckRange(watch, d, 1, n);

  const BasicVector<T> y = SolveLowerOf(l, RightHandSideOf(read, n), n, &work);
  out.NewLine().Append("由 Ly = b 求得：").NewLine();
  AppendNamedValues(out, "y", y, 1, n, digits);
  BasicVector<T> z(n);
  for (int i = 1; i <= n; ++i) z(i) = y(i) / d(i);
  out.NewLine().Append("由 Dz = y 求得：").NewLine();
  AppendNamedValues(out, "z", z, 1, n, digits);
  CheckRange(watch, y, 1, n);
  CheckRange(watch, z, 1, n);
  AppendSolution(out, "由 Lᵀx = z 求得方程组的解：", SolveLowerTransposedOf(l, z, n, &work), digits,
                 watch);
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

WorkEstimate ExactLdltWork(const RationalMatrix& a, int n) {
  // L(i,j) and d(i) are quotients of leading minors and minors beside them,
  // y, z and x of minors of the augmented matrix. The matrix read, A and L
  // are held; the matrix read, L, d, y, z and x printed.
  const double bits = MinorBits(a, n, n + 1);
  const double m = n;
  return ExactWork(bits, m * m * m / 6 + m * m, m * (3 * m + 7), m * (2 * m + 5), 500 + 30 * m);
}

Task<> LdltCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &LdltWork, &ExactLdltWork, 1);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  if (input->exact) {
    SolveByLdlt(frame, *input->exact, n, digits, kExactUpdateNs);
    co_return;
  }
  SolveByLdlt(frame, input->read, n, digits, kLoopNs);
}

}  // namespace matcalc
