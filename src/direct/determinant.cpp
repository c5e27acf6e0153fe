// 列主元求行列式: the determinant by Gaussian elimination with row pivoting.
#include <optional>

#include "direct/commands.h"
#include "direct/linear_routines.h"
#include "text/number_text.h"
#include "linalg/readers.h"

namespace matcalc {

void DeterminantCommand(Frame& frame) {
  const std::optional<int> order = frame.AskOrder("输入矩阵的阶数 n：", {}, {}, 1);
  if (!order) return;
  const int n = *order;
  const double size = n;
  const double trace_bytes = TraceBytes(2 * size * size, 300);
  if (frame.RefuseIfTooLarge({MatrixBytes(size, size + 1) + MatrixBytes(size, size) + trace_bytes,
                              kRoundedUpdateOperations * size * size * size / 3 + trace_bytes})) {
    return;
  }

  Matrix read(n, n + 1);
  ResultPane& out = frame.out();
  out.Clear();
  ReadSquareMatrix(read, n, frame.text1(), &frame.progress());
  Matrix a = LeadingSquare(read, n);
  int exchanges = 0;
  const double determinant = PivotDeterminant(a, exchanges, &frame.progress());

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
