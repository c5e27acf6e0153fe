// 严格对角占优矩阵判断: strict diagonal dominance by rows.
#include <optional>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "frame/exact_layout.h"

namespace matcalc {

int FirstNonDominantRow(const Matrix& a, int n) { return FirstNonDominantRowOf(a, n); }

WorkEstimate DiagonalDominanceWork(int order, int /*digits*/) {
  const double n = order;
  return {MatrixBytes(n, n + 1) + MatrixBytes(n, n), TraceBytes(n * n, 400), n * n * kLoopNs};
}

// The exact mode sums each row's magnitudes in fractions: n^2 additions of
// fractions as long as a row's sum, and the matrix printed as read.
WorkEstimate ExactDiagonalDominanceWork(const RationalMatrix& a, int n) {
  const double m = n;
  const double bits = LineSumBits(a, n, false);
  return ExactWork(bits, m * m, m * (m + 1) + 1, m * m, 400);
}

namespace {

// The trace over the matrix as read (its columns 1..n), decimals or exact
// fractions alike: only the comparisons differ.
template <typename T>
void TraceDominance(Frame& frame, const BasicMatrix<T>& read, int n, double update_ns) {
  TraceBuffer& out = frame.out();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("以上是该矩阵的元素").NewLine();
  out.Append("下面输出各行的判断结果：").NewLine();
  UnitMeter additions(frame.progress(), update_ns);
  if (const int row = FirstNonDominantRowOf(read, n, &additions); row != 0) {
    out.Append("第 ").AppendNumber(row);
    out.Append(" 行对角元素的绝对值不严格大于同行的其他元素的绝对值之和").NewLine().NewLine();
    out.Append("因此该矩阵不是严格对角占优矩阵。").NewLine();
    return;
  }
  out.Append("该矩阵每一行对角元素的绝对值都严格大于同行的其他元素的绝对值之和")
      .NewLine()
      .NewLine();
  out.Append("因此该矩阵是严格对角占优矩阵。").NewLine().NewLine();
  out.Append("同时该矩阵也为非奇异矩阵。");
}

}  // namespace

Task<> DiagonalDominanceCommand(Frame& frame) {
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {}, &DiagonalDominanceWork, &ExactDiagonalDominanceWork);
  if (!input) co_return;
  if (input->exact) {
    TraceDominance(frame, *input->exact, input->n, kExactUpdateNs);
    co_return;
  }
  TraceDominance(frame, input->read, input->n, kLoopNs);
}

}  // namespace matcalc
