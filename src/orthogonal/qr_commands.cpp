// 豪斯霍尔德变换求 QR 分解, 吉文斯变换求 QR 分解 and 施密特正交化.
#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

#include "direct/exact_estimates.h"
#include "frame/budget.h"
#include "frame/exact_layout.h"
#include "frame/trace_layout.h"
#include "linalg/scalar.h"
#include "matrices/opening.h"
#include "orthogonal/commands.h"
#include "orthogonal/estimates.h"
#include "orthogonal/orthogonal_trace.h"
#include "orthogonal/qr_routines.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// The matrix as read, unrounded, and the line under it.
void AppendOpening(TraceBuffer& out, const ShapedMatrix& input, std::string_view continuation) {
  AppendRows(out, input.read, input.m, 1, input.n, "    ");
  out.NewLine().Append("以上是所要").Append(continuation).NewLine();
}

// A QR decomposition needs at least as many rows as columns.
bool RefuseWideMatrix(TraceBuffer& out, int m, int n) {
  if (m >= n) return false;
  out.NewLine().Append("行数 m = ").AppendNumber(m).Append(" 小于列数 n = ").AppendNumber(n);
  out.Append("，QR 分解要求 m ≥ n。").NewLine();
  return true;
}

std::string Shape(int m, int n) { return FormatNumber(m) + " × " + FormatNumber(n); }

}  // namespace

WorkEstimate HouseholderQrWork(int m_rows, int n_cols, int digits) {
  const double m = m_rows;
  const double n = n_cols;
  const double steps = std::max(std::min(m - 1, n), 0.0);
  const double printed = steps * (m * n + m) + 2 * m * n + m * m;
  return {
      3 * MatrixBytes(m, n) + MatrixBytes(m, m) + steps * 8 * (m + 1),
      EntryBytes(printed) + (steps + 8) * kHeadingBytes,
      (steps * 4 * m * n + steps * 4 * m * m + m * m * n) * kLoopNs + RoundingNs(printed, digits)};
}

Task<> HouseholderQrCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, &HouseholderQrWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();
  AppendOpening(
      out, *input,
      "分解的 " + Shape(m, n) + " 矩阵 A，接下来用豪斯霍尔德变换 H = I − 2vvᵀ/(vᵀv) 求 A = QR：");
  if (RefuseWideMatrix(out, m, n)) co_return;

  UnitMeter work(frame.progress(), kLoopNs);
  Matrix r = input->read;
  std::vector<Reflector> steps;
  for (int k = 1; k <= HouseholderSteps(m, n); ++k) {
    steps.push_back(HouseholderStep(r, k, &work));
    const std::string name = k == 1   ? std::string("H1·A")
                             : k == 2 ? std::string("H2·H1·A")
                                      : "H" + FormatNumber(k) + "·…·H1·A";
    AppendReflectorStep(out, k, steps.back(), name, r, digits);
  }
  const Matrix q = AccumulateReflectors(steps, m, &work);
  std::string q_name = "Q = H1";
  for (int k = 2; k <= static_cast<int>(steps.size()); ++k) q_name += "·H" + FormatNumber(k);
  if (steps.empty()) q_name = "Q = I";
  AppendFactors(out, input->read, q, q_name, r, digits);
}

WorkEstimate GivensQrWork(int m_rows, int n_cols, int digits) {
  const double m = m_rows;
  const double n = n_cols;
  const double rotations = std::max(m * n - n * (n + 1) / 2, 0.0);
  const double printed = rotations * m * n + 2 * m * n + m * m;
  return {3 * MatrixBytes(m, n) + MatrixBytes(m, m),
          EntryBytes(printed) + (rotations + 8) * kHeadingBytes,
          rotations * 4 * (m + n) * kLoopNs + m * m * n * kLoopNs +
              RoundingNs(printed + 2 * rotations, digits)};
}

