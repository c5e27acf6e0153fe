// 条件数: the inverse by Gauss-Jordan elimination and the 1-, 2- and
// infinity-condition numbers.
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "direct/elimination.h"
#include "direct/exact_estimates.h"
#include "direct/linear_routines.h"
#include "direct/singular_values.h"
#include "systems/commands.h"
#include "systems/direct_estimates.h"
#include "systems/exact_solving.h"
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

// The 1-norm and the infinity-norm of fractions: the largest column and row
// sum of magnitudes, exactly.
Rational OneNormOf(const RationalMatrix& a, int n, int first) {
  Rational largest = 0;
  for (int j = first; j < first + n; ++j) {
    Rational sum = 0;
    for (int i = 1; i <= n; ++i) sum += abs(a(i, j));
    if (largest < sum) largest = sum;
  }
  return largest;
}

Rational InfinityNormOf(const RationalMatrix& a, int n, int first) {
  Rational largest = 0;
  for (int i = 1; i <= n; ++i) {
    Rational sum = 0;
    for (int j = first; j < first + n; ++j) sum += abs(a(i, j));
    if (largest < sum) largest = sum;
  }
  return largest;
}

// The exact mode: the inverse by the same elimination in fractions, cond1
// and cond∞ from it exactly; cond2 needs square roots and is taken, in
// decimals, of the matrix as the decimal mode reads it.
void ConditionExact(Frame& frame, const RationalMatrix& exact, const Matrix& read, int n,
                    int digits) {
  TraceBuffer& out = frame.out();
  RationalMatrix b(n, 2 * n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b(i, j) = exact(i, j);
    b(i, n + i) = 1;
  }
  AppendRows(out, b, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出它的逆矩阵：").NewLine();
  UnitMeter updates(frame.progress(), kExactUpdateNs);
  // Fractions have no rounding: a pivot that is 0 is 0, and A is singular.
  if (!GaussJordanInvertOf(b, n, 0, ZeroPivot::kStop, &updates)) {
    AppendStop(out, kSingularText);
    return;
  }
  const Matrix a = LeadingSquare(read, n);
  UnitMeter work(frame.progress(), kLoopNs);
  const SingularValueRange sigma = ExtremeSingularValues(a, n, &work);
  double cond2 = sigma.ratio;
  if (sigma.singular || !std::isfinite(cond2)) {
    // A is not singular (its inverse is exact), yet its doubles are, or
    // nearly so: σmax/σmin is then σmax(A)·σmax(A⁻¹), the inverse's largest
    // singular value taken of its own doubles.
    Matrix inverse(n, n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) inverse(i, j) = RationalToDouble(b(i, n + j));
    }
    cond2 = SpectralNorm(a, n, &work) * SpectralNorm(inverse, n, &work);
  }
  AppendRows(out, b, n, n + 1, 2 * n, "    ");
  out.NewLine().Append("矩阵的1-条件数 cond1(A) = ‖A‖1·‖A⁻¹‖1 = ");
  AppendValue(out, OneNormOf(exact, n, 1) * OneNormOf(b, n, n + 1)).NewLine();
  out.Append("矩阵的2-条件数 cond2(A) = σmax/σmin = ");
  out.AppendNumber(RoundTo(cond2, digits)).NewLine();
  out.Append("矩阵的∞-条件数 cond∞(A) = ‖A‖∞·‖A⁻¹‖∞ = ");
  AppendValue(out, InfinityNormOf(exact, n, 1) * InfinityNormOf(b, n, n + 1)).NewLine();
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

WorkEstimate ExactConditionWork(const RationalMatrix& a, int n) {
  // The exact inverse as the inverse command's, printed with A only; the
  // singular values in doubles as in the decimal mode.
  const double bits = MinorBits(a, n);
  const double m = n;
  WorkEstimate work = ExactWork(bits, 1.5 * m * m * m, m * (3 * m + 2), 2 * m * m + 2, 600);
  work.bytes += 8 * MatrixBytes(m, m) + 10 * MatrixBytes(m, 1);
  work.nanoseconds += 2 * 4.0 / 3 * m * m * m * kLoopNs;
  return work;
}

Task<> ConditionCommand(Frame& frame) {
  const std::string rows = OrderOfText(frame.text1());
  const std::optional<SquareMatrixText> input = co_await OpenSquareMatrix(
      frame, SystemOrderBox(rows, kOrderPrompt), &ConditionWork, &ExactConditionWork);
  if (!input) co_return;
  const int n = input->n;
  const int digits = frame.digits();
  if (input->exact) {
    ConditionExact(frame, *input->exact, input->read, n, digits);
    co_return;
  }
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
