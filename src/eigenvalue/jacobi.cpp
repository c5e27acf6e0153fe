#include "eigenvalue/jacobi.h"

#include <algorithm>
#include <cmath>

#include "eigenvalue/commands.h"
#include "eigenvalue/eigen_common.h"
#include "eigenvalue/estimates.h"
#include "linalg/matrix_routines.h"
#include "linalg/readers.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

// The quarter turn is taken from a 15-digit pi, so with equal diagonal
// elements the rotation is a hair away from an exact 45 degrees and leaves a
// residue of about 1.6E-15 where the pivot was.
constexpr double kQuarterTurn = 3.14159265358979 / 4;

// Passes after which the method gives up: blocks 0 to 100 are printed.
constexpr int kLastPass = 100;

// Elements of the final matrix below this magnitude print as 0.
constexpr double kPrintedAsZero = 4.94065645841247e-20;

}  // namespace

WorkEstimate JacobiWork(int order, int /*digits*/) {
  const double n = order;
  const double passes = kLastPass + 1;
  // A, A1, R, I, V and the product of each pass.
  const double arrays = 6 * MatrixBytes(n, n);
  // The matrix as read; every pass prints A and R in fields with some 300
  // bytes of labels; the results print A and V again.
  const double trace =
      n * n * (4 + kNumberBytes) + 2 * n + (passes + 1) * (2 * n * (n * kFieldBytes + 2) + 300);
  // Each pass: the product V R with every entry rounded, the copies of A1 and
  // the identity, and the pivot search.
  const double nanoseconds =
      passes * (n * n * n * kProductNs + n * n * kRoundNs + 3 * n * n * kLoopNs);
  // Each block, the first included: the largest off-diagonal magnitude and
  // the diagonal.
  const double points = (passes + 1) * (n + 1);
  return {arrays, trace, nanoseconds, points};
}

JacobiRotation RotationFor(double app, double aqq, double apq) {
  JacobiRotation r;
  if (app == aqq) {
    const double theta = apq > 0 ? kQuarterTurn : -kQuarterTurn;
    r.s = std::sin(theta);
    r.c = std::cos(theta);
    r.s2 = std::sin(theta + theta);
    r.c2 = std::cos(theta + theta);
    return r;
  }
  const double t = 2 * apq / (app - aqq);
  const double t_squared = t * t;
  r.c2 = 1 / std::sqrt(t_squared + 1);
  r.c = std::sqrt((1 + r.c2) / 2);
  // A pivot tiny beside the difference of the diagonal gives a tangent whose
  // square underflows to 0; sin 2theta is then 0, the limit of the formula,
  // and there is nothing to divide by.
  r.s2 = t_squared == 0 ? 0 : 1 / std::sqrt(1 / t_squared + 1);
  if (t < 0) r.s2 = -r.s2;
  r.s = r.s2 / (2 * r.c);
  return r;
}

void RotateRowsAndColumns(const Matrix& a, Matrix& a1, int p, int q, const JacobiRotation& r) {
  const double s = r.s;
  const double c = r.c;
  const double app = a(p, p);
  const double aqq = a(q, q);
  const double apq = a(p, q);
  a1(p, p) = c * c * app + 2 * apq * s * c + s * s * aqq;
  a1(q, q) = s * s * app - 2 * apq * s * c + c * c * aqq;
  // Zero in exact arithmetic; the residue of rounding is kept, not cleared.
  a1(p, q) = (aqq - app) * r.s2 / 2 + r.c2 * apq;
  a1(q, p) = a1(p, q);
  const int n = a.rows();
  for (int j = 1; j <= n; ++j) {
    if (j == p || j == q) continue;
    // Rows p and q are read even left of the diagonal; the results are
    // written symmetrically, so an unsymmetric matrix is treated as the
    // symmetric one its upper rows p and q describe.
    a1(p, j) = c * a(p, j) + s * a(q, j);
    a1(j, p) = a1(p, j);
    a1(q, j) = -a(p, j) * s + c * a(q, j);
    a1(j, q) = a1(q, j);
  }
}

