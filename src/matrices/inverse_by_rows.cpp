// 初等行变换求逆矩阵: [A | E] reduced by row operations until A becomes E;
// then E has become the inverse.
#include <optional>
#include <string>

#include "matrices/commands.h"
#include "matrices/decimal_opening.h"
#include "matrices/estimates.h"
#include "matrices/exact_arithmetic.h"
#include "matrices/matrix_trace.h"
#include "matrices/opening.h"
#include "matrices/reduction.h"
#include "matrices/reduction_trace.h"

namespace matcalc {
namespace {

// Writes the reduction up to the first column without a pivot; the reduction
// goes on unseen from there, so that the rank can be told.
template <typename T, typename Arithmetic>
class UntilSingular : public ReductionTrace<T, Arithmetic> {
 public:
  using ReductionTrace<T, Arithmetic>::ReductionTrace;

  bool NoPivot(int column, int row, bool rest) {
    ReductionTrace<T, Arithmetic>::NoPivot(column, row, rest);
    this->Silence();
    singular_ = true;
    return true;
  }

  bool singular() const { return singular_; }

 private:
  bool singular_ = false;
};

template <typename T, typename Arithmetic>
void TraceInverse(TraceBuffer& out, Grid<T>& a, const Arithmetic& arithmetic, WorkMeter* meter) {
  const int n = a.rows();
  UntilSingular<T, Arithmetic> trace(out, a, arithmetic);
  const Reduction done = Reduce(a, n, EchelonForm::kReduced, arithmetic, trace, meter);
  if (trace.singular()) {
    out.NewLine().Append("矩阵不可逆（r(A) = ").Append(std::to_string(done.pivot_columns.size()));
    out.Append(" < n = ").Append(std::to_string(n)).Append("）。").NewLine();
    return;
  }
  out.NewLine().Append("逆矩阵 A⁻¹ =").NewLine();
  AppendGrid(out, a, arithmetic, n + 1, 2 * n);
}

}  // namespace

WorkEstimate InverseByRowsWork(int, int n, int digits) {
  // [A | E] is built beside the matrix as read.
  WorkEstimate work = ReductionWork(n, 2.0 * n, n, 0, digits);
  work.bytes += MatrixBytes(n, n);
  return work;
}

WorkEstimate ExactInverseByRowsWork(const RationalMatrix& read, int, int n) {
  WorkEstimate work = ExactReductionWork(ReductionBits(read, 2 * n), n, 2.0 * n, n, 0);
  work.bytes += MatrixBytes(n, n);
  return work;
}

namespace {

// [A | E] of the matrix read, over its own scalar type.
template <typename M>
M WithIdentity(const M& read, int n) {
  M augmented(n, 2 * n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) augmented(i, j) = read(i, j);
    augmented(i, n + i) = 1;
  }
  return augmented;
}

std::string Heading(int n) {
  return "以上是 " + std::to_string(n) +
         " 阶矩阵 A 与单位矩阵 E 并成的 [A | E]，接下来用初等行变换把 A 化为 E：";
}

}  // namespace

Task<> InverseByRowsCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input = co_await OpenShapedMatrix(
      frame, MatrixShape::kSquare, &InverseByRowsWork, &ExactInverseByRowsWork);
  if (!input) co_return;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  if (input->exact) {
    const RationalMatrix augmented = WithIdentity(*input->exact, n);
    AppendOpening(out, augmented, Heading(n));
    Grid<Rational> a = ExactGrid(augmented, n, 2 * n);
    UnitMeter updates(frame.progress(), kExactUpdateNs);
    TraceInverse(out, a, ExactArithmetic(), &updates);
    co_return;
  }
  const Matrix augmented = WithIdentity(input->read, n);
  AppendOpening(out, augmented, Heading(n));
  const std::optional<DecimalArithmetic> arithmetic =
      OpenDecimalReduction(out, augmented, frame.digits());
  if (!arithmetic) co_return;
  Grid<double> a = DecimalGrid(augmented, n, 2 * n);
  UnitMeter updates(frame.progress(), kLoopNs);
  TraceInverse(out, a, *arithmetic, &updates);
}

}  // namespace matcalc
