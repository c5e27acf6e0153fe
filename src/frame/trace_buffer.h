// The trace a command writes: the result pane as the command sees it, a text
// that is emptied and appended to. A front end shows it in its result pane as
// it grows or when the command has ended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "linalg/work_meter.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

class TraceBuffer {
 public:
  TraceBuffer() = default;
  explicit TraceBuffer(std::string initial) : text_(std::move(initial)) {}

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
    ++clears_;
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
  TraceBuffer& Append(std::string_view piece) {
    text_.append(piece);
    return Written(piece.size());
  }
  TraceBuffer& AppendNumber(double value) {
    const std::size_t before = text_.size();
    matcalc::AppendNumber(text_, value);
    return Written(text_.size() - before);
  }
  TraceBuffer& AppendField24(double value) {
    const std::size_t before = text_.size();
    matcalc::AppendField24(text_, value);
    return Written(text_.size() - before);
  }
  TraceBuffer& AppendFields24(const double* values, std::size_t count) {
    const std::size_t before = text_.size();
    matcalc::AppendFields24(text_, values, count);
    return Written(text_.size() - before);
  }
  TraceBuffer& NewLine() { return Append(kCrLf); }

  const std::string& text() const { return text_; }
  // Whether a command has touched the pane (a cancelled command leaves it).
  bool changed() const { return revision_ != 0; }
  // Counts the changes, so that a front end showing the pane while a command
  // runs can tell whether there is anything new to show.
  std::uint64_t revision() const { return revision_; }
  // How often the pane was emptied: a front end that shows the trace piece
  // by piece starts afresh when this changes.
  std::uint64_t clears() const { return clears_; }

  // Hands the text written since the last hand-over to a front end that
  // shows the trace as it grows, so that it is never held twice; the pane
  // goes on from empty. This is no Clear: changed(), revision() and clears()
  // go on counting. A command never reads its own trace back.
  std::string TakeText() { return std::exchange(text_, std::string()); }

  // Writing the trace is work too: every byte appended is counted on
  // `meter` (none: not counted).
  void SetMeter(WorkMeter* meter) { meter_ = meter; }

 private:
  TraceBuffer& Written(std::size_t bytes) {
    ++revision_;
    Advance(meter_, static_cast<double>(bytes));
    return *this;
  }

  std::string text_;
  std::size_t reserve_ = 0;  // room to make at the next Clear
  std::uint64_t revision_ = 0;
  std::uint64_t clears_ = 0;
  WorkMeter* meter_ = nullptr;
};

}  // namespace matcalc
