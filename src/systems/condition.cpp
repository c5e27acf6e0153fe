// 条件数: the inverse by Gauss-Jordan elimination and the 1-, 2- and
// infinity-condition numbers.
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "direct/linear_routines.h"
#include "direct/singular_values.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/solver_routines.h"
#include "systems/system_trace.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

constexpr std::string_view kSingularText = "矩阵奇异，条件数为无穷大。";
// More places than a double holds: RoundTo leaves the value as it is.
constexpr int kNotRounded = 16;

// The inverse of the n x n matrix `a` by Gauss-Jordan elimination on the
// matrix augmented by the identity, with row pivoting (strictly larger
// magnitudes only) and nothing rounded. Nothing when a pivot counts as zero.
// The entries updated are counted on `meter`.
std::optional<Matrix> GaussJordanInverse(const Matrix& a, int n, WorkMeter* meter) {
  Matrix b(n, 2 * n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b(i, j) = a(i, j);
    b(i, n + i) = 1.0;
  }
  if (!GaussJordanInvert(b, n, kNotRounded, ZeroPivot::kStop, meter)) return std::nullopt;
  Matrix inverse(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) inverse(i, j) = b(i, n + j);
  }
  return inverse;
}

// The exponent e that brings the largest magnitude among rows and columns
// 1..n of `m` into [1/2, 1) when divided by 2^e; 0 when every entry is 0 or
// one is not finite, which no scaling helps.
int ScaleExponent(const Matrix& m, int n) {
  double largest = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      const double value = std::fabs(m(i, j));
      if (!std::isfinite(value)) return 0;
      if (largest < value) largest = value;
    }
  }
  int exponent = 0;
  if (largest != 0) std::frexp(largest, &exponent);
  return exponent;
}

// m times 2^exponent, entry by entry: exact unless an entry leaves the
// range of a double.
Matrix Scaled(const Matrix& m, int n, int exponent) {
  Matrix scaled(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) scaled(i, j) = std::ldexp(m(i, j), exponent);
  }
  return scaled;
}

// norm(a) times norm(b), each norm taken of its matrix scaled to entries
// below 1 and the scalings put back on the product only: the product is
// infinite only when its value is beyond the largest double, whatever the
// norms themselves are.
double NormProduct(double (*norm)(const Matrix&, int), const Matrix& a, const Matrix& b, int n) {
  const int ea = ScaleExponent(a, n);
  const int eb = ScaleExponent(b, n);
  return std::ldexp(norm(Scaled(a, n, -ea), n) * norm(Scaled(b, n, -eb), n), ea + eb);
}

}  // namespace

WorkEstimate ConditionWork(int order, int digits) {
  const double n = order;
  // Gauss-Jordan on n x 2n: about 1.5 n^3 updates; the bidiagonal reduction
  // of the singular values about 4/3 n^3 multiply-adds on a copy of its own.
  return {
      MatrixBytes(n, n + 1) + 6 * MatrixBytes(n, n) + MatrixBytes(n, 2 * n) +
          10 * MatrixBytes(n, 1),
      TraceBytes(2 * n * n, 600) + 3 * kNumberBytes,
      1.5 * n * n * n * kLoopNs + 4.0 / 3 * n * n * n * kLoopNs + RoundingNs(n * n + 3, digits)};
}

Task<> ConditionCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input =
      co_await OpenSquareMatrix(frame, SystemOrderBox(rows, kOrderPrompt), &ConditionWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  const Matrix a = LeadingSquare(input->read, n);
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出它的逆矩阵：").NewLine();

  UnitMeter work(frame.progress(), kLoopNs);
  // The inverse of A scaled by a power of two to entries below 1: neither
  // tiny nor huge entries make it overflow on the way. Scaled back, it is
  // the inverse of A itself, bit for bit, wherever its entries are within
  // the range of a double. The condition numbers, which no scaling changes,
  // are taken of the scaled pair.
  const int exponent = ScaleExponent(a, n);
  const Matrix scaled = Scaled(a, n, -exponent);
  const std::optional<Matrix> scaled_inverse = GaussJordanInverse(scaled, n, &work);
  if (!scaled_inverse) {
    AppendStop(out, kSingularText);
    co_return;
  }
  // A matrix with an entry that is not finite has no singular values to
  // speak of: they come back as NaN, which counts as singular here too.
  const SingularValueRange sigma = ExtremeSingularValues(a, n, &work);
  if (sigma.singular || std::isnan(sigma.ratio)) {
    AppendStop(out, kSingularText);
    co_return;
  }
  AppendRows(out, Scaled(*scaled_inverse, n, -exponent), n, 1, n, "    ", digits);
  const auto value = [digits](double v) { return RoundTo(v, digits); };
  out.NewLine().Append("矩阵的1-条件数 cond1(A) = ‖A‖1·‖A⁻¹‖1 = ");
  out.AppendNumber(value(NormProduct(&OneNorm, scaled, *scaled_inverse, n))).NewLine();
  out.Append("矩阵的2-条件数 cond2(A) = σmax/σmin = ");
  out.AppendNumber(value(sigma.ratio)).NewLine();
  out.Append("矩阵的∞-条件数 cond∞(A) = ‖A‖∞·‖A⁻¹‖∞ = ");
  out.AppendNumber(value(NormProduct(&InfinityNorm, scaled, *scaled_inverse, n))).NewLine();
}

}  // namespace matcalc
