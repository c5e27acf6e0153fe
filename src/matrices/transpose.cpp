// 转置矩阵: the transpose of an m x n matrix.
#include <optional>

#include "direct/linear_routines.h"
#include "matrices/commands.h"
#include "matrices/estimates.h"
#include "matrices/matrix_trace.h"
#include "matrices/opening.h"

namespace matcalc {

WorkEstimate TransposeWork(int m, int n, int digits) {
  const double entries = static_cast<double>(m) * n;
  // The matrix as read and its transpose, each printed once; the transpose
  // rounded to D.
  return {2 * MatrixBytes(m, n), TraceBytes(2 * entries, 200),
          entries * kLoopNs + RoundingNs(entries, digits) +
              2 * entries * (kPrefixBytes + kNumberBytes) * kTraceByteNs};
}

Task<> TransposeCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, &TransposeWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const Matrix& a = input->read;
  Matrix t(n, m);
  UnitMeter updates(frame.progress(), kLoopNs);
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) t(j, i) = a(i, j);
    Advance(&updates, n);
  }
  TraceBuffer& out = frame.out();
  AppendOpening(out, a,
                "以上是所输入的 " + ShapeText(m, n) + " 矩阵 A，它的转置矩阵 Aᵀ（" +
                    ShapeText(n, m) + "）为：");
  AppendRows(out, t, n, 1, m, "    ", frame.digits());
}

}  // namespace matcalc
