// 雅可比迭代法, 高斯-赛德尔迭代法 and 超松弛迭代法: one iteration loop, three
// ways of taking a step, and the spectral radius of each one's iteration
// matrix beside the trace.
#include "systems/iterative.h"

#include <cmath>
#include <string>
#include <utility>

#include "direct/linear_routines.h"
#include "eigenvalue/eigen_common.h"
#include "linalg/matrix_routines.h"
#include "linalg/readers.h"
#include "systems/commands.h"
#include "systems/spectral_radius.h"
#include "systems/system_trace.h"
#include "text/leading_number.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

enum class Method { kJacobi, kGaussSeidel, kSor };

constexpr std::string_view kEpsPrompt = "输入解向量的精度值 eps：";
constexpr std::string_view kLimitPrompt = "输入最大迭代次数 N：";
constexpr std::string_view kOmegaPrompt = "输入松弛因子 ω（0 < ω < 2）：";

// Bytes of the fixed texts around the trace's numbers, at most: the opening
// heading, the radius and its verdicts, the headings before the iterates,
// the result line or the divergence line.
constexpr double kFixedTraceBytes = 1000;
// One iterate's heading and error line with their line breaks, beside the
// error's number.
constexpr double kIterateTextBytes = 100;

// Nanoseconds of the development machine per multiply-add (measured with
// bench/calibrate.py and a timing build of the loops alone). A step reads the
// augmented matrix row by row: 0.55 to 0.62 ns while the matrix stays in the
// processor's cache (up to about 16 MiB here), 0.8 to 1.4 ns once every step
// streams it from memory. The reduction and the QR sweeps of ρ(B) take 0.33
// to 0.42 ns per counted multiply-add at the orders whose matrix is cached,
// 0.5 to 0.75 ns beyond, where the memory is shared with other work.
constexpr double kCachedMatrixBytes = 16.0 * 1024 * 1024;
constexpr double kCachedStepNs = 0.9;
constexpr double kStreamedStepNs = 1.5;
constexpr double kCachedRadiusNs = 0.6;
constexpr double kStreamedRadiusNs = 0.9;

bool MatrixCached(double n) { return MatrixBytes(n, n + 1) <= kCachedMatrixBytes; }
double StepNs(double n) { return MatrixCached(n) ? kCachedStepNs : kStreamedStepNs; }
double RadiusNs(double n) { return MatrixCached(n) ? kCachedRadiusNs : kStreamedRadiusNs; }

// The QR sweeps of ρ(B) may take 15 n^3 multiply-adds, about nine double-shift
// sweeps per eigenvalue where two are usual, but never more than their worst
// case, nor more than a fifth of the work budget: the iterations are what was
// asked for, and an order they fit is not refused for the sweeps' worst
// case, which is rarely near. Small orders keep their worst case whole.
constexpr double kRadiusShare = 0.2;
constexpr double kSweepsPerCube = 15;
constexpr double kSmallSweepWork = 1e8;

// The multiply-adds ρ(B) may take in all: the iteration matrix (n^3 / 2 by
// substitution; none for Jacobi's, whose few divisions are counted as none),
// its reduction, and the sweeps up to their allowance.
double RadiusSweepLimit(double n) {
  const double share = kRadiusShare * kWorkBudgetNanoseconds / kLoopNs;
  const double usual = kSweepsPerCube * n * n * n;
  double limit = SweepWorkBound(n);
  if (limit > share) limit = share;
  if (limit > usual && limit > kSmallSweepWork)
    limit = usual > kSmallSweepWork ? usual : kSmallSweepWork;
  return limit;
}

double RadiusWork(double n) {
  return 0.5 * n * n * n + HessenbergWork(n) + RadiusSweepLimit(n) + 5 * n * (n + 5);
}

// Counts the work passed on, so that what a bound allowed for and was not
// needed can be counted afterwards: the progress then stays a fraction of
// the estimate the budgets accepted.
class CountingMeter final : public WorkMeter {
 public:
  explicit CountingMeter(WorkMeter& inner) : inner_(inner) {}
  void Advance(double work) override {
    done_ += work;
    inner_.Advance(work);
  }
  double done() const { return done_; }

