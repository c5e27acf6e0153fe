#include "orthogonal/orthogonal_trace.h"

#include <cmath>

#include "frame/budget.h"
#include "text/number_text.h"

namespace matcalc {

void AppendMatrixBlock(TraceBuffer& out, const Matrix& a, int first, int last, int cols,
                       int places) {
  for (int i = first; i <= last; ++i) {
    for (int j = 1; j <= cols; ++j) out.Append("    ").AppendNumber(RoundTo(a(i, j), places));
    out.NewLine();
  }
}

std::string ColumnText(const Vector& v, int first, int last, int places) {
  std::string text = "(";
  for (int i = first; i <= last; ++i) {
    if (i > first) text += ", ";
    AppendNumber(text, RoundTo(v(i), places));
  }
  return text + ")ᵀ";
}

std::string ColumnText(const RationalVector& v, int first, int last, int /*places*/) {
  std::string text = "(";
  for (int i = first; i <= last; ++i) {
    if (i > first) text += ", ";
    AppendRational(text, v(i));
  }
  return text + ")ᵀ";
}

void AppendNamedMatrix(TraceBuffer& out, std::string_view name, const Matrix& a, int rows, int cols,
                       int places) {
  out.Append(name).Append("：").NewLine();
  AppendMatrixBlock(out, a, 1, rows, cols, places);
}

void AppendReflectorStep(TraceBuffer& out, int k, const Reflector& h, std::string_view name,
                         const Matrix& a, int places) {
  out.NewLine().Append("第 ").AppendNumber(k).Append(" 步：");
  if (h.skipped) {
    out.Append("σ = ").AppendNumber(RoundTo(h.sigma, places));
    out.Append("，第 ").AppendNumber(h.first).Append(" 行以下已全为零，本步跳过。").NewLine();
    return;
  }
  out.Append("σ = ").AppendNumber(RoundTo(h.sigma, places)).NewLine();
  out.Append("v = ").Append(ColumnText(h.v, h.first, h.last, places)).NewLine();
  AppendNamedMatrix(out, name, a, a.rows(), a.cols(), places);
}

void AppendFactors(TraceBuffer& out, const Matrix& a, const Matrix& q, std::string_view q_name,
                   const Matrix& r, int places) {
  out.NewLine();
  AppendNamedMatrix(out, "R", r, r.rows(), r.cols(), places);
  out.NewLine();
  AppendNamedMatrix(out, q_name, q, q.rows(), q.cols(), places);
  // The check is printed unrounded: its size is the point.
  out.NewLine().Append("‖A − QR‖∞ = ").AppendNumber(FactorResidual(a, q, r)).NewLine();
}

std::string EigenvalueText(const Eigenvalue& e, int places) {
  std::string text = FormatNumber(RoundTo(e.re, places));
  if (e.im == 0) return text;
  text += " ± ";
  AppendNumber(text, RoundTo(std::fabs(e.im), places));
  return text + "i";
}

double EntryBytes(double entries) { return entries * (4 + kNumberBytes + 1); }

}  // namespace matcalc
