// 线性方程组的通解: [A | b] reduced to its reduced row echelon form, the
// ranks compared, and the solutions written as a particular solution plus
// the combinations of a fundamental system.
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
#include "matrices/solution_set.h"

namespace matcalc {
namespace {

std::string Count(std::size_t value) { return std::to_string(value); }

// "(1, -2, 0)ᵀ"
template <typename T, typename Arithmetic>
void AppendColumn(TraceBuffer& out, const std::vector<T>& v, const Arithmetic& arithmetic) {
  out.Append("(");
  for (std::size_t j = 0; j < v.size(); ++j) {
    if (j > 0) out.Append(", ");
    arithmetic.Append(out, v[j]);
  }
  out.Append(")ᵀ");
}

// "c1·ξ1 + c2·ξ2" and "c1, c2".
std::string Combination(std::size_t count) {
  std::string terms;
  for (std::size_t k = 1; k <= count; ++k) {
    if (k > 1) terms += " + ";
    terms += 'c';
    terms += Count(k);
    terms += "·ξ";
    terms += Count(k);
  }
  return terms;
}
std::string Constants(std::size_t count) {
  std::string names;
  for (std::size_t k = 1; k <= count; ++k) {
    names += k > 1 ? ", c" : "c";
    names += Count(k);
  }
  return names;
}

template <typename T, typename Arithmetic>
void AppendFundamentalSystem(TraceBuffer& out, const SolutionSet<T>& set,
                             const Arithmetic& arithmetic, bool homogeneous) {
  out.Append("自由未知量：");
  for (std::size_t k = 0; k < set.free_unknowns.size(); ++k) {
    out.Append(k > 0 ? ", x" : "x").Append(std::to_string(set.free_unknowns[k]));
  }
  out.NewLine();
  if (!homogeneous) {
    out.Append("特解 η = ");
    AppendColumn(out, set.particular, arithmetic);
    out.NewLine();
  }
  out.Append("基础解系 ");
  for (std::size_t k = 0; k < set.fundamental.size(); ++k) {
    out.Append(k > 0 ? ", ξ" : "ξ").Append(Count(k + 1)).Append(" = ");
    AppendColumn(out, set.fundamental[k], arithmetic);
  }
  out.NewLine();
  const std::size_t count = set.fundamental.size();
  out.Append(homogeneous ? "通解 x = " : "通解 x = η + ").Append(Combination(count));
  out.Append("（").Append(Constants(count)).Append(" 为任意常数）").NewLine();
}

// The reduction and the verdict on the system with n unknowns whose
// augmented matrix is `a`; `homogeneous` when b as read is 0.
template <typename T, typename Arithmetic>
void TraceGeneralSolution(TraceBuffer& out, Grid<T>& a, int n, bool homogeneous,
                          const Arithmetic& arithmetic, WorkMeter* meter) {
  ReductionTrace<T, Arithmetic> trace(out, a, arithmetic);
  const Reduction done = Reduce(a, n + 1, EchelonForm::kReduced, arithmetic, trace, meter);
  out.NewLine().Append("化为的行最简形：").NewLine();
  AppendGrid(out, a, arithmetic);
  out.NewLine();
  const SolutionSet<T> set = SolutionsOf(a, n, done.pivot_columns);
  const std::string r = std::to_string(set.rank_a);
  const std::string unknowns = std::to_string(n);
  if (set.rank_a < set.rank_ab) {
    out.Append("r(A) = " + r + " < r(A|b) = " + std::to_string(set.rank_ab) + "，方程组无解。");
    out.NewLine();
    return;
  }
  if (homogeneous) {
    if (set.rank_a == n) {
      out.Append("r(A) = n = " + unknowns + "，齐次方程组只有零解。").NewLine();
      return;
    }
    out.Append("r(A) = " + r + " < n = " + unknowns + "，齐次方程组有非零解。").NewLine();
    AppendFundamentalSystem(out, set, arithmetic, true);
    return;
  }
  if (set.rank_a == n) {
    out.Append("r(A) = r(A|b) = n = " + unknowns + "，方程组有唯一解：").NewLine();
    for (int j = 1; j <= n; ++j) {
      out.Append("    x").Append(std::to_string(j)).Append(" = ");
      arithmetic.Append(out, set.particular[static_cast<std::size_t>(j - 1)]);
      out.NewLine();
    }
    return;
  }
  out.Append("r(A) = r(A|b) = " + r + " < n = " + unknowns + "，方程组有无穷多解。").NewLine();
  AppendFundamentalSystem(out, set, arithmetic, false);
}

template <typename M>
bool RightHandSideIsZero(const M& read, int n) {
  for (int i = 1; i <= read.rows(); ++i) {
    if (read(i, n + 1) != 0) return false;
  }
  return true;
}

}  // namespace

WorkEstimate GeneralSolutionWork(int m, int n, int digits) {
  // Beside the reduction: the particular solution and up to n vectors of the
  // fundamental system, n numbers each.
  const double unknowns = n;
  return ReductionWork(m, unknowns + 1, unknowns + 1, (unknowns + 1) * unknowns, digits);
}

WorkEstimate ExactGeneralSolutionWork(const RationalMatrix& read, int m, int n) {
  const double unknowns = n;
  return ExactReductionWork(ReductionBits(read, n + 1), m, unknowns + 1, unknowns + 1,
                            (unknowns + 1) * unknowns);
}

Task<> GeneralSolutionCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input = co_await OpenShapedMatrix(
      frame, MatrixShape::kSystem, &GeneralSolutionWork, &ExactGeneralSolutionWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  const std::string heading =
      "以上是 " + std::to_string(m) + " 个方程、" + std::to_string(n) +
      " 个未知量的方程组的增广矩阵 [A | b]，接下来用初等行变换把它化为行最简形：";
  if (input->exact) {
    AppendOpening(out, *input->exact, heading);
    Grid<Rational> a = ExactGrid(*input->exact, m, n + 1);
    UnitMeter updates(frame.progress(), kExactUpdateNs);
    TraceGeneralSolution(out, a, n, RightHandSideIsZero(*input->exact, n), ExactArithmetic(),
                         &updates);
    co_return;
  }
  AppendOpening(out, input->read, heading);
  const std::optional<DecimalArithmetic> arithmetic =
      OpenDecimalReduction(out, input->read, frame.digits());
  if (!arithmetic) co_return;
  Grid<double> a = DecimalGrid(input->read, m, n + 1);
  UnitMeter updates(frame.progress(), kLoopNs);
  TraceGeneralSolution(out, a, n, RightHandSideIsZero(input->read, n), *arithmetic, &updates);
}

}  // namespace matcalc
