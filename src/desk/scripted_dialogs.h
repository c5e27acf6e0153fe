// Dialogs answered from queues of answers, for the runner, the tests and the
// page's replay: input boxes take the given texts in order, questions the
// given replies. Once a queue is used up, a box either takes its default (an
// input box is cancelled, a question takes its default button) or pauses the
// run until someone answers it. Every box shown is recorded.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/dialogs.h"

namespace matcalc {

struct ShownBox {
  bool is_input = false;
  InputRequest input;
  MessageRequest message;
  std::optional<std::string> answer;  // input boxes: the text, or a cancel
  Reply reply = Reply::kOk;           // message boxes
};

// What a box meets when its queue is used up.
enum class Unanswered {
  kDefault,  // the runner and the tests: the box takes its default
  // The page's replay: the box is not shown here, AwaitingAnswer is thrown
  // and the box is pending(); message boxes with only OK wait for their
  // reply too, as the page shows every box.
  kPause,
};

// Thrown by a paused box out of the command that showed it.
struct AwaitingAnswer {};

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs(std::vector<std::string> answers = {}, std::vector<Reply> replies = {});
  // An input answer may be a cancel (nullopt).
  ScriptedDialogs(std::vector<std::optional<std::string>> answers, std::vector<Reply> replies,
                  Unanswered unanswered);

  std::optional<std::string> Input(const InputRequest& request) override;
  Reply Message(const MessageRequest& request) override;

  const std::vector<ShownBox>& shown() const { return shown_; }
  // The box that paused the run (after AwaitingAnswer).
  const ShownBox& pending() const { return pending_; }

  // One line per box, as the runner reports them on stderr.
  std::string Log() const;

 private:
  std::vector<std::optional<std::string>> answers_;
  std::vector<Reply> replies_;
  Unanswered unanswered_ = Unanswered::kDefault;
  ShownBox pending_;
  std::size_t next_answer_ = 0;
  std::size_t next_reply_ = 0;
  std::vector<ShownBox> shown_;
};

// The runner's line for one box (without the final line feed): fields
// separated by tabs. Every field stays on its line: a CR LF or a lone LF is
// written \n, a lone CR \r, a tab \t and a backslash \\. A cancelled input
// box shows (cancel), a typed answer "(cancel)" \(cancel).
std::string DescribeBox(const ShownBox& box);

// A text as one field of such a line.
std::string EscapeLogField(std::string_view text);

}  // namespace matcalc
