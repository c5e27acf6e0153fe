#include "frame/frame.h"

#include "linalg/readers.h"
#include "text/leading_number.h"
#include "text/text_util.h"

namespace matcalc {

Task<std::optional<std::string>> Frame::Ask(std::string_view prompt, std::string_view title,
                                            std::string_view default_text) {
  InputRequest request{std::string(prompt), std::string(title), std::string(default_text)};
  std::optional<std::string> answer = co_await boxes_.Input(std::move(request));
  // A stop asked for while the box was up ends the command here.
  progress_.Poll();
  if (!answer) co_return std::nullopt;
  co_return std::string(TrimSpaces(*answer));
}

Task<std::optional<std::string>> Frame::AskNonEmpty(std::string_view prompt, std::string_view title,
                                                    std::string_view default_text) {
  std::optional<std::string> answer = co_await Ask(prompt, title, default_text);
  if (!answer || answer->empty()) co_return std::nullopt;
  co_return answer;
}

Task<> Frame::Inform(std::string_view text, std::string_view title, Icon icon) {
  MessageRequest request;
  request.text = std::string(text);
  request.title = std::string(title);
  request.icon = icon;
  co_await Message(std::move(request));
}

Task<Reply> Frame::Message(MessageRequest request) {
  const Reply reply = co_await boxes_.Message(std::move(request));
  progress_.Poll();
  co_return reply;
}

Task<std::optional<int>> Frame::AskOrder(std::string_view prompt, std::string_view title,
                                         std::string_view default_text, int minimum) {
  const std::optional<std::string> answer = co_await AskNonEmpty(prompt, title, default_text);
  if (!answer) co_return std::nullopt;
  const std::optional<std::int16_t> n = ToInt16(LeadingNumber(*answer));
  if (!n || *n < minimum) co_return std::nullopt;
  co_return *n;
}

BudgetNeeds Frame::Needs(const WorkEstimate& estimate) const { return Needs(estimate, front_end_); }

BudgetNeeds Frame::Needs(const WorkEstimate& estimate, const FrontEndCosts& front_end) const {
  WorkEstimate whole = estimate;
  if (convergence_ != nullptr && convergence_->enabled()) {
    whole.bytes += estimate.series_points * (kSeriesPointBytes + front_end.series_point_bytes);
    whole.nanoseconds += estimate.series_points * (kSeriesPointNs + front_end.series_point_ns);
  }
  // Every command with an order reads a matrix.
  return TotalNeeds(whole, static_cast<double>(text1_.size()),
                    static_cast<double>(TextReadingBytes(text1_, TextUse::kMatrix)), front_end);
}

Task<bool> Frame::RefuseIfTooLarge(WorkEstimate estimate, bool by_text) {
  // No order would do when the text, with the copies of it the front end
  // keeps (but not what the front end holds from before), leaves no room
  // for the smallest run.
  FrontEndCosts text_only = front_end_;
  text_only.held_bytes = 0;
  const bool text_decides =
      by_text ||
      !FitsBudget(
          TotalNeeds({kSmallestRunBytes, 0, 0}, static_cast<double>(text1_.size()),
                     static_cast<double>(TextReadingBytes(text1_, TextUse::kMatrix)), text_only),
          front_end_.work_scale);
  return Refuse(estimate, text_decides ? kTextTooLargeText : kOrderTooLargeText);
}

Task<bool> Frame::RefuseIfNumbersTooLong(WorkEstimate estimate) {
  return Refuse(estimate, kNumbersTooLongText);
}

Task<bool> Frame::Refuse(WorkEstimate estimate, std::string_view refusal) {
  const BudgetNeeds needs = Needs(estimate);
  if (FitsBudget(needs, front_end_.work_scale)) {
    pane_.ReserveTrace(static_cast<std::size_t>(estimate.trace_bytes));
    progress_.SetTotal(needs.nanoseconds);
    co_return false;
  }
  // The result pane's earlier text costs memory only; when the run fits
  // without it, emptying the pane is what the user has to do.
  FrontEndCosts without_pane = front_end_;
  without_pane.held_bytes = 0;
  const bool pane_decides =
      front_end_.held_bytes > 0 && FitsBudget(Needs(estimate, without_pane), front_end_.work_scale);
  co_await Inform(pane_decides ? kPaneTooFullText : refusal);
  co_return true;
}

}  // namespace matcalc
