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

void PowerCommand(Frame& frame) {
  const std::optional<int> order = frame.AskOrder(kOrderPrompt, kInputTitle, "3", 1);
  if (!order) return;
  const int n = *order;
  if (frame.RefuseIfTooLarge(PowerWork(n, frame.digits()))) return;
  const std::optional<double> eps = AskPrecision(frame, 0.0001);
  if (!eps) return;
  Matrix a;
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadMatrix(a, n, TrimSpaces(frame.text1()), &reading);
  const Vector x0 = AskInitialVector(frame, n);

  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  AppendRows(out, a, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求解的矩阵，接下来输出矩阵的初始向量值：").NewLine();
  out.Append(FormatVector(x0, 2));

  PowerIteration iteration(a, x0, frame.digits());
  if (!AppendIterates(frame, iteration, *eps, kCrLf, kGiveUpText)) return;

  out.NewLine().NewLine().Append("幂法求矩阵的主特征值是： ").AppendNumber(iteration.lambda());
  out.NewLine().NewLine().Append("      特征向量是： ").NewLine();
  out.Append(FormatVector(iteration.current(), 2));
}

}  // namespace matcalc
