#include "direct/commands.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "direct/estimates.h"
#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "frame/budget.h"
#include "frame/exact_layout.h"
#include "linalg/readers.h"
#include "text/number_text.h"
#include "text/text_util.h"

// In the exact mode the 1- and infinity-norms are sums and comparisons of
// the fractions read, printed exactly. The 2-norm and the F-norm need a
// square root: their lines are the decimal mode's, computed from the
// doubles read, and no note is written for them (the rest of the trace is
// exact; a note would say the opposite).

namespace matcalc {

namespace {

// A norm or a component as read: the decimal mode's default text,
// unrounded, or the fraction.
TraceBuffer& AppendValueAsRead(TraceBuffer& out, double x) { return out.AppendNumber(x); }
TraceBuffer& AppendValueAsRead(TraceBuffer& out, const Rational& x) { return AppendValue(out, x); }

}  // namespace

// The vector norms' needs, known exactly once the vector is read: the
// components printed after four spaces and the three norm lines.
WorkEstimate VectorNormsWork(const Vector& v) {
  const double m = v.size();
  double trace = 256;
  for (int i = 1; i <= v.size(); ++i) trace += 4 + static_cast<double>(FormatNumber(v(i)).size());
  return {(m + 1) * sizeof(double), trace, trace * kTraceByteNs + 4 * m * kLoopNs};
}

// The exact mode reads the vector a second time, into fractions and doubles
// beside the doubles read first: they must fit before they are read.
WorkEstimate ExactVectorReadingWork(const Vector& v) {
  const double m = v.size();
  return {(m + 1) * (2 * sizeof(double) + sizeof(Rational)), 0, 2 * m * kExactUpdateNs};
}

// The exact vector norms: m additions and m comparisons of fractions as long
// as the sum, the components and two norms printed exactly, and the 2-norm's
// decimal squares beside them.
WorkEstimate ExactVectorNormsWork(const RationalVector& v) {
  const double m = v.size();
  const double bits = SumBits(v);
  WorkEstimate work = ExactWork(bits, 2 * m, m + 3, m + 2, 256);
  work.bytes += (m + 1) * 2 * sizeof(double);
  work.nanoseconds += 2 * m * kLoopNs;
  return work;
}

namespace {

// The vector's trace over its components as read, decimals or fractions;
// `doubles` gives the 2-norm in both modes.
template <typename T>
void TraceVectorNorms(Frame& frame, const BasicVector<T>& v, const Vector& doubles,
                      double update_ns) {
  TraceBuffer& out = frame.out();
  const int m = v.size();
  UnitMeter additions(frame.progress(), update_ns);
  T s1 = 0;
  for (int i = 1; i <= m; ++i) {
    s1 = s1 + Magnitude(v(i));
    Advance(&additions, 1);
  }
  for (int i = 1; i <= m; ++i) AppendValueAsRead(out.Append("    "), v(i));
  out.NewLine().Append("以上是所要求解的向量，接下来输出向量的范数").NewLine().NewLine();
  AppendValueAsRead(out.Append("向量的1范数为： "), s1);

  double s2 = 0;
  for (int i = 1; i <= m; ++i) s2 += doubles(i) * doubles(i);
  out.NewLine().Append("向量的2范数为： ").AppendNumber(RoundTo(std::sqrt(s2), frame.digits()));

  T largest = Magnitude(v(1));
  for (int i = 2; i <= m; ++i) {
    if (Magnitude(v(i)) > largest) largest = Magnitude(v(i));
    Advance(&additions, 1);
  }
  AppendValueAsRead(out.NewLine().Append("向量的无穷范数为： "), largest);
  out.NewLine();
}

}  // namespace

Task<> VectorNorms(Frame& frame) {
  Vector v;
  ReadVector(TrimSpaces(frame.text1()), v);  // read in place: no copy of the text
  // The vector's length is its order, given by the text alone: a trace that
  // cannot be held is a text too large, refused with both panes as they
  // were.
  const bool refused = co_await frame.RefuseIfTooLarge(VectorNormsWork(v), true);
  if (refused) co_return;
  std::optional<RationalVector> exact;
  bool all_exact = true;
  if (frame.exact() && v.size() > 0) {
    const bool too_large = co_await frame.RefuseIfTooLarge(ExactVectorReadingWork(v), true);
    if (too_large) co_return;
    RationalVector fractions;
    Vector again;
    all_exact = ReadVectorExact(TrimSpaces(frame.text1()), again, fractions);
    if (all_exact) {
      const bool too_long = co_await frame.RefuseIfNumbersTooLong(ExactVectorNormsWork(fractions));
      if (too_long) co_return;
      exact = std::move(fractions);
    }
  }
  TraceBuffer& out = frame.out();
  out.Clear();  // also when the text holds no vector at all
  if (v.size() <= 0) co_return;
  if (exact) {
    TraceVectorNorms(frame, *exact, v, kExactUpdateNs);
    co_return;
  }
  if (!all_exact) out.Append(kNotExactNote).NewLine();
  TraceVectorNorms(frame, v, v, kLoopNs);
}

WorkEstimate MatrixNormsWork(int order, int /*digits*/) {
  const double n = order;
  // The bidiagonal reduction of the singular values: about 4/3 n^3
  // multiply-adds on a copy of its own.
  return {MatrixBytes(n, n + 1) + 3 * MatrixBytes(n, n), TraceBytes(n * n, 400),
          4.0 / 3 * n * n * n * kLoopNs};
}

// The exact matrix norms: the column and row sums, 2 n^2 additions of
// fractions as long as the longest sum, with the decimal 2-norm and F-norm
// beside them.
WorkEstimate ExactMatrixNormsWork(const RationalMatrix& a, int n) {
  const double m = n;
  const double updates = 2 * m * m;
  const double bits = std::max(LineSumBits(a, n, true), LineSumBits(a, n, false));
  WorkEstimate work = ExactWork(bits, updates, m * (m + 1) + 2 * m + 2, m * m + 2, 400);
  const WorkEstimate decimal = MatrixNormsWork(n, 0);
  work.bytes += decimal.bytes;
  work.nanoseconds += decimal.nanoseconds;
  return work;
}

namespace {

// The matrix's trace over its entries as read (columns 1..n), decimals or
// fractions; `doubles` gives the 2-norm and the F-norm in both modes.
template <typename T>
void TraceMatrixNorms(Frame& frame, const BasicMatrix<T>& a, const Matrix& doubles, int n,
                      double update_ns) {
  TraceBuffer& out = frame.out();
  const int digits = frame.digits();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出矩阵的范数").NewLine().NewLine();

  UnitMeter additions(frame.progress(), update_ns);
  const T one_norm = OneNormOf(a, n, &additions);
  AppendValueAsRead(out.Append("矩阵的1范数为： "), one_norm).NewLine().NewLine();

  // The largest singular value itself: a fixed number of power-iteration
  // passes can settle on the wrong value (3 instead of 5 for diag(3, -5)).
  UnitMeter work(frame.progress(), kLoopNs);
  out.Append("矩阵的2范数为(参考值)： ")
      .AppendNumber(RoundTo(SpectralNorm(doubles, n, &work), digits));
  out.NewLine().NewLine();

  double squares = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) squares += doubles(i, j) * doubles(i, j);
  }
  out.Append("矩阵的F范数为： ").AppendNumber(RoundTo(std::sqrt(squares), digits));
  out.NewLine().NewLine();

  const T infinity_norm = InfinityNormOf(a, n, &additions);
  AppendValueAsRead(out.Append("矩阵的无穷范数为： "), infinity_norm).NewLine().NewLine();
}

}  // namespace

Task<> MatrixNorms(Frame& frame) {
  // The one order box that asks for the order of an "array".
  const std::optional<SquareMatrixText> input = co_await OpenSquareMatrix(
      frame, {"输入数组的阶数 n：", "输入数据", {}}, &MatrixNormsWork, &ExactMatrixNormsWork);
  if (!input) co_return;
  const int n = input->n;
  const Matrix a = LeadingSquare(input->read, n);
  if (input->exact) {
    TraceMatrixNorms(frame, *input->exact, a, n, kExactUpdateNs);
    co_return;
  }
  TraceMatrixNorms(frame, a, a, n, kLoopNs);
}

}  // namespace matcalc
