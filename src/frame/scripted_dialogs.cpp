#include "frame/scripted_dialogs.h"

#include "text/text_util.h"

namespace matcalc {

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

std::string DescribeBox(const ShownBox& box) {
  auto flat = [](const std::string& text) { return ReplaceAll(text, kCrLf, "\\n"); };
  std::string line;
  if (box.is_input) {
    line = "input\t" + box.input.title + '\t' + flat(box.input.prompt) + '\t' +
           box.input.default_text + '\t' + (box.answer ? *box.answer : "(cancel)");
  } else {
    const char* reply = box.reply == Reply::kYes ? "yes" : box.reply == Reply::kNo ? "no" : "ok";
    line = "message\t" + box.message.title + '\t' + flat(box.message.text) + '\t' +
           (box.message.buttons == Buttons::kOk ? "ok" : "yesno") + '\t' + reply;
  }
  return line;
}

}  // namespace matcalc
