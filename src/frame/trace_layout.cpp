#include "frame/trace_layout.h"

#include "text/number_text.h"

namespace matcalc {

void AppendRows(ResultPane& out, const Matrix& a, int n, int first, int last,
                std::string_view prefix, std::optional<int> places, std::string_view row_end) {
  for (int i = 1; i <= n; ++i) {
    for (int j = first; j <= last; ++j) {
      out.Append(prefix).AppendNumber(places ? RoundTo(a(i, j), *places) : a(i, j));
    }
    out.Append(row_end);
  }
}

void AppendMatrixFields(ResultPane& out, const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) out.AppendField24(a(i, j));
    out.NewLine();
  }
}

}  // namespace matcalc