 private:
  WorkMeter& inner_;
  double done_ = 0;
};

bool AllFinite(const Vector& v) {
  for (int i = 1; i <= v.size(); ++i) {
    if (!std::isfinite(v(i))) return false;
  }
  return true;
}

// The sum over j != i of A(i,j) v(j) with v(j) = first(j) for j < i and
// rest(j) for j > i, in increasing j.
double RowSum(const Matrix& a, int n, int i, const Vector& first, const Vector& rest) {
  double s = 0;
  for (int j = 1; j <= i - 1; ++j) s = s + a(i, j) * first(j);
  for (int j = i + 1; j <= n; ++j) s = s + a(i, j) * rest(j);
  return s;
}

void Step(Method method, const Matrix& a, int n, double omega, const Vector& x, Vector& next) {
  switch (method) {
    case Method::kJacobi:
      JacobiStep(a, n, x, next);
      return;
    case Method::kGaussSeidel:
      GaussSeidelStep(a, n, x, next);
      return;
    case Method::kSor:
      SorStep(a, n, omega, x, next);
      return;
  }
}

Matrix IterationMatrix(Method method, const Matrix& a, int n, double omega, WorkMeter* meter) {
  switch (method) {
    case Method::kJacobi:
      return JacobiIterationMatrix(a, n);
    case Method::kGaussSeidel:
      return GaussSeidelIterationMatrix(a, n, meter);
    case Method::kSor:
      return SorIterationMatrix(a, n, omega, meter);
  }
  return {};
}

// The relaxation factor of SOR; nothing when the answer is empty or
// cancelled. A factor not strictly between 0 and 2 is explained in a box,
// and the factor asked again.
Task<std::optional<double>> AskRelaxation(Frame& frame) {
  while (true) {
    const std::optional<std::string> answer =
        co_await frame.AskNonEmpty(kOmegaPrompt, "输入参数", "1.2");
    if (!answer) co_return std::nullopt;
    const double omega = LeadingNumber(*answer);
    if (omega > 0 && omega < 2) co_return omega;
    co_await frame.Inform("松弛因子 ω 必须满足 0 < ω < 2。", "输入值错误");
  }
}

// The box for component i of the initial vector.
std::string StartPrompt(int i) {
  return "输入初始向量值 x" + std::to_string(i) + "：\r\n   默认为 0";
}

// The initial vector: 0 unless the user gives another number; an empty or
// cancelled answer stops the questions.
Task<Vector> AskStartingVector(Frame& frame, int n) {
  Vector x0(n);
  for (int i = 1; i <= n; ++i) {
    const std::optional<std::string> answer = co_await frame.Ask(StartPrompt(i), kInputTitle, "0");
    if (!answer || answer->empty()) break;
    x0(i) = LeadingNumber(*answer);
  }
  co_return x0;
}

// The spectral radius of the iteration matrix and what it says, then the
// dominance line.
void AppendConvergenceTheory(Frame& frame, const Matrix& a, int n, Method method, double omega) {
  TraceBuffer& out = frame.out();
  UnitMeter loops(frame.progress(), RadiusNs(n));
  CountingMeter counted(loops);
  const RadiusResult rho = SpectralRadius(IterationMatrix(method, a, n, omega, &counted), n,
                                          &counted, RadiusSweepLimit(n));
  // The bound the budgets were given, counted whole.
  const double bound = RadiusWork(n);
  if (bound > counted.done()) loops.Advance(bound - counted.done());

  if (rho.radius) {
    out.Append("    ρ(B) = ").AppendNumber(RoundTo(*rho.radius, frame.digits())).NewLine();
    out.Append(*rho.radius < 1 ? "ρ(B) < 1，迭代收敛。" : "ρ(B) ≥ 1，迭代一般不收敛。").NewLine();
  } else if (rho.fault == RadiusFault::kNotFinite) {
    out.Append("    未能求出 ρ(B)：迭代矩阵的元素超出了数的范围。").NewLine();
  } else if (rho.fault == RadiusFault::kNoConvergence) {
    out.Append("    未能求出 ρ(B)：QR 迭代在限定次数内没有收敛。").NewLine();
  } else {
    out.Append("    未能求出 ρ(B)：QR 迭代超出了为它限定的计算量。").NewLine();
  }
  if (FirstNonDominantRow(a, n) == 0) {
    out.Append("系数矩阵严格对角占优，雅可比迭代法与高斯-赛德尔迭代法都收敛。").NewLine();
  }
}

