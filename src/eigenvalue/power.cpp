#include "eigenvalue/commands.h"
#include "eigenvalue/eigen_common.h"
#include "eigenvalue/estimates.h"
#include "eigenvalue/power_iteration.h"
#include "linalg/matrix_routines.h"
#include "linalg/readers.h"
#include "text/text_util.h"

namespace matcalc {

// A, the power of the iterate, the next power as it is formed.
WorkEstimate PowerWork(int order, int /*digits*/) { return PowerIterationWork(order, 3, 1); }

Task<> PowerCommand(Frame& frame) {
  const std::optional<int> order = co_await frame.AskOrder(kOrderPrompt, kInputTitle, "3", 1);
  if (!order) co_return;
  const int n = *order;
  const bool refused = co_await frame.RefuseIfTooLarge(PowerWork(n, frame.digits()));
  if (refused) co_return;
  const std::optional<double> eps = co_await AskPrecision(frame, 0.0001);
  if (!eps) co_return;
  Matrix a;
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadMatrix(a, n, TrimSpaces(frame.text1()), &reading);
  const Vector x0 = co_await AskInitialVector(frame, n);

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出矩阵的初始向量值：").NewLine();
  out.Append(FormatVector(x0, 2));

  PowerIteration iteration(a, x0, frame.digits());
  const bool settled = co_await AppendIterates(frame, iteration, *eps, kCrLf, kGiveUpText);
  if (!settled) co_return;

  out.NewLine().NewLine().Append("幂法求矩阵的主特征值是： ").AppendNumber(iteration.lambda());
  out.NewLine().NewLine().Append("      特征向量是： ").NewLine();
  out.Append(FormatVector(iteration.current(), 2));
}

}  // namespace matcalc
