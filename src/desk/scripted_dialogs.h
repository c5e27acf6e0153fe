// Dialogs answered from queues of answers, for the runner and the tests:
// input boxes take the given texts in order, questions the given replies.
// Once a queue is used up, a box takes its default (an input box is
// cancelled, a question takes its default button). Every box shown is
// recorded.
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

class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs(std::vector<std::string> answers = {}, std::vector<Reply> replies = {});

  std::optional<std::string> Input(const InputRequest& request) override;
  Reply Message(const MessageRequest& request) override;

  const std::vector<ShownBox>& shown() const { return shown_; }

  // One line per box, as the runner reports them on stderr.
  std::string Log() const;

 private:
  std::vector<std::optional<std::string>> answers_;
  std::vector<Reply> replies_;
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