void AppendIterate(TraceBuffer& out, int k, const Vector& x, double change, int digits) {
  out.Append("    第 ").AppendNumber(k).Append(" 次迭代向量是：").NewLine();
  for (int i = 1; i <= x.size(); ++i) out.AppendField24(RoundTo(x(i), digits)).NewLine();
  out.Append("    误差 ‖x(k) − x(k−1)‖∞ = ").AppendNumber(change).NewLine().NewLine();
}

Task<> IterativeCommand(Frame& frame, Method method) {
  const std::string rows = OrderOfText(frame.text1());
  const OrderBox box = SystemOrderBox(rows);
  const std::optional<int> order =
      co_await frame.AskOrder(box.prompt, box.title, box.default_text, 1);
  if (!order) co_return;
  const int n = *order;
  const int digits = frame.digits();
  // An order too large for even one step is refused before the other boxes.
  const bool refused_at_once = co_await frame.RefuseIfTooLarge(IterativeWork(n, 1, digits));
  if (refused_at_once) co_return;
  const std::optional<std::string> eps_answer =
      co_await frame.AskNonEmpty(kEpsPrompt, kInputTitle, FormatNumber(0.0001));
  if (!eps_answer) co_return;
  const double eps = LeadingNumber(*eps_answer);
  const std::optional<int> limit = co_await frame.AskOrder(kLimitPrompt, kInputTitle, "100", 1);
  if (!limit) co_return;
  const int last = *limit;
  const bool refused = co_await frame.RefuseIfTooLarge(IterativeWork(n, last, digits));
  if (refused) co_return;
  double omega = 1;
  if (method == Method::kSor) {
    const std::optional<double> answer = co_await AskRelaxation(frame);
    if (!answer) co_return;
    omega = *answer;
  }
  Matrix a(n, n + 1);
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadSquareMatrix(a, n, frame.text1(), &reading);
  if (FirstVanishingDiagonal(a, n) != 0) {
    co_await frame.Inform("系数矩阵的对角元素不能为零，此方法不合适。");
    co_return;
  }
  Vector x = co_await AskStartingVector(frame, n);

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendAugmentedOpening(out, a, n, "接下来输出迭代矩阵的谱半径：");
  // How the trace was made, so that a saved one says so.
  out.Append("eps = ").AppendNumber(eps).Append("，N = ").AppendNumber(last).NewLine();
  if (method == Method::kSor) out.Append("ω = ").AppendNumber(omega).NewLine();
  AppendConvergenceTheory(frame, a, n, method, omega);
  out.NewLine().Append("接下来输出初始向量值：").NewLine();
  out.Append(FormatVector(x, 2));
  out.NewLine().NewLine().Append("接下来输出各迭代向量：").NewLine();
  frame.convergence().AddVector(Quantity::kComponent, 0, x);

  UnitMeter stepping(frame.progress(), StepNs(n));
  UnitMeter tracing(frame.progress(), kTraceByteNs);
  Vector next(n);
  for (int k = 1;; ++k) {
    Step(method, a, n, omega, x, next);
    stepping.Advance(static_cast<double>(n) * n);
    if (!AllFinite(next)) {
      // The iterate that left the range is not written: the chart gives up
      // after the last one the trace shows, and names no other.
      frame.convergence().GiveUp(k - 1, "迭代发散：下一次迭代向量的分量超出了数的范围");
      AppendStop(out, "迭代发散：第 " + std::to_string(k) + " 次迭代向量的分量超出了数的范围。");
      co_return;
    }
    const double change = IterateChange(x, next);
    std::swap(x, next);
    AppendIterate(out, k, x, change, digits);
    tracing.Advance(kIterateTextBytes + n * (kFieldBytes + 2));
    frame.convergence().Add(Quantity::kError, 0, k, change);
    frame.convergence().AddVector(Quantity::kComponent, k, x);
    if (change < eps) {
      AppendSolution(out, "迭代 " + std::to_string(k) + " 次后满足精度要求，方程组的近似解是：", x,
                     digits);
      co_return;
    }
    if (k == last) {
      const std::string question =
          "迭代 " + std::to_string(k) + " 次仍未达到精度要求，计算被迫终止。\r\n结果是否还要查看？";
      const bool keep = co_await KeepTraceAfterGivingUp(frame, question);
      if (!keep) out.Clear();
      co_return;
    }
  }
}

}  // namespace

