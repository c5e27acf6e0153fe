// The result pane as a command sees it: a text that is emptied and appended
// to. The front end shows it once, when the command has ended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

class ResultPane {
 public:
  ResultPane() = default;
  explicit ResultPane(std::string initial) : text_(std::move(initial)) {}

  void Clear() {
    text_.clear();
    ++revision_;
  }
  ResultPane& Append(std::string_view piece) {
    text_.append(piece);
    ++revision_;
    return *this;
  }
  ResultPane& AppendNumber(double value) {
    matcalc::AppendNumber(text_, value);
    ++revision_;
    return *this;
  }
  ResultPane& AppendField24(double value) {
    matcalc::AppendField24(text_, value);
    ++revision_;
    return *this;
  }
  ResultPane& NewLine() { return Append(kCrLf); }

  const std::string& text() const { return text_; }
  // Whether a command has touched the pane (a cancelled command leaves it).
  bool changed() const { return revision_ != 0; }
  // Counts the changes, so that a front end showing the pane while a command
  // runs can tell whether there is anything new to show.
  std::uint64_t revision() const { return revision_; }

 private:
  std::string text_;
  std::uint64_t revision_ = 0;
};

}  // namespace matcalc
