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
    if (reserve_ > text_.capacity()) {
      // The old text goes before the room for the new one is taken.
      std::string().swap(text_);
      text_.reserve(reserve_);
    } else {
      text_.clear();
    }
    reserve_ = 0;
    ++revision_;
  }
  // Makes room for a trace of `bytes` in one piece, so that it never grows by
  // copying (a growing text briefly holds its old and its new buffer): at
  // once when the pane is empty, otherwise when it is next emptied. The text
  // does not change. Where the system commits memory as it is written (Linux,
  // Windows, macOS), room not written to costs none.
  void ReserveTrace(std::size_t bytes) {
    reserve_ = bytes;
    if (text_.empty() && reserve_ > text_.capacity()) {
      text_.reserve(reserve_);
      reserve_ = 0;
    }
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
  std::size_t reserve_ = 0;  // room to make at the next Clear
  std::uint64_t revision_ = 0;
};

}  // namespace matcalc
