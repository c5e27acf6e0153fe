#include "direct/commands.h"

#include <cmath>
#include <optional>
#include <string>

#include "direct/estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "frame/budget.h"
#include "linalg/readers.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

namespace {

// The vector norms' needs, known exactly once the vector is read: the
// components printed after four spaces and the three norm lines.
WorkEstimate VectorNormsWork(const Vector& v) {
  const double m = v.size();
  double trace = 256;
  for (int i = 1; i <= v.size(); ++i) trace += 4 + static_cast<double>(FormatNumber(v(i)).size());
  return {(m + 1) * sizeof(double), trace, trace * kTraceByteNs + 4 * m * kLoopNs};
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
  TraceBuffer& out = frame.out();
  out.Clear();  // also when the text holds no vector at all
  const int m = v.size();
  if (m <= 0) co_return;

  double s1 = 0;
  for (int i = 1; i <= m; ++i) s1 += std::fabs(v(i));
  for (int i = 1; i <= m; ++i) out.Append("    ").AppendNumber(v(i));
  out.NewLine().Append("以上是所要求解的向量，接下来输出向量的范数").NewLine().NewLine();
  out.Append("向量的1范数为： ").AppendNumber(s1);

  double s2 = 0;
  for (int i = 1; i <= m; ++i) s2 += v(i) * v(i);
  out.NewLine().Append("向量的2范数为： ").AppendNumber(RoundTo(std::sqrt(s2), frame.digits()));

  double largest = std::fabs(v(1));
  for (int i = 2; i <= m; ++i) {
    if (std::fabs(v(i)) > largest) largest = std::fabs(v(i));
  }
  out.NewLine().Append("向量的无穷范数为： ").AppendNumber(largest).NewLine();
}

WorkEstimate MatrixNormsWork(int order, int /*digits*/) {
  const double n = order;
  // The bidiagonal reduction of the singular values: about 4/3 n^3
  // multiply-adds on a copy of its own.
  return {MatrixBytes(n, n + 1) + 3 * MatrixBytes(n, n), TraceBytes(n * n, 400),
          4.0 / 3 * n * n * n * kLoopNs};
}

Task<> MatrixNorms(Frame& frame) {
  // The one order box that asks for the order of an "array".
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, {"输入数组的阶数 n：", "输入数据", {}}, &MatrixNormsWork);
  if (!input) co_return;
  const int n = input->n;
  TraceBuffer& out = frame.out();
  const Matrix a = LeadingSquare(input->read, n);
  const int digits = frame.digits();

  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出矩阵的范数").NewLine().NewLine();

  const double one_norm = OneNorm(a, n);
  out.Append("矩阵的1范数为： ").AppendNumber(one_norm).NewLine().NewLine();

  // The largest singular value itself: a fixed number of power-iteration
  // passes can settle on the wrong value (3 instead of 5 for diag(3, -5)).
  UnitMeter work(frame.progress(), kLoopNs);
  out.Append("矩阵的2范数为(参考值)： ").AppendNumber(RoundTo(SpectralNorm(a, n, &work), digits));
  out.NewLine().NewLine();

  double squares = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) squares += a(i, j) * a(i, j);
  }
  out.Append("矩阵的F范数为： ").AppendNumber(RoundTo(std::sqrt(squares), digits));
  out.NewLine().NewLine();

  const double infinity_norm = InfinityNorm(a, n);
  out.Append("矩阵的无穷范数为： ").AppendNumber(infinity_norm).NewLine().NewLine();
}

}  // namespace matcalc
