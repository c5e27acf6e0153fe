#include "frame/frame.h"

#include "linalg/readers.h"
#include "text/leading_number.h"
#include "text/text_util.h"

namespace matcalc {

std::optional<std::string> Frame::Ask(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) {
  std::optional<std::string> answer =
      dialogs_.Input({std::string(prompt), std::string(title), std::string(default_text)});
  // A stop asked for while the box was up ends the command here.
  progress_.Poll();
  if (!answer) return std::nullopt;
  return std::string(TrimSpaces(*answer));
}

std::optional<std::string> Frame::AskNonEmpty(std::string_view prompt, std::string_view title,
                                              std::string_view default_text) {
  std::optional<std::string> answer = Ask(prompt, title, default_text);
  if (!answer || answer->empty()) return std::nullopt;
  return answer;
}

void Frame::Inform(std::string_view text, std::string_view title, Icon icon) {
  MessageRequest request;
  request.text = std::string(text);
  request.title = std::string(title);
  request.icon = icon;
  Message(request);
}

Reply Frame::Message(const MessageRequest& request) {
  const Reply reply = dialogs_.Message(request);
  progress_.Poll();
  return reply;
}

std::optional<int> Frame::AskOrder(std::string_view prompt, std::string_view title,
                                   std::string_view default_text, int minimum) {
  const std::optional<std::string> answer = AskNonEmpty(prompt, title, default_text);
  if (!answer) return std::nullopt;
  const std::optional<std::int16_t> n = ToInt16(LeadingNumber(*answer));
  if (!n || *n < minimum) return std::nullopt;
  return *n;
}

BudgetNeeds Frame::Needs(const WorkEstimate& estimate) const {
  // Every command with an order reads a matrix.
  return TotalNeeds(estimate, static_cast<double>(text1_.size()),
                    static_cast<double>(TextReadingBytes(text1_, TextUse::kMatrix)), front_end_);
}

bool Frame::RefuseIfTooLarge(const WorkEstimate& estimate) {
  if (FitsBudget(Needs(estimate), front_end_.work_scale)) {
    pane_.ReserveTrace(static_cast<std::size_t>(estimate.trace_bytes));
    progress_.SetTotal(Needs(estimate).nanoseconds);
    return false;
  }
  Inform(kOrderTooLargeText);
  return true;
}

bool Frame::RefuseIfNumbersTooLong(const WorkEstimate& estimate) {
  if (FitsBudget(Needs(estimate), front_end_.work_scale)) {
    pane_.ReserveTrace(static_cast<std::size_t>(estimate.trace_bytes));
    progress_.SetTotal(Needs(estimate).nanoseconds);
    return false;
  }
  Inform(kNumbersTooLongText);
  return true;
}

}  // namespace matcalc
