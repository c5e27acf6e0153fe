// What the page asks of the core, without the browser: a command, the
// decimal-digits prompt or opening a file, run from its start each time with
// the answers the user gave so far. A box with no answer yet ends the run
// with that box pending; the page shows it, adds the answer and runs again.
// The core is deterministic, so every run takes the same path up to the new
// box. The WebAssembly binding (binding.cpp) exports this to the worker.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/convergence.h"
#include "frame/dialogs.h"
#include "frame/frame.h"
#include "frame/progress.h"

namespace matcalc::web {

// The copies the page keeps beside the core's view while a command runs,
// counted in the budgets. The edit pane's text: the page's string, its copy
// in the worker and the UTF-8 bytes made from it (the core reads those in
// place). The trace: the bytes handed to the page, which keeps them as they
// are and decodes only the lines in sight (a trace short enough for a text
// area, at most a few MiB, is decoded whole); the core's pane hands its text
// over without a copy. Every command empties the pane before it writes a
// trace, so the page never joins a trace to the old text.
inline constexpr FrontEndCosts kPageCosts{.text_copies = 3, .trace_copies = 1};

struct Answer {
  bool is_input = false;
  std::optional<std::string> text;  // input boxes: the text, or a cancel
  Reply reply = Reply::kOk;         // message boxes

  static Answer Input(std::optional<std::string> text) { return {true, std::move(text)}; }
  static Answer Message(Reply reply) { return {false, std::nullopt, reply}; }
};

enum class Status { kDone, kAsks, kUnknown };

class Session {
 public:
  // Where commands report how far they have got (none by default). The
  // page stops a command by ending its worker, so the sink is never asked
  // to stop one.
  void SetProgress(ProgressSink* sink) { progress_ = sink; }
  // How much slower than the development machine the device computes
  // (MeasureWorkScale, measured once as the page loads): the work budget
  // scales the commands' estimates by it.
  void SetWorkScale(double scale) { work_scale_ = scale; }
  double work_scale() const { return work_scale_; }

  // Answers for the next run, in the order the boxes came.
  void ClearAnswers() { answers_.clear(); }
  void Add(Answer answer) { answers_.push_back(std::move(answer)); }

  // Command `index` (menu order) on the edit pane's text (UTF-8, CR LF),
  // with the result pane held by the page (`held_bytes` of memory there)
  // and never seen here: a command never reads its trace back. Done or
  // asking: shows_text() whether the command touched the pane, cleared()
  // whether it emptied it, and text() what it appended since (after the
  // pane's old text unless cleared()); asking, what it wrote before the box.
  Status RunCommand(int index, std::string_view text1, double held_bytes, int digits,
                    bool exact = false);
  // The decimal-digits prompt; done: digits() is the new setting.
  Status AskDigits(int current);
  // A file's bytes (desk/opening.h). Done: shows_text() when the edit pane
  // takes text() and the result pane is emptied; not when the user declined
  // or the file was refused (both panes stay).
  Status OpenFile(std::string_view bytes);

  const std::string& text() const { return text_; }
  // What the last command run recorded as it converged (complete once it
  // is done).
  const ConvergenceLog& series() const { return series_; }
  // The caption of the last command run (for its chart).
  std::string_view caption() const { return caption_; }
  // Whether the pane the job concerns takes text().
  bool shows_text() const { return shows_text_; }
  bool cleared() const { return cleared_; }
  int digits() const { return digits_; }

  // The pending box after kAsks.
  bool box_is_input() const { return box_is_input_; }
  const InputRequest& input() const { return input_; }
  const MessageRequest& message() const { return message_; }

 private:
  template <typename Run>
  Status Replay(Run&& run);

  ProgressSink* progress_ = nullptr;
  double work_scale_ = 1;
  std::vector<Answer> answers_;
  bool box_is_input_ = false;
  InputRequest input_;
  MessageRequest message_;
  std::string text_;
  ConvergenceLog series_;
  std::string_view caption_;
  bool shows_text_ = false;
  bool cleared_ = false;
  int digits_ = 0;
};

}  // namespace matcalc::web
