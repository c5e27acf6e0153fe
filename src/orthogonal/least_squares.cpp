// 最小二乘解 and 最小二乘曲线拟合.
#include <algorithm>
#include <cmath>
#include <string>

#include "direct/singular_values.h"
#include "frame/budget.h"
#include "frame/trace_layout.h"
#include "linalg/readers.h"
#include "linalg/reading_hints.h"
#include "matrices/opening.h"
#include "orthogonal/commands.h"
#include "orthogonal/estimates.h"
#include "orthogonal/orthogonal_trace.h"
#include "orthogonal/qr_routines.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/leading_number.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

inline constexpr std::string_view kRankDeficientText = "系数矩阵的列不满秩，最小二乘解不唯一。";

// cond2 of the leading n x n block: the ratio of its extreme singular values.
double Cond2(const Matrix& a, int n, WorkMeter* meter) {
  const SingularValueRange range = ExtremeSingularValues(a, n, meter);
  return range.largest / range.smallest;
}

}  // namespace

WorkEstimate LeastSquaresWork(int m_rows, int n_cols, int digits) {
  const double m = m_rows;
  const double n = n_cols;
  const double printed = m * (n + 1) + n * n + 3 * n + n * n + m + 2 * n + n * n;
  // [A | b] read and twice copied (QR, residual), AᵀA, L, the singular
  // values' copies of R and AᵀA.
  return {4 * MatrixBytes(m, n + 1) + 6 * MatrixBytes(n, n) + 16 * (m + n + 8),
          EntryBytes(printed) + 30 * kHeadingBytes,
          (m * n * n + n * n * n / 6 + 4 * m * n * n + 2 * m * n + 8 * n * n * n) * kLoopNs +
              RoundingNs(printed, digits)};
}

Task<> LeastSquaresCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kSystem, &LeastSquaresWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const int digits = frame.digits();
  const Matrix& ab = input->read;
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();
  AppendRows(out, ab, m, 1, n + 1, "    ");
  out.NewLine().Append("以上是所要求解的方程组的增广矩阵 [A | b]（").AppendNumber(m);
  out.Append(" 个方程，").AppendNumber(n).Append(" 个未知数），接下来求最小二乘解：").NewLine();
  if (m < n) {
    out.NewLine().Append("方程的个数 m = ").AppendNumber(m).Append(" 少于未知数的个数 n = ");
    out.AppendNumber(n).Append("，最小二乘解要求 m ≥ n。").NewLine();
    co_return;
  }
  UnitMeter work(frame.progress(), kLoopNs);
  Matrix a(m, n);
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = ab(i, j);
  }
  // The rank is decided once, by the pivots of the QR way, which rounding
  // does not blur as it does the normal equations' radicands.
  const double tol = ZeroTolerance(a);
  const QrLeastSquares qr = LeastSquaresByQr(ab, n, tol, &work);

  out.NewLine().Append("一、法方程组 AᵀAx = Aᵀb：").NewLine();
  const Matrix s = NormalMatrix(ab, n, &work);
  AppendNamedMatrix(out, "AᵀA", s, n, n, digits);
  const Vector g = NormalRightHandSide(ab, n);
  out.Append("Aᵀb = ").Append(ColumnText(g, 1, n, digits)).NewLine();
  if (qr.zero_pivot != 0) {
    out.NewLine().Append("小数运算中绝对值不超过 tol = ").AppendNumber(tol);
    out.Append(" 的数视为零：R 的第 ").AppendNumber(qr.zero_pivot).Append(" 个主元为零。");
    AppendStop(out, kRankDeficientText);
    co_return;
  }
  int failed_step = 0;
  const std::optional<Matrix> l = CholeskyFactor(s, 0, &failed_step, &work);
  if (l) {
    out.Append("用平方根法分解 AᵀA = LLᵀ，L：").NewLine();
    AppendMatrixBlock(out, *l, 1, n, n, digits);
    const Vector y = SolveLower(*l, g, n, &work);
    out.Append("由 Ly = Aᵀb 求得：").NewLine();
    AppendNamedValues(out, "y", y, 1, n, digits);
    const Vector x = SolveLowerTransposed(*l, y, n, &work);
    out.Append("由 Lᵀx = y 求得法方程组的解：").NewLine();
    AppendNamedValues(out, "x", x, 1, n, digits);
  } else {
    out.Append("平方根法第 ").AppendNumber(failed_step);
    out.Append(" 步的开方数不是正数：舍入之后 AᵀA 已不再正定，法方程组无法用平方根法求解。");
    out.NewLine();
  }

  out.NewLine().Append("二、豪斯霍尔德变换 A = QR，Rx = Qᵀb：").NewLine();
  AppendNamedMatrix(out, "R", qr.r, n, n, digits);
  Vector qtb(m);
  for (int i = 1; i <= m; ++i) qtb(i) = qr.r(i, n + 1);
  out.Append("Qᵀb = ").Append(ColumnText(qtb, 1, m, digits)).NewLine();
  out.Append("由 Rx = (Qᵀb)1..n 回代求得：").NewLine();
  AppendNamedValues(out, "x", qr.x, 1, n, digits);

  out.NewLine()
      .Append("残差 ‖b − Ax‖₂ = ")
      .AppendNumber(RoundTo(ResidualNorm(ab, n, qr.x), digits));
  out.NewLine();
  const double cond_a = Cond2(qr.r, n, &work);
  const double cond_normal = Cond2(s, n, &work);
  out.Append("cond2(A) = ").AppendNumber(RoundTo(cond_a, digits)).NewLine();
  out.Append("cond2(AᵀA) = ").AppendNumber(RoundTo(cond_normal, digits));
  out.Append(" = cond2(A)²：法方程组把条件数平方了，QR 分解则不然。").NewLine();
}

