// 转置矩阵: the transpose of an m x n matrix.
#include <optional>

#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "frame/exact_layout.h"
#include "frame/trace_layout.h"
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

WorkEstimate ExactTransposeWork(const RationalMatrix& read, int m, int n) {
  // Nothing is computed: the fractions read are printed twice.
  const double entries = static_cast<double>(m) * n;
  WorkEstimate work = ExactWork(ReductionBits(read, 1), entries, 2 * entries, 2 * entries, 200);
  work.bytes += MatrixBytes(m, n);
  return work;
}

namespace {

template <typename M>
M Transposed(const M& a, WorkMeter* meter) {
  M t(a.cols(), a.rows());
  for (int i = 1; i <= a.rows(); ++i) {
    for (int j = 1; j <= a.cols(); ++j) t(j, i) = a(i, j);
    Advance(meter, a.cols());
  }
  return t;
}

std::string Heading(int m, int n) {
  return "以上是所输入的 " + ShapeText(m, n) + " 矩阵 A，它的转置矩阵 Aᵀ（" + ShapeText(n, m) +
         "）为：";
}

}  // namespace

Task<> TransposeCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, &TransposeWork, &ExactTransposeWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  UnitMeter updates(frame.progress(), kLoopNs);
  if (input->exact) {
    const RationalMatrix t = Transposed(*input->exact, &updates);
    AppendOpening(out, *input->exact, Heading(m, n));
    AppendRows(out, t, n, 1, m, "    ");
    co_return;
  }
  const Matrix t = Transposed(input->read, &updates);
  AppendOpening(out, input->read, Heading(m, n));
  AppendRows(out, t, n, 1, m, "    ", frame.digits());
}

}  // namespace matcalc
