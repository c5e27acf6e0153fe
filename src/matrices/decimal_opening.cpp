#include "matrices/decimal_opening.h"

namespace matcalc {

std::optional<DecimalArithmetic> OpenDecimalReduction(TraceBuffer& out, const Matrix& reduced,
                                                      int digits) {
  const std::optional<double> tolerance = ReductionTolerance(reduced);
  if (!tolerance) {
    out.Append(kNotFiniteText).NewLine();
    return std::nullopt;
  }
  // Unrounded: rounded to D it would read 0.
  out.Append("小数运算中绝对值不超过 tol = ").AppendNumber(*tolerance);
  out.Append(" 的数视为零。").NewLine();
  return DecimalArithmetic(*tolerance, digits);
}

}  // namespace matcalc
