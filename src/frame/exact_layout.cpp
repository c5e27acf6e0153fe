#include "frame/exact_layout.h"

#include <string>

namespace matcalc {

TraceBuffer& AppendValue(TraceBuffer& out, const Rational& value) {
  return out.Append(FormatRational(value));
}

TraceBuffer& AppendField24(TraceBuffer& out, const Rational& value) {
  return out.Append(RationalField24(value));
}

void AppendRows(TraceBuffer& out, const RationalMatrix& a, int n, int first, int last,
                std::string_view prefix, std::string_view row_end) {
  for (int i = 1; i <= n; ++i) {
    for (int j = first; j <= last; ++j) AppendValue(out.Append(prefix), a(i, j));
    out.Append(row_end);
  }
}

void AppendMatrixFields(TraceBuffer& out, const RationalMatrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) AppendField24(out, a(i, j));
    out.NewLine();
  }
}

}  // namespace matcalc
