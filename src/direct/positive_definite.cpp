// 正定矩阵判断: the leading principal minors, each by pivoting elimination.
#include <optional>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

bool IsSymmetric(const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (a(i, j) != a(j, i)) return false;
    }
  }
  return true;
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
      co_await OpenSquareMatrix(frame, {}, &PositiveDefiniteWork);
  if (!input) co_return;
  const int n = input->n;
  const Matrix& read = input->read;
  TraceBuffer& out = frame.out();
  const Matrix a = LeadingSquare(read, n);

  const int digits = frame.digits();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("以上是该矩阵的各元素").NewLine();
  out.Append("下面输出各阶顺序主子式的值：").NewLine();

  // The minors decide definiteness only for a symmetric matrix: the rows
  // 1 5 / 0 1 have the minors 1 and 1, yet x = (1, -1) gives x'Ax = -3. So
  // the minors are shown for any matrix, but the verdict only for those.
  const bool symmetric = IsSymmetric(a, n);
  const auto not_symmetric = [&out] {
    out.NewLine()
        .Append("该矩阵不是对称矩阵，顺序主子式判别法不适用，无法判定其是否正定。")
        .NewLine();
  };
  UnitMeter updates(frame.progress(), kLoopNs + kRoundNs);
  for (int k = 1; k <= n; ++k) {
    Matrix minor = LeadingSquare(a, k);
    int exchanges = 0;
    const double d = PivotDeterminant(minor, exchanges, &updates);
    out.Append("  ").AppendNumber(k).Append(" 阶顺序主子式的值为： ");
    out.AppendNumber(RoundTo(d, digits)).NewLine();
    // Written so that a minor that is not a number fails as well.
    if (!(d > 0)) {
      if (!symmetric) {
        not_symmetric();
        co_return;
      }
      out.NewLine().Append("第 ").AppendNumber(k).Append(
          " 阶顺序主子式的值不大于 0 ，该矩阵非正定。");
      out.NewLine();
      co_return;
    }
  }
  if (!symmetric) {
    not_symmetric();
    co_return;
  }
  out.NewLine().Append("该矩阵各阶顺序主子式的值全大于 0 ，是正定矩阵。").NewLine();
}

}  // namespace matcalc
