// What the page asks of the core, without the browser: a command, the
// decimal-digits prompt or opening a file. A job runs until it waits at a
// box, or to its end; the page shows the box and answers it, and the job
// goes on from that box with all it had computed (it runs once, however many
// boxes it asks). The WebAssembly binding (binding.cpp) exports this to the
// worker, which keeps the job's input bytes until the job has ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/registry.h"
#include "frame/boxes.h"
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
// area, at most a few MiB, is decoded whole). The core hands over what it
// wrote at each box and at the end, and drops its own once the page has its
// copy, so a trace is never held whole twice for long. Every command empties
// the pane before it writes a trace, so the page never joins a trace to the
// old text.
inline constexpr FrontEndCosts kPageCosts{.text_copies = 3, .trace_copies = 1};

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

  // Each of these starts a job, ending the one before, and runs it to its
  // first box or its end. Command `index` (menu order) on the edit pane's
  // text (UTF-8, CR LF), with the result pane held by the page (`held_bytes`
  // of memory there) and never seen here: a command never reads its trace
  // back. The command hands its trace over piece by piece, at each box and
  // at its end: shows_text() whether it has touched the pane at all,
  // cleared() whether it emptied it since the last hand-over, and text()
  // what it appended since (after what the page's pane holds unless
  // cleared()). So what the page was given at a box is not given again.
  // `text1` must stay until the job has ended. `exact`: the exact-fractions
  // setting.
  Status RunCommand(int index, std::string_view text1, double held_bytes, int digits,
                    bool exact = false);
  // The decimal-digits prompt; done: digits() is the new setting.
  Status AskDigits(int current);
  // A file's bytes (desk/opening.h), which must stay until the job has
  // ended. Done: shows_text() when the edit pane takes text() and the result
  // pane is emptied; not when the user declined or the file was refused
  // (both panes stay).
  Status OpenFile(std::string_view bytes);

  // The answer to the pending box (an input box's text or a cancel, a
  // message box's button): the job goes on to its next box or its end.
  // kUnknown when no job waits for that kind of answer.
  Status AnswerInput(std::optional<std::string> text);
  Status AnswerMessage(Reply reply);
  // Ends the job where it waits, if one does.
  void End();

  // Valid until the session is next called, or DropText.
  std::string_view text() const { return text_; }
  // Frees text() once the page has its copy.
  void DropText() { std::string().swap(text_); }
  // How many times the last command took the edit pane's text
  // (Frame::text1), however many boxes it asked.
  int text_looks() const { return text_looks_; }
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
  bool box_is_input() const { return box().is_input; }
  const InputRequest& input() const { return box().input; }
  const MessageRequest& message() const { return box().message; }

 private:
  const Box& box() const;
  void Begin();
  // Where the job stands after it ran: asking or done.
  Status Settle();
  Task<> AskDigitsTask(Boxes& boxes, int current);
  Task<> OpenFileTask(Boxes& boxes, std::string_view bytes);

  ProgressSink* progress_ = nullptr;
  double work_scale_ = 1;
  // The job: a command with the pane it writes (which outlives it), or one
  // of the others.
  TraceBuffer pane_;
  std::unique_ptr<RunningCommand> command_;
  Suspended<> other_;
  // What the job hands over now; for a command, what it wrote since the
  // last hand-over.
  std::string text_;
  std::uint64_t clears_handed_ = 0;
  int text_looks_ = 0;
  ConvergenceLog series_;
  std::string_view caption_;
  bool shows_text_ = false;
  bool cleared_ = false;
  int digits_ = 0;
};

}  // namespace matcalc::web
