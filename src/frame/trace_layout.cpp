#include "frame/trace_layout.h"

#include <cassert>

#include "text/number_text.h"

namespace matcalc {

void AppendRows(TraceBuffer& out, const Matrix& a, int n, int first, int last,
                std::string_view prefix, std::optional<int> places, std::string_view row_end) {
  for (int i = 1; i <= n; ++i) {
    for (int j = first; j <= last; ++j) {
      out.Append(prefix).AppendNumber(places ? RoundTo(a(i, j), *places) : a(i, j));
    }
    out.Append(row_end);
  }
}

void AppendMatrixFields(TraceBuffer& out, const Matrix& a, int n) {
  assert(n <= a.rows() && n <= a.cols());
  for (int i = 1; i <= n; ++i) {
    out.AppendFields24(a.row(i) + 1, static_cast<std::size_t>(n));
    out.NewLine();
  }
}

}  // namespace matcalc
