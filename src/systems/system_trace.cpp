#include "systems/system_trace.h"

#include "frame/budget.h"
#include "frame/trace_layout.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

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

void AppendStop(TraceBuffer& out, std::string_view reason) {
  out.NewLine().Append(reason).NewLine();
}

}  // namespace matcalc
