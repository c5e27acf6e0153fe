#include "systems/exact_solving.h"

#include <string>

namespace matcalc {

void AppendAugmentedOpening(TraceBuffer& out, const RationalMatrix& read, int n,
                            std::string_view continuation) {
  AppendRows(out, read, n, 1, n + 1, "    ");
  out.NewLine().Append("以上是所要求解的方程组的增广矩阵，").Append(continuation).NewLine();
}

void AppendSolution(TraceBuffer& out, std::string_view result_line, const RationalVector& x,
                    int /*places*/) {
  out.NewLine().Append(result_line).NewLine();
  for (int i = 1; i <= x.size(); ++i) {
    out.Append("    x").Append(std::to_string(i)).Append(" = ");
    AppendValue(out, x(i)).NewLine();
  }
}

}  // namespace matcalc
