#include "systems/system_trace.h"

#include <cmath>

#include "frame/budget.h"
#include "frame/trace_layout.h"
#include "linalg/reading_hints.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

std::string OrderOfText(std::string_view text) {
  const int rows = ShapeOfText(text).rows;
  return rows > 0 ? std::to_string(rows) : std::string();
}

void AppendAugmentedOpening(TraceBuffer& out, const Matrix& read, int n,
                            std::string_view continuation) {
  AppendRows(out, read, n, 1, n + 1, "    ");
  out.NewLine().Append("以上是所要求解的方程组的增广矩阵，").Append(continuation).NewLine();
}

void AppendNamedValues(TraceBuffer& out, std::string_view name, const Vector& v, int first,
                       int last, int places) {
  for (int i = first; i <= last; ++i) {
    out.Append("    ").Append(name).Append(std::to_string(i)).Append(" = ");
    out.AppendNumber(RoundTo(v(i), places)).NewLine();
  }
}

double NamedValueBytes(double lines) {
  // Four spaces, a one-letter name, up to five digits, " = ", the number and
  // the line break.
  return lines * (4 + 1 + 5 + 3 + kNumberBytes + 2);
}

void AppendSolution(TraceBuffer& out, std::string_view result_line, const Vector& x, int places) {
  out.NewLine().Append(result_line).NewLine();
  AppendNamedValues(out, "x", x, 1, x.size(), places);
}

void RangeWatch::Check(const Matrix& m, int rows, int cols) {
  for (int i = 1; i <= rows && finite_; ++i) {
    const double* row = m.row(i);
    for (int j = 1; j <= cols; ++j) {
      if (!std::isfinite(row[j])) {
        finite_ = false;
        return;
      }
    }
  }
}

void RangeWatch::Check(const Vector& v, int first, int last) {
  for (int i = first; i <= last && finite_; ++i) {
    if (!std::isfinite(v(i))) finite_ = false;
  }
}

void AppendSolution(TraceBuffer& out, std::string_view result_line, const Vector& x, int places,
                    RangeWatch watch) {
  watch.Check(x);
  if (!watch.finite()) {
    AppendStop(out, kOutOfRangeText);
    return;
  }
  AppendSolution(out, result_line, x, places);
}

void AppendStop(TraceBuffer& out, std::string_view reason) {
  out.NewLine().Append(reason).NewLine();
}

}  // namespace matcalc
