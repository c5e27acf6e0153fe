#include "systems/exact_solving.h"

#include <string>

namespace matcalc {

void AppendAugmentedOpening(TraceBuffer& out, const RationalMatrix& read, int n,
                            std::string_view continuation) {
  AppendRows(out, read, n, 1, n + 1, "    ");
  out.NewLine().Append("以上是所要求解的方程组的增广矩阵，").Append(continuation).NewLine();
}

void AppendNamedValues(TraceBuffer& out, std::string_view name, const RationalVector& v, int first,
                       int last, int /*places*/) {
  for (int i = first; i <= last; ++i) {
    out.Append("    ").Append(name).Append(std::to_string(i)).Append(" = ");
    AppendValue(out, v(i)).NewLine();
  }
}

void AppendSolution(TraceBuffer& out, std::string_view result_line, const RationalVector& x,
                    int places) {
  out.NewLine().Append(result_line).NewLine();
  AppendNamedValues(out, "x", x, 1, x.size(), places);
}

}  // namespace matcalc
