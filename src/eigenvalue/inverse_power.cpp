#include "eigenvalue/inverse_power.h"

#include <cmath>
#include <limits>

#include "eigenvalue/commands.h"
#include "eigenvalue/eigen_common.h"
#include "eigenvalue/estimates.h"
#include "linalg/doolittle.h"
#include "linalg/matrix_routines.h"
#include "linalg/readers.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

// The last iteration printed before the method gives up. Iterations are
// numbered from 1 and each costs two substitutions; the power methods number
// iterates instead, and their bound kLastIterate = 201 also means 200 steps
// of work, the first iterate being B x0.
constexpr int kLastIteration = 200;

// Below any estimate, so that the first comparison never passes.
constexpr double kNoEstimate = -1.79769313486232e307;

}  // namespace

WorkEstimate InversePowerWork(int order, int /*digits*/) {
  const double n = order;
  // A, L and U.
  const double arrays = 3 * MatrixBytes(n, n);
  const double trace = n * n * (8 + 2 * kNumberBytes + 5 + kNumberBytes) + 8 * n +
                       kLastIteration * (2 * n * kFieldBytes + 120) + n * (kFieldBytes + 2);
  // The factorisation makes n^3 / 3 multiply-adds and rounds every entry of
  // L and U; each iteration two substitutions of n^2 / 2 multiply-adds and
  // three roundings per component.
  const double nanoseconds = n * n * n / 3 * kLoopNs + n * n * kRoundNs +
                             kLastIteration * (n * n * kLoopNs + 3 * n * kRoundNs);
  return {arrays, trace, nanoseconds, kLastIteration + 1.0};
}

bool SolveLU(const Matrix& l, const Matrix& u, const Vector& b, Vector& x, Vector& y, int n,
             int digits) {
  x = Vector(n);
  y = Vector(n);
  if (n < 1) return true;
  y(1) = b(1);
  for (int i = 2; i <= n; ++i) {
    double s = 0;
    for (int j = 1; j <= i - 1; ++j) s = y(j) * l(i, j) + s;
    y(i) = RoundTo(b(i) - s, digits);
  }
  for (int i = n; i >= 1; --i) {
    double s = 0;
    for (int j = i + 1; j <= n; ++j) s = x(j) * u(i, j) + s;
    if (u(i, i) == 0) return false;
    x(i) = RoundTo((y(i) - s) / u(i, i), digits);
  }
  return true;
}

double LargestComponent(const Vector& v) {
  double largest = std::numeric_limits<double>::quiet_NaN();
  double magnitude = -1;
  for (int i = 1; i <= v.size(); ++i) {
    if (std::fabs(v(i)) > magnitude) {
      magnitude = std::fabs(v(i));
      largest = v(i);
    }
  }
  return largest;
}

Task<> InversePowerCommand(Frame& frame) {
  const std::optional<int> order = co_await frame.AskOrder(kOrderPrompt, kInputTitle, "3", 1);
  if (!order) co_return;
  const int n = *order;
  const bool refused = co_await frame.RefuseIfTooLarge(InversePowerWork(n, frame.digits()));
  if (refused) co_return;
  const std::optional<double> eps = co_await AskPrecision(frame, 0.0001);
  if (!eps) co_return;
  const int digits = frame.digits();
  Matrix a;
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadMatrix(a, n, TrimSpaces(frame.text1()), &reading);
  Matrix l(n, n);
  Matrix u(n, n);
  // Every entry rounded; a pivot that is not a number goes on.
  UnitMeter factoring(frame.progress(), kLoopNs + kRoundNs);
  if (!FactorDoolittle(a, l, u, n, {.places = digits}, &factoring)) {
    co_await frame.Inform("此方法不合适#");
    co_return;
  }
  const Vector x0 = co_await AskInitialVector(frame, n);
  Vector b = x0;
  Vector z = x0;
  Vector y(n);
  Vector normalised(n);

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是原始矩阵，接下来输出三角分解后的下三角矩阵L(n)").NewLine();
  AppendRows(out, l, n, 1, n, "    ");
  out.NewLine().Append("输出矩阵三角分解后的上三角矩阵U(n)").NewLine();
  AppendRows(out, u, n, 1, n, "     ", std::nullopt, "\r\n\r\n");
  out.NewLine().Append("初始向量是：").Append(FormatVector(z, 1)).NewLine();

  double previous = kNoEstimate;
  double accepted = 0;
  for (int k = 1;; ++k) {
    // Only U(n, n) can still be zero here; z then stays all 0.
    if (!SolveLU(l, u, b, z, y, n, digits)) co_await frame.Inform("此方法不合适！");
    const double mu = LargestComponent(z);
    frame.convergence().Add(Quantity::kApproximation, 0, k, mu);
    // With mu = 0 there is nothing to divide by: the previous vector stays.
    if (mu != 0) {
      for (int i = 1; i <= n; ++i) normalised(i) = RoundTo(z(i) / mu, digits);
    }
    out.NewLine().Append("第 ").AppendNumber(k).Append(" 次归一化向量是：");
    out.Append(FormatVector(normalised, 1)).NewLine();
    out.Append("    近似特征值：").AppendNumber(mu).NewLine();
    out.Append("    本次未归一化向量是：").NewLine().Append(FormatVector(z, 1)).NewLine();
    const bool settled = std::fabs(mu - previous) < *eps;
    previous = mu;
    b = normalised;
    if (settled) {
      accepted = mu;
      break;
    }
    if (k >= kLastIteration) {
      const bool keep = co_await KeepTraceAfterGivingUp(frame, kGiveUpText);
      if (!keep) out.Clear();
      co_return;
    }
  }

  // A zero estimate comes from a singular matrix, whose eigenvalue of
  // smallest modulus is 0.
  out.NewLine().NewLine().Append("反幂法求矩阵 按模最小的特征值是： ");
  out.AppendNumber(accepted == 0 ? 0.0 : 1 / accepted);
  out.NewLine().NewLine().Append("      对应的特征向量是： ").NewLine();
  out.Append(FormatVector(normalised, 2));
}

}  // namespace matcalc
