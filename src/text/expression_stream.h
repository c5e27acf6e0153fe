// The normalised expression of an entry, made a character at a time as the
// evaluation reads it. It holds the same characters the normalisation makes
// in whole copies (f(x) dropped, the cut at "=", case, spaces, marked signs,
// pi, the function aliases, x, the closing "#"), but in a few hundred bytes
// however long the entry is and however much its constants expand: each
// replacement is a stage that looks a few characters ahead in the stage
// before it. A copy reads on from where the original stands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace matcalc {

class ExpressionStream {
 public:
  static constexpr int kEnd = -1;

  explicit ExpressionStream(std::string_view entry);

  // The next character (0 to 255), kEnd after the closing "#".
  int Next();
  // Whether text after an "=" was dropped; known once the "=" has been read.
  bool cut() const { return cut_; }
  // Whether the expression before the closing "#" is empty; known once the
  // "#" has been read.
  bool empty() const { return !any_; }

 private:
  enum class Kind : std::uint8_t { kReplace, kCut, kCase, kMarkSigns, kZeroFirst, kClose };
  struct Stage {
    Kind kind = Kind::kReplace;
    std::string_view from;  // kReplace: replaced by `to`
    std::string_view to;
    std::string_view out;         // characters to give before anything else
    std::array<char, 8> ahead{};  // characters read from the stage before, not yet given
    std::uint8_t ahead_size = 0;
    bool ended = false;  // the stage before has ended (kCut, kClose: this one)
    int before = kEnd;   // kMarkSigns: the character given before
  };
  static constexpr std::size_t kStages = 17;

  static constexpr std::size_t kMarkSignsStage = 6;

  bool Idle() const;
  int Pull(std::size_t stage);
  int PullReplace(std::size_t stage);
  static char TakeAhead(Stage& stage);

  std::string_view entry_;
  std::size_t next_ = 0;
  std::array<Stage, kStages> stages_;
  bool cut_ = false;
  bool any_ = false;
  bool idle_ = false;  // no stage holds anything back
};

}  // namespace matcalc
