// 严格对角占优矩阵判断: strict diagonal dominance by rows.
#include <cmath>
#include <optional>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"

namespace matcalc {

int FirstNonDominantRow(const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    double s = 0;
    for (int j = 1; j <= n; ++j) {
      if (j != i) s = s + std::fabs(a(i, j));
    }
    if (!(std::fabs(a(i, i)) > s)) return i;
  }
  return 0;
}

WorkEstimate DiagonalDominanceWork(int order, int /*digits*/) {
  const double n = order;
  return {MatrixBytes(n, n + 1) + MatrixBytes(n, n), TraceBytes(n * n, 400), n * n * kLoopNs};
}

Task<> DiagonalDominanceCommand(Frame& frame) {
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {}, &DiagonalDominanceWork);
  if (!input) co_return;
  const int n = input->n;
  const Matrix& read = input->read;
  TraceBuffer& out = frame.out();
  const Matrix a = LeadingSquare(read, n);

  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("以上是该矩阵的元素").NewLine();
  out.Append("下面输出各行的判断结果：").NewLine();
  if (const int row = FirstNonDominantRow(a, n); row != 0) {
    out.Append("第 ").AppendNumber(row);
    out.Append(" 行对角元素的绝对值不严格大于同行的其他元素的绝对值之和").NewLine().NewLine();
    out.Append("因此该矩阵不是严格对角占优矩阵。").NewLine();
    co_return;
  }
  out.Append("该矩阵每一行对角元素的绝对值都严格大于同行的其他元素的绝对值之和")
      .NewLine()
      .NewLine();
  out.Append("因此该矩阵是严格对角占优矩阵。").NewLine().NewLine();
  out.Append("同时该矩阵也为非奇异矩阵。");
}

}  // namespace matcalc
