#include "text/expression_stream.h"

#include <algorithm>

namespace matcalc {
namespace {

bool IsSign(int c) { return c == '+' || c == '-'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

ExpressionStream::ExpressionStream(std::string_view entry) : entry_(entry) {
  auto replace = [](std::string_view from, std::string_view to) {
    Stage stage;
    stage.from = from;
    stage.to = to;
    return stage;
  };
  auto kind = [](Kind k) {
    Stage stage;
    stage.kind = k;
    return stage;
  };
  // In the order the normalisation applies them; then what the evaluation
  // adds: x as (0) and the closing "#".
  static_assert(kMarkSignsStage == 6);
  stages_ = {{replace("f(x)=", ""), replace("f(x)", ""), kind(Kind::kCut), kind(Kind::kCase),
              replace("e+", "E+"), replace("e-", "E-"), kind(Kind::kMarkSigns),
              replace("pi", "+3.14159265358979"), kind(Kind::kZeroFirst), replace("exp", "eyp"),
              replace("log10", "lgg"), replace("log2", "lg2"), replace("E-+", "E-"),
              replace("E++", "E+"), replace("x", "(0)"), replace("eyp", "exp"),
              kind(Kind::kClose)}};
}

// Most characters of a long entry (digits, points, blanks, "#") are given on
// unchanged by every stage, and once no stage holds anything back they go
// straight from the entry to the end of the chain.
int ExpressionStream::Next() {
  if (idle_ && next_ < entry_.size()) {
    const char c = entry_[next_];
    if (IsDigit(c) || c == '.' || c == '\t' || c == '\n' || c == '#' || c == '*' || c == '/' ||
        c == '^' || c == '(' || c == ')') {
      ++next_;
      stages_[kMarkSignsStage].before = static_cast<unsigned char>(c);
      any_ = true;
      return static_cast<unsigned char>(c);
    }
  }
  const int c = Pull(kStages);
  idle_ = Idle();
  return c;
}

bool ExpressionStream::Idle() const {
  for (const Stage& s : stages_) {
    if (!s.out.empty() || s.ahead_size > 0) return false;
    if (s.kind == Kind::kZeroFirst && !s.ended) return false;
    if ((s.kind == Kind::kCut || s.kind == Kind::kClose) && s.ended) return false;
  }
  return true;
}

char ExpressionStream::TakeAhead(Stage& stage) {
  const char c = stage.ahead[0];
  std::copy(stage.ahead.begin() + 1, stage.ahead.begin() + stage.ahead_size, stage.ahead.begin());
  --stage.ahead_size;
  return c;
}

// What stage `stage` gives next; stage 0 is the entry itself.
int ExpressionStream::Pull(std::size_t stage) {
  if (stage == 0) {
    return next_ < entry_.size() ? static_cast<unsigned char>(entry_[next_++]) : kEnd;
  }
  Stage& s = stages_[stage - 1];
  switch (s.kind) {
    case Kind::kReplace:
      return PullReplace(stage);
    case Kind::kCut: {
      // Everything from the first "=" on is dropped.
      if (s.ended) return kEnd;
      const int c = Pull(stage - 1);
      if (c == '=') {
        cut_ = Pull(stage - 1) != kEnd;
        s.ended = true;
        return kEnd;
      }
      if (c == kEnd) s.ended = true;
      return c;
    }
    case Kind::kCase:
      while (true) {
        const int c = Pull(stage - 1);
        if (c == ' ') continue;
        return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
      }
    case Kind::kMarkSigns: {
      // A sign after an operand and before a number gets a "+" after it.
      if (!s.out.empty()) {
        const char c = s.out.front();
        s.out.remove_prefix(1);
        return static_cast<unsigned char>(c);
      }
      const int c = s.ahead_size > 0 ? static_cast<unsigned char>(TakeAhead(s)) : Pull(stage - 1);
      if (c == kEnd) return kEnd;
      const int before = s.before;
      s.before = c;
      if (!IsSign(c) || before == kEnd) return c;
      const int next = Pull(stage - 1);
      if (next == kEnd) return c;
      s.ahead[0] = static_cast<char>(next);
      s.ahead_size = 1;
      const bool number_follows = IsDigit(next) || next == '.';
      const bool exempt = before == '+' || before == '-' || before == '(' || before == '*' ||
                          before == '/' || before == '\\' || before == '^';
      if (number_follows && !exempt) s.out = "+";
      return c;
    }
    case Kind::kZeroFirst:
      // A sign before a name or "(" at the very start gets a 0 in front.
      if (!s.ended) {
        s.ended = true;  // here: the first two characters have been looked at
        const int first = Pull(stage - 1);
        if (first == kEnd) return kEnd;
        s.ahead[s.ahead_size++] = static_cast<char>(first);
        const int second = Pull(stage - 1);
        if (second != kEnd) {
          s.ahead[s.ahead_size++] = static_cast<char>(second);
          if (IsSign(first) && ((second >= 'a' && second <= 'z') || second == '(')) return '0';
        }
      }
      if (s.ahead_size > 0) return static_cast<unsigned char>(TakeAhead(s));
      return Pull(stage - 1);
    case Kind::kClose: {
      if (s.ended) return kEnd;
      const int c = Pull(stage - 1);
      if (c != kEnd) {
        any_ = true;
        return c;
      }
      s.ended = true;
      return '#';
    }
  }
  return kEnd;
}

// The left-to-right replacement of `from` by `to`: at each position either
// `from` starts there and `to` is given instead, or the one character is.
int ExpressionStream::PullReplace(std::size_t stage) {
  Stage& s = stages_[stage - 1];
  while (true) {
    if (!s.out.empty()) {
      const char c = s.out.front();
      s.out.remove_prefix(1);
      return static_cast<unsigned char>(c);
    }
    if (s.ahead_size == 0) {
      // Only a character that starts `from` needs the ones after it.
      const int c = s.ended ? kEnd : Pull(stage - 1);
      if (c == kEnd) {
        s.ended = true;
        return kEnd;
      }
      if (s.from.empty() || c != static_cast<unsigned char>(s.from.front())) return c;
      s.ahead[s.ahead_size++] = static_cast<char>(c);
    }
    while (s.ahead_size < s.from.size() && !s.ended) {
      const int c = Pull(stage - 1);
      if (c == kEnd) {
        s.ended = true;
      } else {
        s.ahead[s.ahead_size++] = static_cast<char>(c);
      }
    }
    if (s.ahead_size == 0) return kEnd;
    if (!s.from.empty() && s.ahead_size == s.from.size() &&
        std::string_view(s.ahead.data(), s.ahead_size) == s.from) {
      s.ahead_size = 0;
      s.out = s.to;
      continue;
    }
    return static_cast<unsigned char>(TakeAhead(s));
  }
}

}  // namespace matcalc
