#include "desk/scripted_dialogs.h"

#include <string_view>

namespace matcalc {

ScriptedDialogs::ScriptedDialogs(std::vector<std::string> answers, std::vector<Reply> replies)
    : answers_(answers.begin(), answers.end()), replies_(std::move(replies)) {}

std::optional<std::string> ScriptedDialogs::Input(const InputRequest& request) {
  ShownBox box;
  box.is_input = true;
  box.input = request;
  if (next_answer_ < answers_.size()) box.answer = answers_[next_answer_++];
  shown_.push_back(box);
  return box.answer;
}

Reply ScriptedDialogs::Message(const MessageRequest& request) {
  ShownBox box;
  box.message = request;
  if (request.buttons == Buttons::kOk) {
    box.reply = Reply::kOk;
  } else if (next_reply_ < replies_.size()) {
    box.reply = replies_[next_reply_++];
  } else {
    // A question without a default of its own defaults to its first button.
    box.reply = request.default_button == Reply::kNo ? Reply::kNo : Reply::kYes;
  }
  shown_.push_back(box);
  return box.reply;
}

std::string ScriptedDialogs::Log() const {
  std::string log;
  for (const ShownBox& box : shown_) {
    log += DescribeBox(box);
    log += '\n';
  }
  return log;
}

std::string EscapeLogField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') {
          out += "\\n";
          ++i;
        } else {
          out += "\\r";
        }
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += text[i];
    }
  }
  return out;
}

std::string DescribeBox(const ShownBox& box) {
  std::string line;
  if (box.is_input) {
    std::string answer = "(cancel)";
    if (box.answer) {
      answer = EscapeLogField(*box.answer);
      // A typed "(cancel)" is told from a cancelled box by its backslash.
      if (answer == "(cancel)") answer = "\\(cancel)";
    }
    line = "input\t" + EscapeLogField(box.input.title) + '\t' + EscapeLogField(box.input.prompt) +
           '\t' + EscapeLogField(box.input.default_text) + '\t' + answer;
  } else {
    const char* reply = box.reply == Reply::kYes ? "yes" : box.reply == Reply::kNo ? "no" : "ok";
    line = "message\t" + EscapeLogField(box.message.title) + '\t' +
           EscapeLogField(box.message.text) + '\t' +
           (box.message.buttons == Buttons::kOk ? "ok" : "yesno") + '\t' + reply;
  }
  return line;
}

}  // namespace matcalc
