// 追赶法: the tridiagonal system, forward (追) then back (赶).
#include <algorithm>
#include <optional>
#include <string>

#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/exact_solving.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The three diagonals and the right-hand side: a(i) = A(i,i-1) for i >= 2,
// b(i) = A(i,i), c(i) = A(i,i+1) for i < n, f(i) = column n+1.
template <typename T>
struct Diagonals {
  BasicVector<T> a, b, c, f;
};

template <typename T>
Diagonals<T> TakeDiagonals(const BasicMatrix<T>& read, int n) {
  Diagonals<T> t{BasicVector<T>(n), BasicVector<T>(n), BasicVector<T>(n), RightHandSideOf(read, n)};
  for (int i = 1; i <= n; ++i) {
    if (i > 1) t.a(i) = read(i, i - 1);
    t.b(i) = read(i, i);
    if (i < n) t.c(i) = read(i, i + 1);
  }
  return t;
}

// Whether an entry off the three diagonals is other than 0 (one that is not
// a number counts as 0, as in every zero test).
template <typename T>
bool HasEntriesOffTheBand(const BasicMatrix<T>& read, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if ((j < i - 1 || j > i + 1) && !CountsAsZero(read(i, j))) return true;
    }
  }
  return false;
}

template <typename T>
struct Chase {
  BasicVector<T> l, u, y;
  int zero_at = 0;  // the first u(k) that counts as zero; 0: none
};

// The forward sweep: u(1) = b(1), y(1) = f(1); l(i) = a(i) / u(i-1),
// u(i) = b(i) - l(i) c(i-1), y(i) = f(i) - l(i) y(i-1). Every u(k) divides:
// the sweep ends at the first that counts as zero. Each step's three
// updates are counted on `meter`.
template <typename T>
Chase<T> ChaseForward(const Diagonals<T>& t, int n, WorkMeter* meter) {
  Chase<T> s{BasicVector<T>(n), BasicVector<T>(n), BasicVector<T>(n)};
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
    Advance(meter, 3);
  }
  if (CountsAsZero(s.u(n))) s.zero_at = n;
  return s;
}

// The back sweep: x(n) = y(n) / u(n), x(i) = (y(i) - c(i) x(i+1)) / u(i).
template <typename T>
BasicVector<T> ChaseBack(const Diagonals<T>& t, const Chase<T>& s, int n, WorkMeter* meter) {
  BasicVector<T> x(n);
  x(n) = s.y(n) / s.u(n);
  for (int i = n - 1; i >= 1; --i) {
    x(i) = (s.y(i) - t.c(i) * x(i + 1)) / s.u(i);
    Advance(meter, 1);
  }
  return x;
}

// The trace from the augmented matrix as read, in doubles or in fractions;
// the sweeps' updates are counted at `update_ns` each.
template <typename T>
void SolveByChasing(Frame& frame, const BasicMatrix<T>& read, int n, int digits, double update_ns) {
  TraceBuffer& out = frame.out();
  AppendAugmentedOpening(out, read, n, "接下来输出追的过程：");

  // A comparison with 0 apiece, for fractions too.
  UnitMeter scan(frame.progress(), kLoopNs);
  if (HasEntriesOffTheBand(read, n)) {
    out.NewLine().Append("注意：系数矩阵不是三对角矩阵，追赶法只用三条对角线上的元素。");
    out.NewLine().NewLine();
  }
  Advance(&scan, static_cast<double>(n) * n);
  UnitMeter work(frame.progress(), update_ns);
  const Diagonals<T> t = TakeDiagonals(read, n);
  const Chase<T> s = ChaseForward(t, n, &work);
  if (s.zero_at != 0) {
    AppendStop(out, "u(" + FormatNumber(s.zero_at) + ") 为零，追赶法不适用。");
    return;
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
  CheckRange(watch, read, n, n + 1);
  CheckRange(watch, s.l, 2, n);
  CheckRange(watch, s.u, 1, n);
  CheckRange(watch, s.y, 1, n);
  // The solution block's own line break ends this line.
  out.Append("接下来输出赶的过程：");
  AppendSolution(out, "方程组的解：", ChaseBack(t, s, n, &work), digits, watch);
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

WorkEstimate ExactTridiagonalWork(const RationalMatrix& a, int n) {
  // The sweeps see only the band and b: every l, u, y and x is a quotient of
  // minors of the tridiagonal matrix beside b, bounded by Hadamard's
  // inequality on those rows alone (at most four entries each), not on the
  // whole matrix read. Step i of the forward sweep meets minors of rows
  // 1..i only, so its bound grows row by row; x meets the whole system's.
  const double m = n;
  WorkEstimate work;
  const auto add = [&work](const WorkEstimate& part) {
    work.bytes += part.bytes;
    work.trace_bytes += part.trace_bytes;
    work.nanoseconds += part.nanoseconds;
  };
  RationalMatrix row(1, 4);
  double bits = 0;
  double read_bits = 0;
  for (int i = 1; i <= n; ++i) {
    row(1, 1) = i > 1 ? a(i, i - 1) : Rational(0);
    row(1, 2) = a(i, i);
    row(1, 3) = i < n ? a(i, i + 1) : Rational(0);
    row(1, 4) = a(i, n + 1);
    bits += MinorBits(row, 1, 4);
    // l(i), u(i) and y(i): three updates, held and printed.
    add(ExactWork(bits, 3, 3, 3, 45));
    for (int j = 1; j <= n + 1; ++j) {
      read_bits = std::max(read_bits, static_cast<double>(RationalBits(a(i, j))));
    }
  }
  // x: an update and a line each.
  add(ExactWork(bits, m, m, m, 15 * m));
  // The matrix read, held and printed as it is, and searched for entries
  // off the band; the diagonals taken from it.
  add(ExactWork(read_bits / 2, 0, m * (m + 1) + 4 * m, m * (m + 1), 500));
  work.nanoseconds += m * m * kLoopNs;
  return work;
}

Task<> TridiagonalCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input = co_await OpenSquareMatrix(
      frame, SystemOrderBox(rows), &TridiagonalWork, &ExactTridiagonalWork, 1);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  if (input->exact) {
    SolveByChasing(frame, *input->exact, n, digits, kExactUpdateNs);
    co_return;
  }
  SolveByChasing(frame, input->read, n, digits, kLoopNs);
}

}  // namespace matcalc
