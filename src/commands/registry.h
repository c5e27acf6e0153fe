// The commands of the Solve menu, the linear-systems menu and the matrix
// menu, in menu order. Both front ends run
// them from here and nowhere else.
#pragma once

#include <span>
#include <string_view>

#include "frame/frame.h"
#include "linalg/readers.h"
#include "text/evaluator.h"

namespace matcalc {

using CommandFunction = Task<> (*)(Frame&);

// The menu a command stands in.
enum class CommandMenu {
  kSolve,     // 求解
  kSystems,   // 方程组
  kMatrices,  // 矩阵
};

struct Command {
  std::string_view name;             // the runner's method name
  std::string_view menu_item;        // the window's menu item
  std::string_view caption;          // the menu caption
  CommandFunction run;               // null while the method is not built
  TextUse reads = TextUse::kMatrix;  // how it reads the edit pane's text
  CommandMenu menu = CommandMenu::kSolve;
};

// Whether reading `text` the way `use` says, with the text itself, the
// program and the room of the smallest run, fits in `budget_bytes` of
// memory. Every command is refused a text that does not, with
// kTextTooLargeText (frame/budget.h), before anything else happens.
bool TextFitsBudget(std::string_view text, TextUse use, double budget_bytes = kMemoryBudgetBytes);

// The longest text (in bytes of UTF-8) that a command could read within the
// memory budget: what front ends read at most. Reading a matrix text takes
// the text, its normalised copy with a closing "#" and the reading of one
// entry (TextReadingBytes), whatever the entries are, beside the program and
// the smallest run.
inline constexpr std::size_t kLargestTextBytes =
    (static_cast<std::size_t>(kMemoryBudgetBytes - kProgramBytes - kSmallestRunBytes) -
     kEntryReadingBytes - 1) /
    2;

// All of them, in the order of the Solve menu, then the linear-systems menu,
// then the matrix menu.
std::span<const Command> Commands();

// The command with this runner name or menu item name, or null.
const Command* FindCommand(std::string_view name);

// How a command ended.
enum class Outcome {
  kRan,      // to its end, or to an end of its own (a cancelled prompt, a refusal)
  kStopped,  // the user asked it to stop: it ends like a cancelled prompt
};

// One command run box by box: Start runs it to its first box or its end;
// the front end shows pending() and Answers it, which runs it on to the next
// box or its end. It keeps its state between the boxes, for as long as the
// front end keeps this object: nothing is computed twice. `text1` and `pane`
// must outlive it.
//
// `front_end` says what the calling front end keeps beside the panes (copies
// of the text and the trace); the budgets count it. With a `progress` sink
// the command reports how far it is and learns when the user asked it to
// stop; with a `series` log, emptied first, the iterative methods record
// what converges. `exact`: the exact-fractions setting. A text too large for
// the memory budget is refused with a message box and both panes stay.
class RunningCommand {
 public:
  RunningCommand(const Command& command, std::string_view text1, TraceBuffer& pane, int digits,
                 const FrontEndCosts& front_end, ProgressSink* progress = nullptr,
                 ConvergenceLog* series = nullptr, bool exact = false);
  ~RunningCommand();
  RunningCommand(const RunningCommand&) = delete;
  RunningCommand& operator=(const RunningCommand&) = delete;

  void Start();
  bool done() const { return done_; }
  // While not done: the box the command waits at (what it wrote before the
  // box is in the pane).
  const Box& pending() const { return run_.pending(); }
  void Answer(std::optional<std::string> text);
  void Answer(Reply reply);
  // Shows the pending box through `dialogs` and answers it.
  void AnswerFrom(Dialogs& dialogs);
  // Ends the command at once, also while it waits at a box: it ends as a
  // stopped one does, the pane emptied and untouched.
  void Stop();
  // Once done.
  Outcome outcome() const { return outcome_; }
  // How many times the command took the edit pane's text (Frame::text1).
  int text_looks() const { return frame_.text_looks(); }

 private:
  Task<> Body();
  void Settle();

  const Command& command_;
  std::string_view text1_;
  TraceBuffer& pane_;
  Progress progress_;
  UnitMeter trace_meter_;
  Suspended<> run_;
  Frame frame_;
  bool done_ = false;
  Outcome outcome_ = Outcome::kRan;
};

// Runs `command` on `text1`, appending to `pane`, answering its boxes from
// `dialogs` as they come (see RunningCommand). A stopped command leaves
// `pane` empty and untouched (changed() is false), so a front end keeps
// showing what it showed before the command.
Outcome RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                   TraceBuffer& pane, int digits, const FrontEndCosts& front_end,
                   ProgressSink* progress = nullptr, ConvergenceLog* series = nullptr,
                   bool exact = false);

// Runs `command` on `text1` with a result pane that starts as `text2`. The
// pane reports whether the command touched it.
TraceBuffer RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                       std::string text2, int digits, const FrontEndCosts& front_end,
                       ConvergenceLog* series = nullptr, bool exact = false);

}  // namespace matcalc
