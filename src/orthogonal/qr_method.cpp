// QR 方法求全部特征值: the reduction to upper Hessenberg form by Householder
// similarity transformations, then implicit double-shift QR iterations on
// the active block with deflation.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "eigenvalue/eigen_common.h"
#include "frame/budget.h"
#include "frame/trace_layout.h"
#include "linalg/readers.h"
#include "orthogonal/commands.h"
#include "orthogonal/estimates.h"
#include "orthogonal/orthogonal_trace.h"
#include "orthogonal/qr_routines.h"
#include "text/leading_number.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

inline constexpr std::string_view kLimitPrompt = "输入最大迭代次数 N：";

// Iterations per eigenvalue the estimate allows for: the double shift
// converges quadratically and takes two or three on average.
constexpr double kIterationsPerEigenvalue = 4;

// The most iterations the trace has room for: 10 per eigenvalue (five
// times what random matrices take on average), at least 100 for the small
// orders, whose exceptional shifts may need a few rounds. A run that would
// go on beyond it (a matrix with an entry that is not finite, or an eps of
// 0 or below) gives up there as at N, so the trace stays within the memory
// it was granted.
constexpr long long kMostIterationsPerEigenvalue = 10;
constexpr long long kFewestIterationsTraced = 100;

long long IterationBound(int n, long long limit) {
  return std::min(limit, std::max(kMostIterationsPerEigenvalue * n, kFewestIterationsTraced));
}

// "λ3" or "λ4,5".
std::string Label(int first, int count) {
  std::string label = "λ" + FormatNumber(first);
  if (count == 2) label += "," + FormatNumber(first + 1);
  return label;
}

// The subdiagonal of rows p..q after an iteration, for the chart.
void RecordSubdiagonal(ConvergenceLog& log, int iteration, const Matrix& h, int p, int q) {
  if (!log.enabled()) return;
  for (int k = p; k < q; ++k) log.Add(Quantity::kSubdiagonal, k, iteration, std::fabs(h(k + 1, k)));
}

// Eigenvalues found by deflation, at rows `first`.. of the final matrix.
struct Found {
  int first = 0;
  Eigenvalue value;
};

void AppendEigenvalueLine(TraceBuffer& out, std::string_view prefix, int first, int count,
                          const Eigenvalue& e, int places) {
  out.Append(prefix).Append(Label(first, count)).Append(" = ").Append(EigenvalueText(e, places));
  out.NewLine();
}

}  // namespace

WorkEstimate QrEigenvaluesWork(int order, long long limit, int digits) {
  const double n = order;
  const double steps = std::max(n - 2, 0.0);
  const double iterations = kIterationsPerEigenvalue * n;
  const double traced = static_cast<double>(IterationBound(order, limit));
  // Each Hessenberg step prints σ, v and the matrix; each iteration its
  // heading and at most n − 1 subdiagonal entries; then the final matrix
  // and the eigenvalues, each line once at its deflation and once at the end.
  const double printed = steps * (n * n + n + 1) + n * n;
  const double iteration_bytes = traced * (kHeadingBytes + n * (16 + kNumberBytes));
  const double eigenvalue_bytes = 2 * n * (24 + 2 * kNumberBytes);
  // About 5/3 n³ multiply-adds for the reduction and 6 n³ for the
  // iterations, which update the whole matrix.
  return {3 * MatrixBytes(n, n) + 64 * (n + 8),
          EntryBytes(printed) + (steps + 12) * kHeadingBytes + iteration_bytes + eigenvalue_bytes,
          (10 * n * n * n) * kLoopNs + RoundingNs(printed + iterations * n + 4 * n, digits)};
}

