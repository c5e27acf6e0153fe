#include "web/session.h"

#include <utility>

#include "commands/registry.h"
#include "desk/opening.h"
#include "desk/scripted_dialogs.h"
#include "desk/settings.h"
#include "text/encoding.h"

namespace matcalc::web {

template <typename Run>
Status Session::Replay(Run&& run) {
  std::vector<std::optional<std::string>> texts;
  std::vector<Reply> replies;
  for (const Answer& answer : answers_) {
    if (answer.is_input) {
      texts.push_back(answer.text);
    } else {
      replies.push_back(answer.reply);
    }
  }
  ScriptedDialogs dialogs(std::move(texts), std::move(replies), Unanswered::kPause);
  text_.clear();
  text_.shrink_to_fit();
  shows_text_ = false;
  cleared_ = false;
  try {
    run(dialogs);
    return Status::kDone;
  } catch (const AwaitingAnswer&) {
    box_is_input_ = dialogs.pending().is_input;
    input_ = dialogs.pending().input;
    message_ = dialogs.pending().message;
    return Status::kAsks;
  }
}

Status Session::RunCommand(int index, std::string_view text1, double held_bytes, int digits,
                           bool exact) {
  const auto commands = Commands();
  if (index < 0 || static_cast<std::size_t>(index) >= commands.size()) return Status::kUnknown;
  const Command& command = commands[static_cast<std::size_t>(index)];
  caption_ = command.caption;
  return Replay([&](Dialogs& dialogs) {
    // The pane starts empty here; what the command appends goes after the
    // page's text unless the command empties the pane first.
    TraceBuffer pane;
    const auto take = [&] {
      shows_text_ = pane.changed();
      cleared_ = pane.clears() != 0;
      if (shows_text_) text_ = pane.TakeText();
    };
    try {
      FrontEndCosts costs = kPageCosts;
      costs.held_bytes = held_bytes;
      costs.work_scale = work_scale_;
      matcalc::RunCommand(command, dialogs, text1, pane, digits, costs, progress_, &series_, exact);
    } catch (const AwaitingAnswer&) {
      // What the command wrote so far is shown behind the box, as the
      // window does.
      take();
      throw;
    }
    take();
  });
}

Status Session::AskDigits(int current) {
  return Replay([&](Dialogs& dialogs) {
    digits_ =
        RunAnswering(dialogs, [current](Boxes& boxes) { return AskDecimalDigits(boxes, current); });
  });
}

Status Session::OpenFile(std::string_view bytes) {
  return Replay([&](Dialogs& dialogs) {
    const OpenStep step = RunAnswering(dialogs, [&](Boxes& boxes) {
      return StepForSize(boxes, bytes.size(), kPageLargestFileBytes);
    });
    switch (step) {
      case OpenStep::kStop:
        return;
      case OpenStep::kEmpty:
        shows_text_ = true;  // both panes are emptied before the message
        RunAnswering(dialogs, [](Boxes& boxes) { return TellEmptyFile(boxes); });
        return;
      case OpenStep::kRead:
        break;
    }
    std::string text = DecodeText(std::string(bytes));
    const bool fits = RunAnswering(
        dialogs, [&](Boxes& boxes) { return TextFits(boxes, text.size(), kPageLargestFileBytes); });
    if (!fits) return;
    shows_text_ = true;
    text_ = std::move(text);
  });
}

}  // namespace matcalc::web
