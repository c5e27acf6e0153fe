// 正定矩阵判断: the leading principal minors, each by pivoting elimination.
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
namespace {

template <typename T>
bool IsSymmetric(const BasicMatrix<T>& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (a(i, j) != a(j, i)) return false;
    }
  }
  return true;
}

// Rows and columns 1..k of `a` in a fresh k x k matrix: the elimination
// takes its order from the matrix's size.
template <typename T>
BasicMatrix<T> LeadingBlock(const BasicMatrix<T>& a, int k) {
  BasicMatrix<T> block(k, k);
  for (int i = 1; i <= k; ++i) {
    for (int j = 1; j <= k; ++j) block(i, j) = a(i, j);
  }
  return block;
}

// A minor as the trace shows it: rounded to D in decimals, exact in
// fractions.
void AppendMinor(TraceBuffer& out, double d, int digits) { out.AppendNumber(RoundTo(d, digits)); }
void AppendMinor(TraceBuffer& out, const Rational& d, int /*digits*/) { AppendValue(out, d); }

}  // namespace

// The exact mode: every minor of order k is an elimination of k^3 / 3
// updates, n^4 / 12 in all, of fractions as long as the minors.
WorkEstimate ExactPositiveDefiniteWork(const RationalMatrix& a, int n) {
  const double bits = MinorBits(a, n);
  const double m = n;
  return ExactWork(bits, m * m * m * m / 12 + m * m * m / 3, m * (3 * m + 1), m * m + m,
                   300 + 60 * m);
}

namespace {

// The trace over the matrix as read (columns 1..n), written once for
// decimals, whose eliminations round every update to 7 places, and exact
// fractions, which stay exact.
template <typename T>
void TraceMinors(Frame& frame, const BasicMatrix<T>& read, int n, double update_ns) {
  TraceBuffer& out = frame.out();
  const int digits = frame.digits();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("以上是该矩阵的各元素").NewLine();
  out.Append("下面输出各阶顺序主子式的值：").NewLine();

  // The minors decide definiteness only for a symmetric matrix: the rows
  // 1 5 / 0 1 have the minors 1 and 1, yet x = (1, -1) gives x'Ax = -3. So
  // the minors are shown for any matrix, but the verdict only for those.
  const bool symmetric = IsSymmetric(read, n);
  const auto not_symmetric = [&out] {
    out.NewLine()
        .Append("该矩阵不是对称矩阵，顺序主子式判别法不适用，无法判定其是否正定。")
        .NewLine();
  };
  UnitMeter updates(frame.progress(), update_ns);
  for (int k = 1; k <= n; ++k) {
    BasicMatrix<T> minor = LeadingBlock(read, k);
    int exchanges = 0;
    const T d = PivotDeterminantOf(minor, exchanges, 7, &updates);
    out.Append("  ").AppendNumber(k).Append(" 阶顺序主子式的值为： ");
    AppendMinor(out, d, digits);
    out.NewLine();
    // Written so that a minor that is not a number fails as well.
    if (!(d > 0)) {
      if (!symmetric) {
        not_symmetric();
        return;
      }
      out.NewLine().Append("第 ").AppendNumber(k).Append(
          " 阶顺序主子式的值不大于 0 ，该矩阵非正定。");
      out.NewLine();
      return;
    }
  }
  if (!symmetric) {
    not_symmetric();
    return;
  }
  out.NewLine().Append("该矩阵各阶顺序主子式的值全大于 0 ，是正定矩阵。").NewLine();
}

}  // namespace

WorkEstimate PositiveDefiniteWork(int order, int digits) {
  const double n = order;
  // The minor of order k costs about k^3 / 3 updates rounded to 7 places;
  // all of them n^4 / 12. Each minor is copied out first.
  return {
      MatrixBytes(n, n + 1) + 2 * MatrixBytes(n, n), TraceBytes(n * n, 300 + 60 * n),
      n * n * n * n / 12 * (kLoopNs + kRoundNs) + n * n * n / 3 * kLoopNs + RoundingNs(n, digits)};
}

Task<> PositiveDefiniteCommand(Frame& frame) {
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {}, &PositiveDefiniteWork, &ExactPositiveDefiniteWork);
  if (!input) co_return;
  if (input->exact) {
    TraceMinors(frame, *input->exact, input->n, kExactUpdateNs);
    co_return;
  }
  TraceMinors(frame, input->read, input->n, kLoopNs + kRoundNs);
}

}  // namespace matcalc