Task<> GivensQrCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, &GivensQrWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();
  AppendOpening(
      out, *input,
      "分解的 " + Shape(m, n) + " 矩阵 A，接下来用吉文斯变换逐个消去对角线以下的元素求 A = QR：");
  if (RefuseWideMatrix(out, m, n)) co_return;

  UnitMeter work(frame.progress(), kLoopNs);
  Matrix r = input->read;
  Matrix q(m, m);
  for (int i = 1; i <= m; ++i) q(i, i) = 1;
  for (int j = 1; j <= n; ++j) {
    for (int i = j + 1; i <= m; ++i) {
      if (r(i, j) == 0) continue;
      const Rotation g = RotationOf(r(j, j), r(i, j));
      RotateRows(r, j, i, g);
      r(i, j) = 0;  // what the rotation makes it, up to rounding
      RotateColumns(q, j, i, g);
      Advance(&work, 4.0 * (n + m));
      out.NewLine().Append("G(").AppendNumber(j).Append(",").AppendNumber(i).Append(")：c = ");
      out.AppendNumber(RoundTo(g.c, digits)).Append("，s = ").AppendNumber(RoundTo(g.s, digits));
      out.NewLine();
      AppendMatrixBlock(out, r, 1, m, n, digits);
    }
  }
  AppendFactors(out, input->read, q, "Q = G1ᵀ·G2ᵀ·…", r, digits);
}

WorkEstimate GramSchmidtWork(int m_rows, int n_cols, int digits) {
  const double m = m_rows;
  const double n = n_cols;
  // Each β (m), its coefficients (up to n) and norm; each e; Q and R.
  const double printed = n * (m + n + 1) + n * m + m * n + n * n;
  return {3 * MatrixBytes(m, n) + n * 8 * (2 * m + n + 8) + MatrixBytes(n, n),
          EntryBytes(printed) + (n * n + 3 * n + 8) * kHeadingBytes,
          (2 * n * n * m + n * n * m) * kLoopNs + RoundingNs(printed, digits)};
}

namespace {

// The bits of the exact β_k and coefficients. With each column a_j scaled to
// integers by the lcm s_j of its denominators, β_k times the Gram
// determinant of a_1..a_{k-1} is a vector of integers, every (β_k, β_k) a
// quotient of two Gram determinants and every coefficient one of such
// quotients times s_j/s_k; Hadamard's bound gives each Gram determinant at
// most the product of the squared norms of the scaled columns.
double GramBits(const RationalMatrix& a, int m, int n) {
  const auto log2 = [](const BigInt& x) {
    return x == 0 ? 0.0 : static_cast<double>(boost::multiprecision::msb(abs(x))) + 1;
  };
  double total = 1;
  for (int j = 1; j <= n; ++j) {
    ScaleBits scale;
    bool zero = true;
    double largest = 1;  // the scaled entries are integers
    for (int i = 1; i <= m; ++i) {
      const BigInt p = Numerator(a(i, j));
      if (p == 0) continue;
      zero = false;
      const BigInt q = Denominator(a(i, j));
      scale.Add(q);
      largest = std::max(largest, log2(p) - log2(q) + 1);
    }
    if (zero) continue;  // a zero column: dependent, never a divisor
    total += 2 * (largest + scale.bits() + 0.5 * std::log2(static_cast<double>(m))) + scale.bits();
  }
  return total;
}

}  // namespace

// The exact orthogonalisation: per column k the k - 1 dot products and
// multiples of fractions of GramBits, and (β_k, a_j) for R; β, the
// coefficients and the norms printed exactly; e, Q and R in decimals as the
// decimal mode has them.
WorkEstimate ExactGramSchmidtWork(const RationalMatrix& read, int m_rows, int n_cols) {
  const double m = m_rows;
  const double n = n_cols;
  const double bits = GramBits(read, m_rows, n_cols);
  WorkEstimate work =
      ExactWork(bits, 2 * n * n * m + 2 * n * m, m * (2 * n + 1) + n * n / 2, n * m + n * n + n, 0);
  const WorkEstimate decimal = GramSchmidtWork(m_rows, n_cols, 15);
  work.bytes += decimal.bytes;
  work.trace_bytes += decimal.trace_bytes;
  work.nanoseconds += decimal.nanoseconds;
  return work;
}