namespace {

// What converges after pass k (k = 0: the matrix as read): the largest
// magnitude above the diagonal, the pivot (p, q) found, or 0; the diagonal.
void RecordPass(Frame& frame, int k, const Matrix& a, int n, int p, int q) {
  frame.convergence().Add(Quantity::kOffDiagonal, 0, k, p == 0 ? 0.0 : std::fabs(a(p, q)));
  frame.convergence().AddDiagonal(k, a, n);
}

}  // namespace

Task<> JacobiCommand(Frame& frame) {
  const std::optional<int> order = co_await frame.AskOrder(kOrderPrompt, kInputTitle, "3", 2);
  if (!order) co_return;
  const int n = *order;
  const bool refused = co_await frame.RefuseIfTooLarge(JacobiWork(n, frame.digits()));
  if (refused) co_return;

  Matrix a;
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadMatrix(a, n, TrimSpaces(frame.text1()), &reading);
  const Matrix identity = IdentityMatrix(n);
  Matrix r = identity;
  Matrix v = identity;
  Matrix a1 = a;
  const std::optional<double> eps = co_await AskPrecision(frame, 0.001);
  if (!eps) co_return;

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵").NewLine();

  int k = 0;
  int p = n;
  int q = n;
  FindLargestOffDiagonal(a, p, q);
  RecordPass(frame, k, a, n, p, q);
  // A matrix already diagonal needs no rotation at all.
  bool converged = p == 0;
  UnitMeter product(frame.progress(), kProductNs);
  while (!converged) {
    const JacobiRotation rotation = RotationFor(a(p, p), a(q, q), a(p, q));
    r(p, p) = rotation.c;
    r(q, q) = rotation.c;
    r(p, q) = -rotation.s;
    r(q, p) = rotation.s;
    RotateRowsAndColumns(a, a1, p, q, rotation);
    v = MultiplyMatrices(v, r, n, n, n, frame.digits(), &product);

    out.NewLine().Append("第 ").AppendNumber(k).Append(" 次正交相似变换的矩阵A1：").NewLine();
    AppendMatrixFields(out, a, n);
    out.NewLine().Append("主元行p、列q下标为： p=").AppendNumber(p).Append("  q=").AppendNumber(q);
    out.Append("  并且sin0=").AppendNumber(rotation.s).Append("    cos0=").AppendNumber(rotation.c);
    out.NewLine().NewLine().Append("    正交矩阵R是：").NewLine();
    AppendMatrixFields(out, r, n);

    r = identity;
    a = a1;
    ++k;
    p = n;
    q = n;
    FindLargestOffDiagonal(a, p, q);
    RecordPass(frame, k, a, n, p, q);
    // A pass that leaves the matrix exactly diagonal has converged too, even
    // with eps <= 0 and even on the last pass allowed.
    converged = p == 0 || std::fabs(a(p, q)) < *eps;
    if (!converged && k > kLastPass) {
      const bool keep = co_await KeepTraceAfterGivingUp(frame, kGiveUpText);
      if (!keep) {
        out.Clear();
        co_return;
      }
      out.NewLine().NewLine().Append("此方法不适合这个矩阵，计算被迫终止。");
      break;
    }
  }

  out.NewLine().NewLine().Append("以下矩阵中对角线元素即为所求的特征值：").NewLine();
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const double x = a(i, j);
      out.AppendField24(std::fabs(x) < kPrintedAsZero ? 0.0 : x);
    }
    out.NewLine();
  }
  out.NewLine().Append("    以下矩阵中列向量即为所求的特征向量（R1*R2*......*Rn）：").NewLine();
  AppendMatrixFields(out, v, n);
  out.NewLine().NewLine().Append("此方法只适合于对称矩阵！  编程算法有待进一步完善。").NewLine();
}

void FindLargestOffDiagonal(const Matrix& a, int& p, int& q) {
  const int rows = std::min(p, a.rows());
  const int cols = std::min(q, a.cols());
  double best = 0;
  int best_row = 0;
  int best_col = 0;
  for (int i = 1; i <= rows; ++i) {
    const double* arow = a.row(i);
    for (int j = i + 1; j <= cols; ++j) {
      const double magnitude = std::fabs(arow[j]);
      if (magnitude > best) {
        best = magnitude;
        best_row = i;
        best_col = j;
      }
    }
  }
  p = best_row;
  q = best_col;
}

}  // namespace matcalc
