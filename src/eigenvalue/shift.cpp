#include "eigenvalue/commands.h"
#include "eigenvalue/eigen_common.h"
#include "eigenvalue/estimates.h"
#include "eigenvalue/power_iteration.h"
#include "linalg/matrix_routines.h"
#include "linalg/readers.h"
#include "text/leading_number.h"
#include "text/text_util.h"

namespace matcalc {

// A, the shifted B, the power of the iterate, the next power as it is formed.
WorkEstimate ShiftWork(int order, int /*digits*/) { return PowerIterationWork(order, 4, 2); }

Task<> ShiftCommand(Frame& frame) {
  const std::optional<int> order = co_await frame.AskOrder(kOrderPrompt, kInputTitle, "3", 1);
  if (!order) co_return;
  const int n = *order;
  const bool refused = co_await frame.RefuseIfTooLarge(ShiftWork(n, frame.digits()));
  if (refused) co_return;
  const std::optional<double> eps = co_await AskPrecision(frame, 0.0001);
  if (!eps) co_return;
  Matrix a;
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadMatrix(a, n, TrimSpaces(frame.text1()), &reading);
  const std::optional<std::string> shift_text = co_await frame.AskNonEmpty(
      "适当选取参数 P 可加快迭代收敛速度。\r\n输入 P 的值：", "输入参数");
  if (!shift_text) co_return;
  const double shift = LeadingNumber(*shift_text);
  Matrix b = a;
  for (int i = 1; i <= n; ++i) b(i, i) = a(i, i) - shift;
  const Vector x0 = co_await AskInitialVector(frame, n);

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出原矩阵平移").AppendNumber(shift);
  out.Append("后的新矩阵值：").NewLine();
  AppendRows(out, b, n, 1, n, "    ");
  out.NewLine().Append("接下来输出矩阵的初始向量值：").NewLine();
  out.Append(FormatVector(x0, 2));

  PowerIteration iteration(b, x0, frame.digits());
  // From the third iterate on no empty line separates the blocks.
  const bool settled = co_await AppendIterates(
      frame, iteration, *eps, {}, "参数选取不当，计算被迫终止，请重新选取。\r\n结果是否还要查看？");
  if (!settled) co_return;

  const std::string eigenvector = FormatVector(iteration.current(), 2);
  out.NewLine().NewLine().Append("新矩阵的特征值是： ").AppendNumber(iteration.lambda());
  out.NewLine().NewLine().Append("      特征向量是： ").NewLine().Append(eigenvector);
  out.NewLine().NewLine().Append("原点平移求原始矩阵的特征值是： ");
  out.AppendNumber(iteration.lambda() + shift);
  out.NewLine().NewLine().Append("      特征向量是： ").NewLine().Append(eigenvector);
}

}  // namespace matcalc
