#include "eigenvalue/power_iteration.h"

#include <cmath>
#include <utility>

#include "eigenvalue/eigen_common.h"
#include "linalg/matrix_routines.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// 20 times the smallest subnormal, the double nearest to 1E-322.
constexpr double kSmallestDenominator = 1e-322;
static_assert(kSmallestDenominator == 0x1.4p-1070);
// What a ratio with a vanishing denominator is taken to be: large enough
// never to agree with an honest estimate.
constexpr double kNoRatio = 1.79769313486231e308;

bool HasRatio(double denominator) { return std::fabs(denominator) >= kSmallestDenominator; }

}  // namespace

WorkEstimate PowerIterationWork(int order, int arrays, int printed_matrices) {
  const double n = order;
  // The matrices written first, the initial vector and every iterate in
  // fields, and a label per iterate.
  const double trace = printed_matrices * n * n * (4 + kNumberBytes) +
                       (kLastIterate + 2 * printed_matrices + 1) * n * (kFieldBytes + 2) +
                       kLastIterate * 40;
  // Each iterate but the first needs a product of the power matrix (every
  // entry rounded), and each a product with x0 and two ratios per component.
  const double steps = kLastIterate;
  const double nanoseconds = (steps - 1) * (n * n * n * kProductNs + n * n * kRoundNs) +
                             steps * (n * n * kLoopNs + 3 * n * kRoundNs);
  // Each iterate's estimates, and the eigenvalue accepted.
  const double points = steps * n + 1;
  return {arrays * MatrixBytes(n, n), trace, nanoseconds, points};
}

double RatioEstimate(double numerator, double denominator, int digits) {
  const double ratio = HasRatio(denominator) ? numerator / denominator : kNoRatio;
  return RoundTo(ratio, digits);
}

int SettledComponent(const Vector& e1, const Vector& e2, const Vector& previous, double eps) {
  const int n = e2.size();
  for (int j = 1; j <= n; ++j) {
    // Two stand-ins agree with each other, but they estimate nothing: a
    // vanished component (the zero matrix, or a shift onto an eigenvalue)
    // would otherwise report 1.79769313486231E+308 as the eigenvalue.
    if (!HasRatio(previous(j))) continue;
    if (!(std::fabs(e2(j) - e1(j)) < eps)) continue;
    // The first component alone is not trusted: the second must agree.
    if (j == 1 && n > 1 && std::fabs(e2(2) - e2(1)) > eps) continue;
    return j;
  }
  return 0;
}

Task<bool> AppendIterates(Frame& frame, PowerIteration& iteration, double eps,
                          std::string_view iterate_end, std::string_view give_up_text) {
  TraceBuffer& out = frame.out();
  out.NewLine().NewLine().Append("接下来输出各迭代向量：").NewLine();
  out.Append("    第 1 个分量是：")
      .NewLine()
      .Append(FormatVector(iteration.previous(), 2))
      .NewLine();
  out.Append("    第 2 个分量是：")
      .NewLine()
      .Append(FormatVector(iteration.current(), 2))
      .NewLine();
  bool settled = false;
  while (!settled) {
    settled = iteration.Advance(eps);
    frame.convergence().AddVector(Quantity::kEstimate, iteration.k(), iteration.estimates());
    out.Append("    第 ").AppendNumber(iteration.k()).Append(" 个分量是：").NewLine();
    out.Append(FormatVector(iteration.current(), 2)).Append(iterate_end);
    if (!settled && iteration.k() >= kLastIterate) {
      const bool keep = co_await KeepTraceAfterGivingUp(frame, give_up_text);
      if (!keep) out.Clear();
      co_return false;
    }
  }
  frame.convergence().Add(Quantity::kEigenvalue, 0, iteration.k(), iteration.lambda());
  co_return true;
}

PowerIteration::PowerIteration(const Matrix& b, const Vector& x0, int digits)
    : b_(b), x0_(x0), digits_(digits), n_(x0.size()), e1_(n_), e2_(n_) {
  previous_ = MultiplyMatrixVector(b_, x0_, n_, digits_);
  power_ = MultiplyMatrices(b_, b_, n_, n_, n_, digits_);
  current_ = MultiplyMatrixVector(power_, x0_, n_, digits_);
}

bool PowerIteration::Advance(double eps) {
  ++k_;
  older_ = std::exchange(previous_, std::move(current_));
  power_ = MultiplyMatrices(b_, power_, n_, n_, n_, digits_);
  current_ = MultiplyMatrixVector(power_, x0_, n_, digits_);
  for (int j = 1; j <= n_; ++j) {
    e1_(j) = RatioEstimate(previous_(j), older_(j), digits_);
    e2_(j) = RatioEstimate(current_(j), previous_(j), digits_);
  }
  const int settled = SettledComponent(e1_, e2_, previous_, eps);
  if (settled == 0) return false;
  lambda_ = e2_(settled);
  return true;
}

}  // namespace matcalc
