#include "commands/registry.h"

#include <array>

#include "direct/commands.h"
#include "eigenvalue/commands.h"
#include "matrices/commands.h"
#include "orthogonal/commands.h"
#include "systems/commands.h"

namespace matcalc {
namespace {

constexpr std::array<Command, 34> kCommands = {{
    // A method not yet built has no function: the runner does not offer it.
    {"power", "MatrixMi", "幂法", &PowerCommand},
    {"shift", "MatrixCircleMove", "原点平移法", &ShiftCommand},
    {"inverse-power", "MatrixFanMi", "反幂法", &InversePowerCommand},
    {"jacobi", "ClassicalJacobi", "古典雅可比法", &JacobiCommand},
    {"jacobi-threshold", "JacobiPassBarrier", "雅可比过关法", &JacobiCommand},
    {"qr-eigenvalues", "QrEigenvalues", "QR 方法求全部特征值", &QrEigenvaluesCommand},
    {"inverse", "A_matrix", "列主元求逆矩阵", &InverseCommand},
    {"determinant", "A_range", "列主元求行列式", &DeterminantCommand},
    {"lu", "MatrixBreak", "矩阵的三角分解", &TriangularCommand},
    {"positive-definite", "CMatrixJudge", "正定矩阵判断", &PositiveDefiniteCommand},
    {"vector-norms", "VectorModel", "向量范数", &VectorNorms, TextUse::kVector},
    {"matrix-norms", "MatrixModel", "矩阵范数", &MatrixNorms},
    {"diagonal-dominance", "StrictMatrixJudge", "严格对角占优矩阵判断", &DiagonalDominanceCommand},
    // The linear-systems menu.
    {"gauss", "LinearGauss", "列主元高斯消去法", &GaussCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    {"lu-solve", "LinearLu", "三角分解法解方程组", &LuSolveCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    {"cholesky", "LinearCholesky", "平方根法", &CholeskyCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    {"ldlt", "LinearLdlt", "改进平方根法", &LdltCommand, TextUse::kMatrix, CommandMenu::kSystems},
    {"tridiagonal", "LinearTridiagonal", "追赶法", &TridiagonalCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    {"jacobi-iteration", "LinearJacobi", "雅可比迭代法", &JacobiIterationCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    {"gauss-seidel", "LinearGaussSeidel", "高斯-赛德尔迭代法", &GaussSeidelCommand,
     TextUse::kMatrix, CommandMenu::kSystems},
    {"sor", "LinearSor", "超松弛迭代法", &SorCommand, TextUse::kMatrix, CommandMenu::kSystems},
    {"condition", "LinearCondition", "条件数", &ConditionCommand, TextUse::kMatrix,
     CommandMenu::kSystems},
    // The matrix menu.
    {"row-echelon", "MatrixRowEchelon", "化为行阶梯形", &RowEchelonCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"rref", "MatrixReducedEchelon", "化为行最简形", &ReducedEchelonCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"rank", "MatrixRank", "矩阵的秩", &RankCommand, TextUse::kMatrix, CommandMenu::kMatrices},
    {"general-solution", "MatrixGeneralSolution", "线性方程组的通解", &GeneralSolutionCommand,
     TextUse::kMatrix, CommandMenu::kMatrices},
    {"inverse-by-rows", "MatrixInverseByRows", "初等行变换求逆矩阵", &InverseByRowsCommand,
     TextUse::kMatrix, CommandMenu::kMatrices},
    {"transpose", "MatrixTranspose", "转置矩阵", &TransposeCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"determinant-by-rows", "MatrixDeterminantByRows", "化三角形求行列式",
     &DeterminantByRowsCommand, TextUse::kMatrix, CommandMenu::kMatrices},
    // The orthogonal transformations, after a separator.
    {"householder-qr", "MatrixHouseholder", "豪斯霍尔德变换求 QR 分解", &HouseholderQrCommand,
     TextUse::kMatrix, CommandMenu::kMatrices},
    {"givens-qr", "MatrixGivens", "吉文斯变换求 QR 分解", &GivensQrCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"gram-schmidt", "MatrixGramSchmidt", "施密特正交化", &GramSchmidtCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"least-squares", "MatrixLeastSquares", "最小二乘解", &LeastSquaresCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
    {"curve-fit", "MatrixCurveFit", "最小二乘曲线拟合", &CurveFitCommand, TextUse::kMatrix,
     CommandMenu::kMatrices},
}};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name || command.menu_item == name) return &command;
  }
  return nullptr;
}

bool TextFitsBudget(std::string_view text, TextUse use, double budget_bytes) {
  return kProgramBytes + kSmallestRunBytes + static_cast<double>(text.size()) +
             static_cast<double>(TextReadingBytes(text, use)) <=
         budget_bytes;
}

RunningCommand::RunningCommand(const Command& command, std::string_view text1, TraceBuffer& pane,
                               int digits, const FrontEndCosts& front_end, ProgressSink* sink,
                               ConvergenceLog* series, bool exact)
    : command_(command),
      text1_(text1),
      pane_(pane),
      progress_(sink),
      // The pane counts the trace written as work while the command runs.
      trace_meter_(progress_, kTraceByteNs),
      frame_(run_.boxes(), text1, pane, digits, front_end, &progress_) {
  if (series != nullptr) series->Clear();
  frame_.set_convergence(series);
  frame_.set_exact(exact);
}

RunningCommand::~RunningCommand() {
  // The command's frames go before the meter they count on.
  run_.Abandon();
  pane_.SetMeter(nullptr);
}

Task<> RunningCommand::Body() {
  if (command_.run == nullptr) co_return;
  if (!TextFitsBudget(text1_, command_.reads)) {
    co_await frame_.Inform(kTextTooLargeText);
    co_return;
  }
  co_await command_.run(frame_);
  progress_.Finish();
}

void RunningCommand::Start() {
  pane_.SetMeter(&trace_meter_);
  run_.Start(Body());
  Settle();
}

void RunningCommand::Answer(std::optional<std::string> text) {
  run_.Answer(std::move(text));
  Settle();
}

void RunningCommand::Answer(Reply reply) {
  run_.Answer(reply);
  Settle();
}

void RunningCommand::AnswerFrom(Dialogs& dialogs) {
  run_.boxes().AnswerFrom(dialogs);
  Settle();
}

void RunningCommand::Settle() {
  if (!run_.done()) return;
  done_ = true;
  pane_.SetMeter(nullptr);
  try {
    run_.Result();
  } catch (const CommandStopped&) {
    // Whatever the command had written goes: nothing half-written is shown.
    pane_ = TraceBuffer();
    outcome_ = Outcome::kStopped;
  }
}

void RunningCommand::Stop() {
  if (done_) return;
  run_.Abandon();
  done_ = true;
  pane_.SetMeter(nullptr);
  pane_ = TraceBuffer();
  outcome_ = Outcome::kStopped;
}

Outcome RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                   TraceBuffer& pane, int digits, const FrontEndCosts& front_end,
                   ProgressSink* sink, ConvergenceLog* series, bool exact) {
  RunningCommand run(command, text1, pane, digits, front_end, sink, series, exact);
  run.Start();
  while (!run.done()) run.AnswerFrom(dialogs);
  return run.outcome();
}

TraceBuffer RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                       std::string text2, int digits, const FrontEndCosts& front_end,
                       ConvergenceLog* series, bool exact) {
  TraceBuffer pane(std::move(text2));
  RunCommand(command, dialogs, text1, pane, digits, front_end, nullptr, series, exact);
  return pane;
}

}  // namespace matcalc
