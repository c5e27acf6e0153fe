// The result pane as a command sees it: a text that is emptied and appended
// to. The front end shows it once, when the command has ended.
#pragma once

#include <string>
#include <string_view>

#include "io/number_text.h"
#include "io/text_util.h"

namespace matcalc {

class ResultPane {
 public:
  ResultPane() = default;
  explicit ResultPane(std::string initial) : text_(std::move(initial)) {}

  void Clear() {
    text_.clear();
    changed_ = true;
  }
  ResultPane& Append(std::string_view piece) {
    text_.append(piece);
    changed_ = true;
    return *this;
  }
  ResultPane& AppendNumber(double value) {
    matcalc::AppendNumber(text_, value);
    changed_ = true;
    return *this;
  }
  ResultPane& AppendField24(double value) {
    matcalc::AppendField24(text_, value);
    changed_ = true;
    return *this;
  }
  ResultPane& NewLine() { return Append(kCrLf); }

  const std::string& text() const { return text_; }
  std::string TakeText() { return std::move(text_); }
  // Whether a command has touched the pane (a cancelled command leaves it).
  bool changed() const { return changed_; }

 private:
  std::string text_;
  bool changed_ = false;
};

}  // namespace matcalc