Task<> QrEigenvaluesCommand(Frame& frame) {
  const std::optional<int> order = co_await frame.AskOrder(kOrderPrompt, kInputTitle, "3", 1);
  if (!order) co_return;
  const int n = *order;
  // The defaults are held in variables of their own: no temporary lives
  // across the suspension at a box.
  const std::string eps_default = FormatNumber(1e-10);
  const std::string limit_default = FormatNumber(100.0 * n);
  const std::optional<std::string> eps_text =
      co_await frame.AskNonEmpty(kPrecisionPrompt, kInputTitle, eps_default);
  if (!eps_text) co_return;
  const double eps = LeadingNumber(*eps_text);
  const std::optional<std::string> limit_text =
      co_await frame.AskNonEmpty(kLimitPrompt, kInputTitle, limit_default);
  if (!limit_text) co_return;
  const double limit_value = std::floor(LeadingNumber(*limit_text));
  if (!(limit_value >= 1)) co_return;
  const long long limit = limit_value > 1e9 ? 1000000000LL : static_cast<long long>(limit_value);
  const bool refused = co_await frame.RefuseIfTooLarge(QrEigenvaluesWork(n, limit, frame.digits()));
  if (refused) co_return;
  const long long bound = IterationBound(n, limit);

  const int digits = frame.digits();
  TraceBuffer& out = frame.out();
  out.Clear();
  frame.NoteDecimalMethod();
  Matrix h;
  {
    UnitMeter reading(frame.progress(), kTextByteNs);
    ReadMatrix(h, n, frame.text1(), &reading);
  }
  AppendRows(out, h, n, 1, n, "    ");
  out.NewLine().Append("以上是所要求全部特征值的 ").AppendNumber(n).Append(" 阶矩阵 A").NewLine();

  UnitMeter work(frame.progress(), kLoopNs);
  out.NewLine().Append("一、用豪斯霍尔德相似变换 A ← HAH 化为上海森伯格矩阵：").NewLine();
  if (n <= 2) out.Append("二阶及以下的矩阵已是上海森伯格矩阵。").NewLine();
  for (int k = 1; k <= n - 2; ++k) {
    const Reflector r = HessenbergStep(h, k, &work);
    AppendReflectorStep(out, k, r, "H" + FormatNumber(k) + "·A·H" + FormatNumber(k), h, digits);
  }

  out.NewLine().Append("二、双步位移 QR 迭代，|h(k+1,k)| ≤ eps·(|h(k,k)| + |h(k+1,k+1)|) 时收缩：");
  out.NewLine();
  ConvergenceLog& log = frame.convergence();
  RecordSubdiagonal(log, 0, h, 1, n);
  std::vector<Eigenvalue> found;
  long long iterations = 0;
  int block_iterations = 0;
  int q = n;
  bool gave_up = false;
  while (q >= 1) {
    const int p = ActiveBlockStart(h, q, eps);
    if (p == q) {
      found.push_back({h(q, q), 0});
      AppendEigenvalueLine(out, "", q, 1, found.back(), digits);
      q -= 1;
      block_iterations = 0;
      continue;
    }
    if (p == q - 1) {
      const auto [first, second] = BlockEigenvalues(h, q);
      found.push_back(first);
      found.push_back(second);
      if (first.im != 0) {
        AppendEigenvalueLine(out, "", q - 1, 2, first, digits);
      } else {
        AppendEigenvalueLine(out, "", q - 1, 1, first, digits);
        AppendEigenvalueLine(out, "", q, 1, second, digits);
      }
      q -= 2;
      block_iterations = 0;
      continue;
    }
    if (iterations >= bound) {
      const bool keep = co_await KeepTraceAfterGivingUp(frame, kGiveUpText);
      if (!keep) {
        out.Clear();
        co_return;
      }
      out.NewLine();
      if (bound < limit) {
        out.Append("迭代次数已达 ").AppendNumber(static_cast<double>(bound));
        out.Append(" 次，超出了本程序为计算过程留出的空间。").NewLine();
      }
      out.Append("此方法不适合这个矩阵，计算被迫终止。").NewLine();
      gave_up = true;
      break;
    }
    ++iterations;
    ++block_iterations;
    DoubleShiftStep(h, p, q, block_iterations % 10 == 0, &work);
    RecordSubdiagonal(log, static_cast<int>(std::min<long long>(iterations, 1 << 30)), h, p, q);
    out.Append("第 ")
        .AppendNumber(static_cast<double>(iterations))
        .Append(" 次 QR 迭代（活动块第 ");
    out.AppendNumber(p).Append(" 行至第 ").AppendNumber(q).Append(" 行）：").NewLine();
    for (int k = p; k < q; ++k) {
      out.Append("    h(").AppendNumber(k + 1).Append(",").AppendNumber(k).Append(") = ");
      out.AppendNumber(RoundTo(h(k + 1, k), digits));
    }
    out.NewLine();
  }

  out.NewLine().Append(gave_up ? "停止时的矩阵：" : "最后的拟上三角矩阵：").NewLine();
  AppendMatrixBlock(out, h, 1, n, n, digits);
  out.NewLine().Append(gave_up ? "已求得的特征值" : "全部特征值");
  out.Append("（实特征值从大到小，复特征值按模从大到小）：").NewLine();
  const std::vector<Eigenvalue> sorted = SortedEigenvalues(found);
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    if (sorted[i].im != 0) {
      AppendEigenvalueLine(out, "    ", index, 2, sorted[i], digits);
      ++i;
    } else {
      AppendEigenvalueLine(out, "    ", index, 1, sorted[i], digits);
    }
  }
}

}  // namespace matcalc
