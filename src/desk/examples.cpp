#include "desk/examples.h"

#include <algorithm>

namespace matcalc {
namespace {

bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// The edit pane keeps CR LF where a file had LF alone: the two count as one.
bool SameLines(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i] == '\r' && i + 1 < a.size() && a[i + 1] == '\n') ++i;
    if (b[j] == '\r' && j + 1 < b.size() && b[j + 1] == '\n') ++j;
    if (a[i] != b[j]) return false;
    ++i;
    ++j;
  }
  return i == a.size() && j == b.size();
}

}  // namespace

const std::vector<Example>& Examples() {
  static const std::vector<Example> examples = {
      {"HelpExampleSymmetric",
       "示例：对称矩阵（雅可比法）",
       "symmetric3.txt",
       {"jacobi", "jacobi-threshold"}},
      {"HelpExampleEigen",
       "示例：幂法、原点平移法、反幂法",
       "eigen3.txt",
       {"power", "shift", "inverse-power", "qr-eigenvalues"}},
      {"HelpExampleSquare",
       "示例：求逆、行列式、三角分解",
       "square3.txt",
       {"inverse", "determinant", "lu", "matrix-norms", "inverse-by-rows", "determinant-by-rows"}},
      {"HelpExampleVector", "示例：向量范数", "vector3.txt", {"vector-norms"}},
      {"HelpExampleSystem",
       "示例：方程组 [A | b]（消去法、三角分解法）",
       "system3.txt",
       {"gauss", "lu-solve", "condition"}},
      {"HelpExampleSpd",
       "示例：对称正定方程组（平方根法）",
       "spd3.txt",
       {"cholesky", "ldlt", "positive-definite"}},
      {"HelpExampleTridiagonal",
       "示例：三对角方程组（追赶法）",
       "tridiagonal4.txt",
       {"tridiagonal"}},
      {"HelpExampleDominant",
       "示例：对角占优方程组（迭代法）",
       "dominant3.txt",
       {"jacobi-iteration", "gauss-seidel", "sor", "diagonal-dominance"}},
      {"HelpExampleFractions",
       "示例：分数解的方程组（精确分数）",
       "fractions3.txt",
       {"gauss", "inverse", "determinant"}},
      {"HelpExampleGeneral",
       "示例：有无穷多解的方程组（矩阵菜单）",
       "system34.txt",
       {"row-echelon", "rref", "rank", "general-solution", "transpose"}},
      {"HelpExampleQr",
       "示例：QR 分解与施密特正交化",
       "qr3.txt",
       {"householder-qr", "givens-qr", "gram-schmidt"}},
      {"HelpExampleLeastSquares", "示例：超定方程组（最小二乘解）", "lsq42.txt", {"least-squares"}},
      {"HelpExamplePoints", "示例：数据点（最小二乘曲线拟合）", "points6.txt", {"curve-fit"}},
  };
  return examples;
}

const Example* FindExample(std::string_view item) {
  for (const Example& example : Examples()) {
    if (example.item == item) return &example;
  }
  return nullptr;
}

std::string ExamplePath(const Example& example) {
  std::string path(kExamplesFolder);
  path += '/';
  path += example.file;
  return path;
}

MessageRequest ReplaceEditTextQuestion() {
  MessageRequest question;
  question.text = "编辑区域中的内容将被示例替换，是否继续？";
  question.title = "温馨提示";
  question.buttons = Buttons::kYesNo;
  question.icon = Icon::kQuestion;
  question.default_button = Reply::kNo;
  return question;
}

namespace {

Task<bool> Granted() { co_return true; }

Task<bool> AskToReplace(Boxes& boxes) {
  co_return co_await boxes.Message(ReplaceEditTextQuestion()) == Reply::kYes;
}

}  // namespace

Task<bool> MayReplaceEditText(Boxes& boxes, std::string_view edit_text,
                              std::initializer_list<std::string_view> not_lost) {
  // Decided here, not in the task: the texts need not outlive this call.
  if (Blank(edit_text) || std::any_of(not_lost.begin(), not_lost.end(), [&](std::string_view text) {
        return SameLines(edit_text, text);
      })) {
    return Granted();
  }
  return AskToReplace(boxes);
}

}  // namespace matcalc