void JacobiStep(const Matrix& a, int n, const Vector& x, Vector& next) {
  for (int i = 1; i <= n; ++i) next(i) = (a(i, n + 1) - RowSum(a, n, i, x, x)) / a(i, i);
}

void GaussSeidelStep(const Matrix& a, int n, const Vector& x, Vector& next) {
  for (int i = 1; i <= n; ++i) next(i) = (a(i, n + 1) - RowSum(a, n, i, next, x)) / a(i, i);
}

void SorStep(const Matrix& a, int n, double omega, const Vector& x, Vector& next) {
  for (int i = 1; i <= n; ++i) {
    const double g = (a(i, n + 1) - RowSum(a, n, i, next, x)) / a(i, i);
    next(i) = (1 - omega) * x(i) + omega * g;
  }
}

double IterateChange(const Vector& x, const Vector& next) {
  double largest = 0;
  for (int i = 1; i <= x.size(); ++i) {
    const double d = std::fabs(next(i) - x(i));
    if (d > largest) largest = d;
  }
  return largest;
}

int FirstVanishingDiagonal(const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    if (a(i, i) == 0 || std::isnan(a(i, i))) return i;
  }
  return 0;
}

WorkEstimate IterativeWork(int order, int iterations, int digits) {
  const double n = order;
  const double steps = iterations;
  // The augmented matrix, the iteration matrix and its working copy; the
  // iterates and the initial vector.
  const double bytes = MatrixBytes(n, n + 1) + 2 * MatrixBytes(n, n) + 4 * 8 * (n + 1);
  // The augmented matrix unrounded, x0 and the iterates in fields, the
  // solution block.
  // The parameters' line: "eps = ", the number, "，N = ", five digits; ω's.
  const double parameters = 2 * kNumberBytes + 40;
  const double trace = n * (n + 1) * (4 + kNumberBytes) + 2 * n + kFixedTraceBytes + parameters +
                       n * (kFieldBytes + 2) +
                       steps * (kIterateTextBytes + kNumberBytes + n * (kFieldBytes + 2)) +
                       n * (4 + 6 + 3 + kNumberBytes + 2);
  // The iteration matrix by substitution, its eigenvalues within their
  // allowance; each step a pass over A and a rounding of every printed
  // component.
  const double nanoseconds = RadiusWork(n) * RadiusNs(n) +
                             steps * ((n * n + 2 * n) * StepNs(n) + RoundingNs(n, digits)) +
                             RoundingNs(n, digits);
  // x0, then each iterate's error and components.
  const double points = n + steps * (n + 1);
  return {bytes, trace, nanoseconds, points};
}

WorkEstimate IterativeDefaultWork(int order, int digits) {
  return IterativeWork(order, kDefaultIterationLimit, digits);
}

Task<> JacobiIterationCommand(Frame& frame) { co_await IterativeCommand(frame, Method::kJacobi); }
Task<> GaussSeidelCommand(Frame& frame) { co_await IterativeCommand(frame, Method::kGaussSeidel); }
Task<> SorCommand(Frame& frame) { co_await IterativeCommand(frame, Method::kSor); }

}  // namespace matcalc
