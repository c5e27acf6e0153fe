// 追赶法: the tridiagonal system, forward (追) then back (赶).
#include <optional>
#include <string>

#include "direct/linear_routines.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The three diagonals and the right-hand side: a(i) = A(i,i-1) for i >= 2,
// b(i) = A(i,i), c(i) = A(i,i+1) for i < n, f(i) = column n+1.
struct Diagonals {
  Vector a, b, c, f;
};

Diagonals TakeDiagonals(const Matrix& read, int n) {
  Diagonals t{Vector(n), Vector(n), Vector(n), RightHandSide(read, n)};
  for (int i = 1; i <= n; ++i) {
    if (i > 1) t.a(i) = read(i, i - 1);
    t.b(i) = read(i, i);
    if (i < n) t.c(i) = read(i, i + 1);
  }
  return t;
}

// Whether an entry off the three diagonals is other than 0 (one that is not
// a number counts as 0, as in every zero test).
bool HasEntriesOffTheBand(const Matrix& read, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if ((j < i - 1 || j > i + 1) && !CountsAsZero(read(i, j))) return true;
    }
  }
  return false;
}

struct Chase {
  Vector l, u, y;
  int zero_at = 0;  // the first u(k) that counts as zero; 0: none
};

// The forward sweep: u(1) = b(1), y(1) = f(1); l(i) = a(i) / u(i-1),
// u(i) = b(i) - l(i) c(i-1), y(i) = f(i) - l(i) y(i-1). Every u(k) divides:
// the sweep ends at the first that counts as zero.
Chase ChaseForward(const Diagonals& t, int n) {
  Chase s{Vector(n), Vector(n), Vector(n)};
  s.u(1) = t.b(1);
  s.y(1) = t.f(1);
  for (int i = 2; i <= n; ++i) {
    if (CountsAsZero(s.u(i - 1))) {
      s.zero_at = i - 1;
      return s;
    }
    s.l(i) = t.a(i) / s.u(i - 1);
    s.u(i) = t.b(i) - s.l(i) * t.c(i - 1);
    s.y(i) = t.f(i) - s.l(i) * s.y(i - 1);
  }
  if (CountsAsZero(s.u(n))) s.zero_at = n;
  return s;
}

// The back sweep: x(n) = y(n) / u(n), x(i) = (y(i) - c(i) x(i+1)) / u(i).
Vector ChaseBack(const Diagonals& t, const Chase& s, int n) {
  Vector x(n);
  x(n) = s.y(n) / s.u(n);
  for (int i = n - 1; i >= 1; --i) x(i) = (s.y(i) - t.c(i) * x(i + 1)) / s.u(i);
  return x;
}

}  // namespace

WorkEstimate TridiagonalWork(int order, int digits) {
  const double n = order;
  // Linear in n but for the matrix as read, which is printed and searched
  // for entries off the band.
  return {MatrixBytes(n, n + 1) + 10 * MatrixBytes(n, 1),
          TraceBytes(n * (n + 1), 500) + NamedValueBytes(4 * n),
          n * n * kLoopNs + 10 * n * kLoopNs + RoundingNs(4 * n, digits)};
}

Task<> TridiagonalCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows), &TridiagonalWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, input->read, n, "接下来输出追的过程：");

  UnitMeter work(frame.progress(), kLoopNs);
  if (HasEntriesOffTheBand(input->read, n)) {
    out.NewLine().Append("注意：系数矩阵不是三对角矩阵，追赶法只用三条对角线上的元素。");
    out.NewLine().NewLine();
  }
  Advance(&work, static_cast<double>(n) * n);
  const Diagonals t = TakeDiagonals(input->read, n);
  const Chase s = ChaseForward(t, n);
  if (s.zero_at != 0) {
    AppendStop(out, "u(" + FormatNumber(s.zero_at) + ") 为零，追赶法不适用。");
    co_return;
  }
  // Each group is followed by an empty line; l starts at l2, so for n = 1
  // there is no group of l at all.
  if (n > 1) {
    AppendNamedValues(out, "l", s.l, 2, n, digits);
    out.NewLine();
  }
  AppendNamedValues(out, "u", s.u, 1, n, digits);
  out.NewLine();
  AppendNamedValues(out, "y", s.y, 1, n, digits);
  out.NewLine();
  RangeWatch watch;
  watch.Check(input->read, n, n + 1);
  watch.Check(s.l, 2, n);
  watch.Check(s.u);
  watch.Check(s.y);
  // The solution block's own line break ends this line.
  out.Append("接下来输出赶的过程：");
  AppendSolution(out, "方程组的解：", ChaseBack(t, s, n), digits, watch);
}

}  // namespace matcalc
