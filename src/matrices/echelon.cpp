// 化为行阶梯形, 化为行最简形 and 矩阵的秩: an m x n matrix reduced by
// elementary row operations, and its rank.
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

enum class Ending {
  kRankAndPivots,  // the rank, then the pivot columns
  kRank,           // the rank alone
};

std::string_view FormName(EchelonForm form) {
  return form == EchelonForm::kReduced ? "行最简形" : "行阶梯形";
}

// The reduction of the whole matrix `a` to `form` and what it ends with.
template <typename T, typename Arithmetic>
void TraceEchelon(TraceBuffer& out, Grid<T>& a, EchelonForm form, Ending ending,
                  const Arithmetic& arithmetic, WorkMeter* meter) {
  ReductionTrace<T, Arithmetic> trace(out, a, arithmetic);
  const Reduction done = Reduce(a, a.cols(), form, arithmetic, trace, meter);
  out.NewLine().Append("化为的").Append(FormName(form)).Append("：").NewLine();
  AppendGrid(out, a, arithmetic);
  out.NewLine().Append("矩阵的秩 r(A) = ").Append(std::to_string(done.pivot_columns.size()));
  out.NewLine();
  if (ending == Ending::kRankAndPivots) {
    out.Append("主元所在的列：").Append(ColumnList(done.pivot_columns)).NewLine();
  }
}

Task<> RunEchelon(Frame& frame, EchelonForm form, Ending ending, ShapeEstimate estimate) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, estimate, &ExactEchelonWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  const std::string heading = "以上是所输入的 " + ShapeText(m, n) +
                              " 矩阵 A，接下来用初等行变换把它化为" + std::string(FormName(form)) +
                              "：";
  if (input->exact) {
    AppendOpening(out, *input->exact, heading);
    Grid<Rational> a = ExactGrid(*input->exact, m, n);
    UnitMeter updates(frame.progress(), kExactUpdateNs);
    TraceEchelon(out, a, form, ending, ExactArithmetic(), &updates);
    co_return;
  }
  AppendOpening(out, input->read, heading);
  const std::optional<DecimalArithmetic> arithmetic =
      OpenDecimalReduction(out, input->read, frame.digits());
  if (!arithmetic) co_return;
  Grid<double> a = DecimalGrid(input->read, m, n);
  UnitMeter updates(frame.progress(), kLoopNs);
  TraceEchelon(out, a, form, ending, *arithmetic, &updates);
}

}  // namespace

WorkEstimate RowEchelonWork(int m, int n, int digits) { return ReductionWork(m, n, n, 0, digits); }
WorkEstimate ReducedEchelonWork(int m, int n, int digits) {
  return ReductionWork(m, n, n, 0, digits);
}
WorkEstimate RankWork(int m, int n, int digits) { return ReductionWork(m, n, n, 0, digits); }
WorkEstimate ExactEchelonWork(const RationalMatrix& read, int m, int n) {
  return ExactReductionWork(ReductionBits(read, n), m, n, n, 0);
}

Task<> RowEchelonCommand(Frame& frame) {
  return RunEchelon(frame, EchelonForm::kRowEchelon, Ending::kRankAndPivots, &RowEchelonWork);
}

Task<> ReducedEchelonCommand(Frame& frame) {
  return RunEchelon(frame, EchelonForm::kReduced, Ending::kRankAndPivots, &ReducedEchelonWork);
}

Task<> RankCommand(Frame& frame) {
  return RunEchelon(frame, EchelonForm::kRowEchelon, Ending::kRank, &RankWork);
}

}  // namespace matcalc
