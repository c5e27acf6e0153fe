#include "web/session.h"

#include <utility>

#include "commands/registry.h"
#include "desk/opening.h"
#include "desk/settings.h"
#include "text/encoding.h"

namespace matcalc::web {

void Session::Begin() {
  End();
  DropText();
  clears_handed_ = 0;
  text_looks_ = 0;
  shows_text_ = false;
  cleared_ = false;
}

void Session::End() {
  command_.reset();
  pane_ = TraceBuffer();
  other_.Abandon();
}

const Box& Session::box() const { return command_ ? command_->pending() : other_.pending(); }

Status Session::Settle() {
  if (command_) {
    // What the command wrote since the last hand-over goes to the page (the
    // pane goes on from empty, keeping its counts), so that nothing is
    // handed over twice.
    shows_text_ = pane_.changed();
    cleared_ = pane_.clears() != clears_handed_;
    clears_handed_ = pane_.clears();
    text_ = pane_.TakeText();
    text_looks_ = command_->text_looks();
    if (!command_->done()) return Status::kAsks;
    command_.reset();
    pane_ = TraceBuffer();
    return Status::kDone;
  }
  if (!other_.done()) return Status::kAsks;
  // What the job threw comes out here; the job has ended either way.
  try {
    other_.Result();
  } catch (...) {
    other_.Abandon();
    throw;
  }
  other_.Abandon();
  return Status::kDone;
}

Status Session::RunCommand(int index, std::string_view text1, double held_bytes, int digits,
                           bool exact) {
  const auto commands = Commands();
  if (index < 0 || static_cast<std::size_t>(index) >= commands.size()) return Status::kUnknown;
  const Command& command = commands[static_cast<std::size_t>(index)];
  Begin();
  caption_ = command.caption;
  FrontEndCosts costs = kPageCosts;
  costs.held_bytes = held_bytes;
  costs.work_scale = work_scale_;
  // The pane starts empty here; what the command appends goes after the
  // page's text unless the command empties the pane first.
  command_ = std::make_unique<RunningCommand>(command, text1, pane_, digits, costs, progress_,
                                              &series_, exact);
  try {
    command_->Start();
  } catch (...) {
    End();
    throw;
  }
  return Settle();
}

Status Session::AnswerInput(std::optional<std::string> text) {
  if (command_ && !command_->done() && command_->pending().is_input) {
    try {
      command_->Answer(std::move(text));
    } catch (...) {
      End();
      throw;
    }
    return Settle();
  }
  if (!command_ && other_.started() && !other_.done() && other_.pending().is_input) {
    other_.Answer(std::move(text));
    return Settle();
  }
  return Status::kUnknown;
}

Status Session::AnswerMessage(Reply reply) {
  if (command_ && !command_->done() && !command_->pending().is_input) {
    try {
      command_->Answer(reply);
    } catch (...) {
      End();
      throw;
    }
    return Settle();
  }
  if (!command_ && other_.started() && !other_.done() && !other_.pending().is_input) {
    other_.Answer(reply);
    return Settle();
  }
  return Status::kUnknown;
}

Task<> Session::AskDigitsTask(Boxes& boxes, int current) {
  digits_ = co_await AskDecimalDigits(boxes, current);
}

Status Session::AskDigits(int current) {
  Begin();
  other_.Start(AskDigitsTask(other_.boxes(), current));
  return Settle();
}

Task<> Session::OpenFileTask(Boxes& boxes, std::string_view bytes) {
  const OpenStep step = co_await StepForSize(boxes, bytes.size(), kPageLargestFileBytes);
  switch (step) {
    case OpenStep::kStop:
      co_return;
    case OpenStep::kEmpty:
      shows_text_ = true;  // both panes are emptied before the message
      co_await TellEmptyFile(boxes);
      co_return;
    case OpenStep::kRead:
      break;
  }
  std::string text = DecodeText(std::string(bytes));
  const bool fits = co_await TextFits(boxes, text.size(), kPageLargestFileBytes);
  if (!fits) co_return;
  shows_text_ = true;
  text_ = std::move(text);
}

Status Session::OpenFile(std::string_view bytes) {
  Begin();
  other_.Start(OpenFileTask(other_.boxes(), bytes));
  return Settle();
}

}  // namespace matcalc::web
