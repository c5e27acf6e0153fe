// 化三角形求行列式: row operations to an upper triangular form; every
// exchange of two rows changes the sign, and the determinant is the signed
// product of the diagonal.
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

// Stops at the first column without a pivot: the determinant is 0.
template <typename T, typename Arithmetic>
class UntilZeroColumn : public ReductionTrace<T, Arithmetic> {
 public:
  using ReductionTrace<T, Arithmetic>::ReductionTrace;

  bool NoPivot(int column, int row, bool rest) {
    ReductionTrace<T, Arithmetic>::NoPivot(column, row, rest);
    zero_ = true;
    return false;
  }

  bool zero() const { return zero_; }

 private:
  bool zero_ = false;
};

template <typename T, typename Arithmetic>
void TraceDeterminant(TraceBuffer& out, Grid<T>& a, const Arithmetic& arithmetic,
                      WorkMeter* meter) {
  const int n = a.rows();
  UntilZeroColumn<T, Arithmetic> trace(out, a, arithmetic);
  const Reduction done = Reduce(a, n, EchelonForm::kRowEchelon, arithmetic, trace, meter);
  if (trace.zero()) {
    out.NewLine().Append("det(A) = ").Append(arithmetic.Text(T(0))).NewLine();
    return;
  }
  out.NewLine().Append("化为的上三角形：").NewLine();
  AppendGrid(out, a, arithmetic);
  // The product from the first diagonal entry on, then the sign.
  T product(1);
  for (int i = 1; i <= n; ++i) product = product * a(i, i);
  const bool odd = done.exchanges % 2 != 0;
  if (odd) product = T(-product);
  out.NewLine().Append("共交换 ").Append(std::to_string(done.exchanges));
  out.Append(" 次行，行列式等于主对角元之积");
  out.Append(odd ? "的相反数：" : "：").NewLine();
  out.Append("det(A) = ");
  arithmetic.Append(out, product);
  out.NewLine();
}

}  // namespace

WorkEstimate DeterminantByRowsWork(int, int n, int digits) {
  return ReductionWork(n, n, n, 1, digits);
}

WorkEstimate ExactDeterminantByRowsWork(const RationalMatrix& read, int, int n) {
  return ExactReductionWork(ReductionBits(read, n), n, n, n, 1);
}

Task<> DeterminantByRowsCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input = co_await OpenShapedMatrix(
      frame, MatrixShape::kSquare, &DeterminantByRowsWork, &ExactDeterminantByRowsWork);
  if (!input) co_return;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  const std::string heading =
      "以上是所输入的 " + std::to_string(n) + " 阶矩阵 A，接下来用初等行变换把它化为上三角形：";
  if (input->exact) {
    AppendOpening(out, *input->exact, heading);
    Grid<Rational> a = ExactGrid(*input->exact, n, n);
    UnitMeter updates(frame.progress(), kExactUpdateNs);
    TraceDeterminant(out, a, ExactArithmetic(), &updates);
    co_return;
  }
  AppendOpening(out, input->read, heading);
  const std::optional<DecimalArithmetic> arithmetic =
      OpenDecimalReduction(out, input->read, frame.digits());
  if (!arithmetic) co_return;
  Grid<double> a = DecimalGrid(input->read, n, n);
  UnitMeter updates(frame.progress(), kLoopNs);
  TraceDeterminant(out, a, *arithmetic, &updates);
}

}  // namespace matcalc