WorkEstimate CurveFitWork(int m_points, int degree, int digits) {
  const double m = m_points;
  const double k = degree;
  const double printed = 2 * m + (k + 1) * (k + 2) + 2 * (k + 1);
  return {2 * MatrixBytes(m, 2) + 3 * MatrixBytes(k + 1, k + 2) + 32 * (m + k + 8),
          EntryBytes(printed) + (k + 8) * kHeadingBytes + (k + 1) * (kNumberBytes + 16),
          // The powers by repeated multiplication: about 2 m k² for the
          // sums of x^e and m k² / 2 for those of x^i·y; the elimination,
          // k³ / 3; the error and the chart's 201 samples.
          (2 * m * (k + 1) * (k + 1) + m * (k + 1) * (k + 1) / 2 + (k + 1) * (k + 1) * (k + 1) / 3 +
           (m + 201) * (k + 1)) *
                  kLoopNs +
              RoundingNs(printed, digits)};
}

namespace {

// x, x², x³, …: the power written with superscript digits.
std::string PowerOfX(int i) {
  static constexpr const char* kSuperscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  if (i == 1) return "x";
  std::string digits;
  for (int rest = i; rest > 0; rest /= 10) digits.insert(0, kSuperscripts[rest % 10]);
  return "x" + digits;
}

std::string PolynomialText(const Vector& a, int places) {
  std::string text = "p(x) = ";
  for (int i = 0; i < a.size(); ++i) {
    const double c = RoundTo(a(i + 1), places);
    if (i == 0) {
      text += FormatNumber(c);
    } else {
      text += c < 0 ? " − " : " + ";
      text += FormatNumber(std::fabs(c)) + "·" + PowerOfX(i);
    }
  }
  return text;
}

// The chart of the fit: the points, and the curve at 200 evenly spaced
// abscissas from the smallest x to the largest.
void RecordFit(ConvergenceLog& log, const Vector& a, const Vector& x, const Vector& y) {
  if (!log.enabled()) return;
  double low = x(1);
  double high = x(1);
  for (int p = 1; p <= x.size(); ++p) {
    log.Add(Quantity::kDataPoint, 0, x(p), y(p));
    low = std::min(low, x(p));
    high = std::max(high, x(p));
  }
  constexpr int kSamples = 200;
  for (int t = 0; t <= kSamples; ++t) {
    const double at = t == kSamples ? high : low + (high - low) * t / kSamples;
    log.Add(Quantity::kFittedCurve, 0, at, Polynomial(a, at));
  }
}

}  // namespace

Task<> CurveFitCommand(Frame& frame) {
  const TextShape shape = ShapeOfText(frame.text1());
  // The default is held in a variable of its own: no temporary lives
  // across the suspension at the box.
  const std::string points_default = shape.rows > 0 ? FormatNumber(shape.rows) : std::string();
  const std::optional<int> points =
      co_await frame.AskOrder("输入数据点的个数 m：", kInputTitle, points_default, 1);
  if (!points) co_return;
  const int m = *points;
  const std::optional<int> degree =
      co_await frame.AskOrder("输入拟合多项式的次数 k：", kInputTitle, "1", 0);
  if (!degree || *degree >= m) co_return;
  const int k = *degree;
  const bool refused = co_await frame.RefuseIfTooLarge(CurveFitWork(m, k, frame.digits()));
  if (refused) co_return;
  const int digits = frame.digits();
  Matrix read;
  frame.out().Clear();
  {
    UnitMeter reading(frame.progress(), kTextByteNs);
    ReadMatrix(read, m, 2, frame.text1(), &reading);
  }
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();
  AppendRows(out, read, m, 1, 2, "    ");
  out.NewLine().Append("以上是所要拟合的 ").AppendNumber(m).Append(" 个数据点 (xi, yi)，接下来求 ");
  out.AppendNumber(k).Append(" 次最小二乘拟合多项式：").NewLine();
  Vector x(m);
  Vector y(m);
  for (int p = 1; p <= m; ++p) x(p) = read(p, 1), y(p) = read(p, 2);
  const int distinct = DistinctCount(x);
  if (distinct <= k) {
    out.NewLine().Append("数据点中只有 ").AppendNumber(distinct).Append(" 个不同的 x，不足以确定 ");
    out.AppendNumber(k).Append(" 次拟合多项式。").NewLine();
    co_return;
  }
  UnitMeter work(frame.progress(), kLoopNs);
  const FitEquations f = FitNormalEquations(x, y, k, &work);
  out.NewLine().Append("法方程组 Σ xi^(r+s)·as = Σ xi^r·yi（r, s = 0..k）的增广矩阵：").NewLine();
  AppendMatrixBlock(out, f.g, 1, k + 1, k + 2, digits);
  const std::optional<Vector> a = SolveByElimination(f.g, k + 1, &work);
  if (!a) {
    AppendStop(out, "法方程组的系数矩阵奇异，拟合多项式不唯一。");
    co_return;
  }
  out.Append("法方程组的解：").NewLine();
  for (int i = 0; i <= k; ++i) {
    out.Append("    a").AppendNumber(i).Append(" = ").AppendNumber(RoundTo((*a)(i + 1), digits));
    out.NewLine();
  }
  out.NewLine().Append("拟合多项式：").NewLine().Append(PolynomialText(*a, digits)).NewLine();
  out.Append("平方误差 Σ (p(xi) − yi)² = ").AppendNumber(RoundTo(SquaredError(*a, x, y), digits));
  out.NewLine();
  RecordFit(frame.convergence(), *a, x, y);
}

}  // namespace matcalc