namespace {

// A value as the β part of the trace shows it: a double rounded to D, a
// fraction as it is.
double Shown(double x, int digits) { return RoundTo(x, digits); }
const Rational& Shown(const Rational& x, int /*digits*/) { return x; }
std::string TextOf(double x) { return FormatNumber(x); }
std::string TextOf(const Rational& x) { return FormatRational(x); }

// The orthogonalisation's lines: each coefficient, β_k and ‖β_k‖², and the
// columns found dependent.
template <typename T>
void AppendOrthogonalization(TraceBuffer& out, const std::vector<GramSchmidtColumnOf<T>>& columns,
                             int m, int digits, double tol) {
  out.NewLine().Append("正交化 βk = ak − Σ (ak, βj)/(βj, βj)·βj：").NewLine();
  bool tol_stated = false;
  for (const GramSchmidtColumnOf<T>& column : columns) {
    const std::string k = FormatNumber(column.column);
    std::string formula = "β" + k + " = a" + k;
    for (std::size_t t = 0; t < column.against.size(); ++t) {
      const std::string j = FormatNumber(column.against[t]);
      const T c = Shown(column.coefficients[t], digits);
      out.Append("(a").Append(k).Append(", β").Append(j).Append(")/(β").Append(j).Append(", β");
      out.Append(j).Append(") = ").Append(TextOf(c)).NewLine();
      formula += c < 0 ? " + " : " − ";
      formula += TextOf(T(Magnitude(c))) + "·β" + j;
    }
    out.Append(formula).Append(" = ").Append(ColumnText(column.beta, 1, m, digits)).NewLine();
    out.Append("‖β").Append(k).Append("‖² = ").Append(TextOf(Shown(column.norm_squared, digits)));
    out.NewLine();
    if (column.dependent) {
      // The tolerance is stated where it first decides something; fractions
      // need none.
      if (std::is_same_v<T, double> && !tol_stated) {
        out.Append("小数运算中绝对值不超过 tol = ").AppendNumber(tol).Append(" 的数视为零。");
        out.NewLine();
        tol_stated = true;
      }
      out.Append("第 ").Append(k).Append(" 列与前面的列线性相关。").NewLine();
    }
  }
}

// The unit vectors, Q and R, in decimals in both modes.
template <typename T>
void AppendNormalization(TraceBuffer& out, const std::vector<GramSchmidtColumnOf<T>>& columns,
                         const Matrix& q, const Matrix& r, int m, int n, int digits) {
  out.NewLine().Append("单位化 ek = βk/‖βk‖：").NewLine();
  int c = 0;
  for (const GramSchmidtColumnOf<T>& column : columns) {
    if (column.dependent) continue;
    ++c;
    Vector e(m);
    for (int i = 1; i <= m; ++i) e(i) = q(i, c);
    const std::string k = FormatNumber(column.column);
    out.Append("e").Append(k).Append(" = β").Append(k).Append("/‖β").Append(k).Append("‖ = ");
    out.Append(ColumnText(e, 1, m, digits)).NewLine();
  }
  if (c == 0) {
    out.NewLine().Append("矩阵的各列都是零向量，没有可单位化的向量。").NewLine();
    return;
  }
  out.NewLine();
  AppendNamedMatrix(out, "Q", q, m, c, digits);
  out.NewLine();
  AppendNamedMatrix(out, "R = QᵀA", r, c, n, digits);
}

}  // namespace

// With 精确分数 on and an exact matrix the β and their coefficients are
// fractions and only e, Q and R decimals: no note that the method computes
// in decimals. A matrix that is not exact has the reader's note instead.
Task<> GramSchmidtCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input = co_await OpenShapedMatrix(
      frame, MatrixShape::kAnyShape, &GramSchmidtWork, &ExactGramSchmidtWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  const std::string continuation =
      "正交化的 " + Shape(m, n) + " 矩阵 A = (a1, …, an) 的列向量，接下来用施密特正交化方法：";
  if (input->exact) {
    const RationalMatrix& a = *input->exact;
    AppendRows(out, a, m, 1, n, "    ");
    out.NewLine().Append("以上是所要").Append(continuation).NewLine();
    UnitMeter work(frame.progress(), kExactUpdateNs);
    const std::vector<ExactGramSchmidtColumn> columns = Orthogonalize(a, 0, &work);
    AppendOrthogonalization(out, columns, m, digits, 0);
    const ExactGramSchmidtFactors factors = NormalizeExact(columns, a, &work);
    AppendNormalization(out, columns, factors.q, factors.r, m, n, digits);
    co_return;
  }
  AppendOpening(out, *input, continuation);
  const double tol = ZeroTolerance(input->read);
  UnitMeter work(frame.progress(), kLoopNs);
  const GramSchmidtResult gs = GramSchmidt(input->read, tol, &work);
  AppendOrthogonalization(out, gs.columns, m, digits, tol);
  AppendNormalization(out, gs.columns, gs.q, gs.r, m, n, digits);
}

}  // namespace matcalc
