// The frame every command runs in: its dialogs, the edit pane's text, the
// result pane and the decimal-digits setting.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/convergence.h"
#include "frame/dialogs.h"
#include "frame/result_pane.h"

namespace matcalc {

inline constexpr int kDefaultDigits = 6;
inline constexpr int kMinDigits = 1;
inline constexpr int kMaxDigits = 15;

inline constexpr std::string_view kOrderTooLargeText = "阶数太大，超出了本程序的计算能力。";

// What a command with a given order would need at most. The frame refuses an
// order whose needs exceed its budgets before anything is written.
struct WorkEstimate {
  double bytes = 0;       // arrays plus the trace
  double operations = 0;  // floating-point operations and characters written
};

inline constexpr double kMemoryBudgetBytes = 1024.0 * 1024.0 * 1024.0;
// Roughly a minute of work on a modest machine.
inline constexpr double kWorkBudgetOperations = 3e10;

bool FitsBudget(const WorkEstimate& estimate);

class Frame {
 public:
  Frame(Dialogs& dialogs, std::string_view text1, ResultPane& pane, int digits)
      : dialogs_(dialogs), text1_(text1), pane_(pane), digits_(digits) {}

  // The edit pane's text as the user left it.
  std::string_view text1() const { return text1_; }
  ResultPane& out() { return pane_; }
  // The decimal-digits setting D.
  int digits() const { return digits_; }

  // An input box; the answer trimmed of spaces. Nothing when cancelled.
  std::optional<std::string> Ask(std::string_view prompt, std::string_view title = {},
                                 std::string_view default_text = {});
  // Like Ask, but an empty answer counts as cancelled: the command ends.
  std::optional<std::string> AskNonEmpty(std::string_view prompt, std::string_view title = {},
                                         std::string_view default_text = {});

  // A message box with an OK button.
  void Inform(std::string_view text, std::string_view title = {}, Icon icon = Icon::kNone);
  Reply Message(const MessageRequest& request) { return dialogs_.Message(request); }
  Dialogs& dialogs() { return dialogs_; }

  // The order prompt the matrix commands open with: the answer read by the
  // leading-number rule and rounded to a 16-bit integer. Nothing when the
  // answer is empty or cancelled, out of the 16-bit range or below `minimum`.
  std::optional<int> AskOrder(std::string_view prompt, std::string_view title,
                              std::string_view default_text, int minimum);

  // Shows the refusal for an order too large for this machine and returns
  // true when `estimate` exceeds the budgets; the panes stay as they were.
  bool RefuseIfTooLarge(const WorkEstimate& estimate);

  // Where the iterative methods record what converges, for the charts and
  // the series file; records nothing unless a front end asked for it.
  ConvergenceLog& convergence() { return convergence_ != nullptr ? *convergence_ : no_log_; }
  void set_convergence(ConvergenceLog* log) { convergence_ = log; }

 private:
  Dialogs& dialogs_;
  std::string_view text1_;
  ResultPane& pane_;
  int digits_;
  ConvergenceLog* convergence_ = nullptr;
  ConvergenceLog no_log_{false};
};

}  // namespace matcalc
