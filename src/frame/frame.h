// The frame every command runs in: its boxes, the edit pane's text, the
// result pane, the decimal-digits setting and the budgets. A command is a
// Task<void> that co_awaits its boxes; it is suspended at each box until the
// front end driving it answers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/boxes.h"
#include "frame/budget.h"
#include "frame/convergence.h"
#include "frame/dialogs.h"
#include "frame/progress.h"
#include "frame/task.h"
#include "frame/trace_buffer.h"

namespace matcalc {

inline constexpr int kDefaultDigits = 6;
inline constexpr int kMinDigits = 1;
inline constexpr int kMaxDigits = 15;

// The prompt of the order box every matrix command opens with.
inline constexpr std::string_view kOrderPrompt = "输入矩阵的阶数 n：";

// The notes of the exact mode, each a line of its own at the top of a trace.
inline constexpr std::string_view kNotExactNote =
    "注意：矩阵中有不能精确表示为分数的元素（如 pi、函数、非整数次幂），以下按小数计算。";
inline constexpr std::string_view kDecimalMethodNote = "注意：此方法需要开方或迭代，按小数计算。";

class Frame {
 public:
  // `front_end`: the copies of the text and the trace the front end keeps
  // while the command runs, counted against the budgets. `progress`: where
  // the command's work is counted (none: counted nowhere).
  Frame(Boxes& boxes, std::string_view text1, TraceBuffer& pane, int digits,
        const FrontEndCosts& front_end = {}, Progress* progress = nullptr)
      : boxes_(boxes),
        text1_(text1),
        pane_(pane),
        digits_(digits),
        front_end_(front_end),
        progress_(progress != nullptr ? *progress : own_progress_) {}

  // The edit pane's text as the user left it. Each call is counted: a
  // command takes the text once per look at it, and how often it looked
  // shows that a box answered never makes it read the text again.
  std::string_view text1() const {
    ++text_looks_;
    return text1_;
  }
  int text_looks() const { return text_looks_; }
  TraceBuffer& out() { return pane_; }
  // The decimal-digits setting D.
  int digits() const { return digits_; }
  // The exact-fractions setting: the commands that need nothing but + - * /
  // compute in fractions when the matrix read is exact.
  bool exact() const { return exact_; }
  void set_exact(bool exact) { exact_ = exact; }
  // For the methods that need square roots or iterate: in the exact mode,
  // the line that says they compute in decimals. Written first in the pane.
  void NoteDecimalMethod() {
    if (exact_) pane_.Append(kDecimalMethodNote).NewLine();
  }

  // An input box; the answer trimmed of spaces. Nothing when cancelled.
  Task<std::optional<std::string>> Ask(std::string_view prompt, std::string_view title = {},
                                       std::string_view default_text = {});
  // Like Ask, but an empty answer counts as cancelled: the command ends.
  Task<std::optional<std::string>> AskNonEmpty(std::string_view prompt, std::string_view title = {},
                                               std::string_view default_text = {});

  // A message box with an OK button.
  Task<> Inform(std::string_view text, std::string_view title = {}, Icon icon = Icon::kNone);
  Task<Reply> Message(MessageRequest request);

  // Where long loops count their work; it may end the command by throwing
  // CommandStopped when the user asked to stop. The estimate an order was
  // accepted with (RefuseIfTooLarge) is the whole.
  Progress& progress() { return progress_; }

  // The order prompt the matrix commands open with: the answer read by the
  // leading-number rule and rounded to a 16-bit integer. Nothing when the
  // answer is empty or cancelled, out of the 16-bit range or below `minimum`.
  Task<std::optional<int>> AskOrder(std::string_view prompt, std::string_view title,
                                    std::string_view default_text, int minimum);

  // Shows a refusal and returns true when `estimate`, with the text and the
  // front end's copies, exceeds the budgets; the panes stay as they were.
  // The refusal names the text when the text alone (read, and kept with
  // the front end's copies) leaves no room for any run, or when `by_text`
  // says the estimate grows with the text only; it blames the result pane
  // (kPaneTooFullText) when the run would fit without the pane's earlier
  // text; otherwise the order. Accepted, room for the trace is reserved in
  // the result pane, and the estimate's time becomes the whole the progress
  // is a fraction of.
  Task<bool> RefuseIfTooLarge(WorkEstimate estimate, bool by_text = false);
  // The same for the exact mode's estimate of a matrix read, whose fractions
  // would grow too long: its own refusal text (the pane's when the pane
  // decides).
  Task<bool> RefuseIfNumbersTooLong(WorkEstimate estimate);
  // What RefuseIfTooLarge weighs: with a convergence log that records, its
  // points and what the front end makes of them count too.
  BudgetNeeds Needs(const WorkEstimate& estimate) const;

  // Where the iterative methods record what converges, for the charts and
  // the series file; records nothing unless a front end asked for it.
  ConvergenceLog& convergence() { return convergence_ != nullptr ? *convergence_ : no_log_; }
  void set_convergence(ConvergenceLog* log) { convergence_ = log; }

 private:
  BudgetNeeds Needs(const WorkEstimate& estimate, const FrontEndCosts& front_end) const;
  // RefuseIfTooLarge with `refusal` for the order's text (a constant).
  Task<bool> Refuse(WorkEstimate estimate, std::string_view refusal);

  Boxes& boxes_;
  std::string_view text1_;
  mutable int text_looks_ = 0;
  TraceBuffer& pane_;
  int digits_;
  bool exact_ = false;
  FrontEndCosts front_end_;
  Progress own_progress_;
  Progress& progress_;
  ConvergenceLog* convergence_ = nullptr;
  ConvergenceLog no_log_{false};
};

}  // namespace matcalc
