// 列主元求行列式: the determinant by Gaussian elimination with row pivoting.
#include <optional>

#include "direct/commands.h"
#include "direct/estimates.h"
#include "direct/linear_routines.h"
#include "direct/opening.h"
#include "text/number_text.h"

namespace matcalc {

WorkEstimate DeterminantWork(int order) {
  const double size = order;
  const double trace_bytes = TraceBytes(2 * size * size, 300);
  return {MatrixBytes(size, size + 1) + MatrixBytes(size, size) + trace_bytes,
          kRoundedUpdateOperations * size * size * size / 3 + trace_bytes};
}

void DeterminantCommand(Frame& frame) {
  std::optional<SquareMatrixText> input = OpenSquareMatrix(frame, {}, &DeterminantWork);
  if (!input) return;
  const int n = input->n;
  const Matrix& read = input->read;
  ResultPane& out = frame.out();
  Matrix a = LeadingSquare(read, n);
  int exchanges = 0;
  const double determinant = PivotDeterminant(a, exchanges);

  const int digits = frame.digits();
  AppendRows(out, read, n, 1, n, "  ");
  out.NewLine().Append("输出行列式选主元、消元后的结果").NewLine();
  AppendRows(out, a, n, 1, n, "  ", digits + 1);
  out.NewLine().Append("行、列共交换 ").AppendNumber(exchanges).Append(" 次").NewLine();
  out.NewLine().Append("行列式的值为：").NewLine().Append("   ");
  out.AppendNumber(RoundTo(determinant, digits));
  out.NewLine().NewLine().Append("选主元消去法的应用——求行列式的值。");
}

}  // namespace matcalc
