#include "matrices/matrix_trace.h"

#include <string>

#include "frame/exact_layout.h"
#include "frame/trace_layout.h"

namespace matcalc {

void AppendOpening(TraceBuffer& out, const Matrix& read, std::string_view heading) {
  AppendRows(out, read, read.rows(), 1, read.cols(), "    ");
  out.NewLine().Append(heading).NewLine();
}

void AppendOpening(TraceBuffer& out, const RationalMatrix& read, std::string_view heading) {
  AppendRows(out, read, read.rows(), 1, read.cols(), "    ");
  out.NewLine().Append(heading).NewLine();
}

std::string ShapeText(int m, int n) { return std::to_string(m) + " × " + std::to_string(n); }

}  // namespace matcalc
