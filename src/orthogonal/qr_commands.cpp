// 豪斯霍尔德变换求 QR 分解, 吉文斯变换求 QR 分解 and 施密特正交化.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "frame/budget.h"
#include "frame/trace_layout.h"
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

Task<> GramSchmidtCommand(Frame& frame) {
  const std::optional<ShapedMatrix> input =
      co_await OpenShapedMatrix(frame, MatrixShape::kAnyShape, &GramSchmidtWork);
  if (!input) co_return;
  const int m = input->m;
  const int n = input->n;
  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  frame.NoteDecimalMethod();
  AppendOpening(
      out, *input,
      "正交化的 " + Shape(m, n) + " 矩阵 A = (a1, …, an) 的列向量，接下来用施密特正交化方法：");
  const double tol = ZeroTolerance(input->read);

  UnitMeter work(frame.progress(), kLoopNs);
  const GramSchmidtResult gs = GramSchmidt(input->read, tol, &work);
  out.NewLine().Append("正交化 βk = ak − Σ (ak, βj)/(βj, βj)·βj：").NewLine();
  bool tol_stated = false;
  for (const GramSchmidtColumn& column : gs.columns) {
    const std::string k = FormatNumber(column.column);
    std::string formula = "β" + k + " = a" + k;
    for (std::size_t t = 0; t < column.against.size(); ++t) {
      const std::string j = FormatNumber(column.against[t]);
      out.Append("(a").Append(k).Append(", β").Append(j).Append(")/(β").Append(j).Append(", β");
      out.Append(j).Append(") = ").AppendNumber(RoundTo(column.coefficients[t], digits)).NewLine();
      const double c = RoundTo(column.coefficients[t], digits);
      formula += c < 0 ? " + " : " − ";
      formula += FormatNumber(std::fabs(c)) + "·β" + j;
    }
    out.Append(formula).Append(" = ").Append(ColumnText(column.beta, 1, m, digits)).NewLine();
    out.Append("‖β").Append(k).Append("‖² = ").AppendNumber(RoundTo(column.norm_squared, digits));
    out.NewLine();
    if (column.dependent) {
      // The tolerance is stated where it first decides something.
      if (!tol_stated) {
        out.Append("小数运算中绝对值不超过 tol = ").AppendNumber(tol).Append(" 的数视为零。");
        out.NewLine();
        tol_stated = true;
      }
      out.Append("第 ").Append(k).Append(" 列与前面的列线性相关。").NewLine();
    }
  }
  out.NewLine().Append("单位化 ek = βk/‖βk‖：").NewLine();
  int c = 0;
  for (const GramSchmidtColumn& column : gs.columns) {
    if (column.dependent) continue;
    ++c;
    Vector e(m);
    for (int i = 1; i <= m; ++i) e(i) = gs.q(i, c);
    const std::string k = FormatNumber(column.column);
    out.Append("e").Append(k).Append(" = β").Append(k).Append("/‖β").Append(k).Append("‖ = ");
    out.Append(ColumnText(e, 1, m, digits)).NewLine();
  }
  if (c == 0) {
    out.NewLine().Append("矩阵的各列都是零向量，没有可单位化的向量。").NewLine();
    co_return;
  }
  out.NewLine();
  AppendNamedMatrix(out, "Q", gs.q, m, c, digits);
  out.NewLine();
  AppendNamedMatrix(out, "R = QᵀA", gs.r, c, n, digits);
}

}  // namespace matcalc
