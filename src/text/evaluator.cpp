#include "text/evaluator.h"
#include "text/exact_entry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "text/expression_stream.h"
#include "text/float_chars.h"
#include "text/leading_number.h"
#include "text/number_text.h"
#include "text/portable_math.h"
#include "text/rational.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

constexpr int kStepLimit = 5000;

// The pi the entries see: a 15-digit constant, not the full-precision value.
constexpr std::string_view kPiText = "+3.14159265358979";

struct FunctionName {
  std::string_view name;
  Operator function;
};

constexpr std::array<FunctionName, 10> kFunctionNames = {{{"sin", Operator::kSin},
                                                          {"cos", Operator::kCos},
                                                          {"tan", Operator::kTan},
                                                          {"exp", Operator::kExp},
                                                          {"sqr", Operator::kSqr},
                                                          {"abs", Operator::kAbs},
                                                          {"log", Operator::kLog},
                                                          {"atn", Operator::kAtn},
                                                          {"lgg", Operator::kLog10},
                                                          {"lg2", Operator::kLog2}}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }

// The function whose three-letter name starts at `pos`, or kBottom.
Operator FunctionAt(std::string_view s, std::size_t pos) {
  if (s.size() - pos < 3) return Operator::kBottom;
  const std::string_view head = s.substr(pos, 3);
  for (const FunctionName& entry : kFunctionNames) {
    if (head == entry.name) return entry.function;
  }
  return Operator::kBottom;
}

bool IsFunction(Operator op) { return op >= Operator::kSin && op <= Operator::kLog2; }

// Unary signs in operand position (2*-pi, 2^-(1)) live on the operator stack
// like functions and bind as tightly.
bool IsFunctionLike(Operator op) {
  return IsFunction(op) || op == Operator::kUnaryMinus || op == Operator::kUnaryPlus;
}

// Row of the precedence table for the operator on top of the stack.
enum class Row { kAdd, kMul, kPow, kOpen, kHash, kFunction, kNone };
// Column for the incoming character.
enum class Col { kAdd, kMul, kPow, kOpen, kClose, kHash, kNone };

Row RowOf(Operator top) {
  switch (top) {
    case Operator::kAdd:
    case Operator::kSubtract:
      return Row::kAdd;
    case Operator::kMultiply:
    case Operator::kDivide:
    case Operator::kIntegerDivide:
      return Row::kMul;
    case Operator::kPower:
      return Row::kPow;
    case Operator::kOpen:
      return Row::kOpen;
    case Operator::kHash:
      return Row::kHash;
    case Operator::kBottom:
      return Row::kNone;
    default:
      return IsFunctionLike(top) ? Row::kFunction : Row::kNone;
  }
}

// The operator a character of the text pushes; only those the precedence
// table lets be pushed (")" never is).
Operator OperatorOf(char c) {
  switch (c) {
    case '+':
      return Operator::kAdd;
    case '-':
      return Operator::kSubtract;
    case '*':
      return Operator::kMultiply;
    case '/':
      return Operator::kDivide;
    case '\\':
      return Operator::kIntegerDivide;
    case '^':
      return Operator::kPower;
    case '(':
      return Operator::kOpen;
    default:
      return Operator::kHash;
  }
}

// The character Operate knows a two-operand operator by.
char OperatorChar(Operator op) {
  switch (op) {
    case Operator::kAdd:
      return '+';
    case Operator::kSubtract:
      return '-';
    case Operator::kMultiply:
      return '*';
    case Operator::kDivide:
      return '/';
    case Operator::kIntegerDivide:
      return '\\';
    case Operator::kPower:
      return '^';
    default:
      return '\0';
  }
}

Col ColOf(char c) {
  switch (c) {
    case '+':
    case '-':
      return Col::kAdd;
    case '*':
    case '/':
    case '\\':
      return Col::kMul;
    case '^':
      return Col::kPow;
    case '(':
      return Col::kOpen;
    case ')':
      return Col::kClose;
    case '#':
      return Col::kHash;
    default:
      return Col::kNone;
  }
}

// Where the evaluation stands in its expression: the next characters and
// moving on. TextCursor reads a whole normalised copy, StreamCursor the
// expression made as it is read (ExpressionStream), for entries too long to
// copy. Both give kEnd past the end.
constexpr int kEnd = ExpressionStream::kEnd;

bool IsDigitAt(int c) { return c >= '0' && c <= '9'; }
bool IsSignAt(int c) { return c == '+' || c == '-'; }
bool IsBlankAt(int c) { return c == ' ' || c == '\t' || c == '\n'; }

class TextCursor {
 public:
  explicit TextCursor(std::string_view s) : s_(s) {}
  int Peek(std::size_t k = 0) const {
    return pos_ + k < s_.size() ? static_cast<unsigned char>(s_[pos_ + k]) : kEnd;
  }
  void Advance() { ++pos_; }
  std::size_t position() const { return pos_; }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

class StreamCursor {
 public:
  explicit StreamCursor(std::string_view entry) : stream_(entry) {}
  int Peek(std::size_t k = 0) {
    for (; size_ <= k; ++size_) ahead_[(first_ + size_) % ahead_.size()] = stream_.Next();
    return ahead_[(first_ + k) % ahead_.size()];
  }
  void Advance() {
    const int c = Peek();
    if (c == kEnd) return;
    if (!IsBlankAt(c)) ++compact_;
    ++pos_;
    first_ = (first_ + 1) % ahead_.size();
    --size_;
  }
  // Advance, then past any blanks.
  void Step() {
    Advance();
    while (IsBlankAt(Peek())) Advance();
  }
  std::size_t position() const { return pos_; }
  // The characters passed that are not blanks.
  std::size_t compact() const { return compact_; }
  const ExpressionStream& stream() const { return stream_; }

 private:
  ExpressionStream stream_;
  std::array<int, 4> ahead_{};
  std::size_t first_ = 0;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  std::size_t compact_ = 0;
};

// The function whose three-letter name the cursor stands at, or kBottom.
template <typename Cursor>
Operator FunctionAt(Cursor& cursor) {
  std::array<char, 3> name{};
  for (std::size_t k = 0; k < name.size(); ++k) {
    const int c = cursor.Peek(k);
    if (c == kEnd) return Operator::kBottom;
    name[k] = static_cast<char>(c);
  }
  return FunctionAt(std::string_view(name.data(), name.size()), 0);
}

// Moves past the number at the cursor the way the evaluation consumes it:
// sign, digits with at most one point, an exponent with at least one digit
// when present (at least one character in any case), then any further digits
// and points, so that 1.2.3 is consumed whole. `swallowed` tells whether such
// further digits and points (read past, not read) were there.
template <typename Cursor>
void SkipNumber(Cursor& cursor, bool& swallowed) {
  bool moved = false;
  if (IsSignAt(cursor.Peek())) {
    cursor.Advance();
    moved = true;
  }
  bool seen_point = false;
  while (IsDigitAt(cursor.Peek()) || (cursor.Peek() == '.' && !seen_point)) {
    if (cursor.Peek() == '.') seen_point = true;
    cursor.Advance();
    moved = true;
  }
  if (cursor.Peek() == 'E' || cursor.Peek() == 'e') {
    std::size_t look = 1;
    if (IsSignAt(cursor.Peek(look))) ++look;
    if (IsDigitAt(cursor.Peek(look))) {
      for (; look > 0; --look) cursor.Advance();
      while (IsDigitAt(cursor.Peek())) cursor.Advance();
      moved = true;
    }
  }
  if (!moved) cursor.Advance();
  while (IsDigitAt(cursor.Peek()) || cursor.Peek() == '.') {
    cursor.Advance();
    swallowed = true;
  }
}

// An entry that is a plain decimal number, possibly followed by the row's
// closing "#" markers, is worth exactly what the leading-number rule reads.
// Most entries are such numbers, so they skip the general machinery.
bool IsPlainNumber(std::string_view s) {
  std::size_t pos = 0;
  if (pos < s.size() && IsSign(s[pos])) ++pos;
  bool any_digit = false;
  bool seen_point = false;
  for (; pos < s.size(); ++pos) {
    if (IsDigit(s[pos]))
      any_digit = true;
    else if (s[pos] == '.' && !seen_point)
      seen_point = true;
    else
      break;
  }
  if (!any_digit) return false;
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    ++pos;
    if (pos < s.size() && IsSign(s[pos])) ++pos;
    if (pos >= s.size() || !IsDigit(s[pos])) return false;
    while (pos < s.size() && IsDigit(s[pos])) ++pos;
  }
  while (pos < s.size() && s[pos] == '#') ++pos;
  return pos == s.size();
}

// Sign marking: a "+" or "-" that follows an operand and precedes a number
// gets a "+" inserted after it, so that it is read as an operator and the
// number keeps its own sign. A sign at the start, after another sign, "(" or
// one of * / \ ^ belongs to the number itself and is left alone.
std::string MarkSigns(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    out.push_back(c);
    if (!IsSign(c) || i == 0 || i + 1 >= text.size()) continue;
    const char next = text[i + 1];
    const char before = text[i - 1];
    const bool number_follows = IsDigit(next) || next == '.';
    const bool exempt = before == '+' || before == '-' || before == '(' || before == '*' ||
                        before == '/' || before == '\\' || before == '^';
    if (number_follows && !exempt) out.push_back('+');
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The leading-number rule read at successive positions of one text, each read
// costing time independent of how far the number runs. Without blanks the
// evaluation consumes at least what the rule read, so reading directly is
// linear. Blanks, though, are skipped by the rule but stop the consumption:
// "1<tab>1<tab>1..." would be read again from every tab, up to the step limit
// times the whole length. Such texts are read from a copy without blanks
// through precomputed digit runs instead.
class NumberReader {
 public:
  explicit NumberReader(std::string_view s) : s_(s) {
    if (s.find_first_of(" \t\n") == std::string_view::npos || s.size() >= 0xFFFFFFF0u) return;
    blanks_ = true;
    compact_index_.resize(s.size() + 1);
    for (std::size_t i = 0; i < s.size(); ++i) {
      compact_index_[i] = static_cast<std::uint32_t>(t_.size());
      if (!IsBlank(s[i])) t_.push_back(s[i]);
    }
    const std::size_t n = t_.size();
    compact_index_[s.size()] = static_cast<std::uint32_t>(n);
    digit_end_.resize(n + 1);
    next_nonzero_.resize(n + 1);
    digit_end_[n] = next_nonzero_[n] = static_cast<std::uint32_t>(n);
    for (std::size_t i = n; i-- > 0;) {
      digit_end_[i] = IsDigit(t_[i]) ? digit_end_[i + 1] : static_cast<std::uint32_t>(i);
      next_nonzero_[i] =
          (t_[i] >= '1' && t_[i] <= '9') ? static_cast<std::uint32_t>(i) : next_nonzero_[i + 1];
    }
  }

  double At(const TextCursor& cursor) { return At(cursor.position()); }

  // LeadingNumber(s.substr(pos)).
  double At(std::size_t pos) {
    if (!blanks_) return LeadingNumber(s_.substr(pos));
    const std::size_t r = compact_index_[pos];
    if (r == cached_at_) return cached_value_;  // a run of blanks reads the same number
    // &H and &O are read by the rule itself; after "&" the evaluation ends,
    // so this happens once at most.
    cached_value_ = r < t_.size() && t_[r] == '&' ? LeadingNumber(s_.substr(pos)) : Decimal(r);
    cached_at_ = r;
    return cached_value_;
  }

 private:
  // The leading-number rule on the blank-free text from index p.
  double Decimal(std::size_t p) const {
    const std::size_t n = t_.size();
    bool negative = false;
    if (p < n && IsSign(t_[p])) {
      negative = t_[p] == '-';
      ++p;
    }
    const std::size_t integer_end = digit_end_[p];
    const bool point = integer_end < n && t_[integer_end] == '.';
    const std::size_t end = point ? digit_end_[integer_end + 1] : integer_end;
    if (end == p + (point ? 1 : 0)) return 0;  // not a single digit

    long long exponent = 0;
    if (end < n && (t_[end] == 'E' || t_[end] == 'e')) {
      std::size_t q = end + 1;
      const bool exponent_negative = q < n && t_[q] == '-';
      if (q < n && IsSign(t_[q])) ++q;
      const std::size_t exponent_end = digit_end_[q];
      const std::size_t first = std::min<std::size_t>(next_nonzero_[q], exponent_end);
      if (exponent_end - first > 10) {
        exponent = 10000000000LL;  // beyond the double range whatever the mantissa
      } else {
        for (std::size_t i = first; i < exponent_end; ++i) exponent = exponent * 10 + (t_[i] - '0');
      }
      if (exponent_negative) exponent = -exponent;
    }

    const std::size_t first = next_nonzero_[p];
    if (first >= end) return 0;  // all zeros
    // Decimal exponent of the first significant digit.
    const long long e =
        exponent + (point && first > integer_end ? -static_cast<long long>(first - integer_end)
                                                 : static_cast<long long>(integer_end - first) - 1);
    std::string digits;
    std::size_t i = first;
    for (; i < end && digits.size() < kSignificantDigits; ++i) {
      if (t_[i] != '.') digits.push_back(t_[i]);
    }
    return DecimalValue(digits, i < end && next_nonzero_[i] < end, e, negative);
  }

  std::string_view s_;
  bool blanks_ = false;
  std::string t_;                             // s_ without blanks
  std::vector<std::uint32_t> compact_index_;  // s_ position -> t_ index of the next non-blank
  std::vector<std::uint32_t> digit_end_;      // t_ index -> first non-digit at or after it
  std::vector<std::uint32_t> next_nonzero_;   // t_ index -> first digit 1-9 at or after it
  std::size_t cached_at_ = std::string_view::npos;
  double cached_value_ = 0;
};

// The leading-number rule at the successive positions of a streamed
// expression, in memory independent of its length: what NumberReader finds
// in its arrays is found by reading ahead with copies of the cursor, and kept
// for the positions that follow. The digits of a run are read once for its
// length and its last nonzero digit, and again at most kSignificantDigits at
// a time; positions only move forward, so each look ahead serves every
// position up to where it stopped.
class StreamNumbers {
 public:
  double At(const StreamCursor& at) {
    // Positions up to the last number's first character read that number.
    if (read_any_ && at.position() <= value_at_) return value_;
    StreamCursor cursor = at;
    while (IsBlankAt(cursor.Peek())) cursor.Advance();
    read_any_ = true;
    value_at_ = cursor.position();
    value_ = cursor.Peek() == '&' ? Radix(cursor) : Decimal(cursor);
    return value_;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // A run of digits: from `start` (or the part of it from any later index)
  // up to `end`, the index of the first character after it. Indices count
  // the characters that are not blanks.
  struct Run {
    std::size_t start = kNone;
    std::size_t end = kNone;
    std::size_t last_nonzero = kNone;
    StreamCursor after{std::string_view{}};  // at `end`
  };
  // What follows the run that ends at `at`: a point and the fraction's run,
  // then an exponent.
  struct Tail {
    std::size_t at = kNone;
    bool point = false;
    std::size_t end = kNone;  // of the mantissa
    std::size_t last_nonzero = kNone;
    long long exponent = 0;
  };
  // The first nonzero digit at or after `from`, looked for up to `limit`.
  struct Nonzero {
    std::size_t from = kNone;
    std::size_t limit = 0;
    bool found = false;
    StreamCursor cursor{std::string_view{}};  // at the digit, or at `limit`
  };

  // "&H" and "&O" as the leading-number rule reads them (never after the
  // normalisation has made every letter small, but read all the same).
  static double Radix(StreamCursor cursor) {
    cursor.Step();
    const int kind = cursor.Peek();
    if (kind != 'H' && kind != 'O') return 0;
    const int radix = kind == 'H' ? 16 : 8;
    double value = 0;
    for (cursor.Step();; cursor.Step()) {
      const int digit = RadixDigit(cursor.Peek(), radix);
      if (digit < 0) break;
      value = value * radix + digit;
    }
    return value;
  }

  // The run of digits from the cursor on.
  const Run& RunFrom(const StreamCursor& cursor) {
    const std::size_t p = cursor.compact();
    if (run_.start != kNone && run_.start <= p && p < run_.end) return run_;
    Run run;
    run.start = p;
    run.after = cursor;
    for (; IsDigitAt(run.after.Peek()); run.after.Step()) {
      if (run.after.Peek() != '0') run.last_nonzero = run.after.compact();
    }
    run.end = run.after.compact();
    if (run.end == p) return empty_run_ = std::move(run);  // keeps the last long run
    return run_ = std::move(run);
  }

  const Tail& TailAfter(const Run& run) {
    if (tail_.at == run.end) return tail_;
    Tail tail;
    tail.at = run.end;
    StreamCursor cursor = run.after;
    tail.point = cursor.Peek() == '.';
    if (tail.point) {
      for (cursor.Step(); IsDigitAt(cursor.Peek()); cursor.Step()) {
        if (cursor.Peek() != '0') tail.last_nonzero = cursor.compact();
      }
    }
    tail.end = cursor.compact();
    if (cursor.Peek() == 'E' || cursor.Peek() == 'e') {
      cursor.Step();
      const bool negative = cursor.Peek() == '-';
      if (IsSignAt(cursor.Peek())) cursor.Step();
      while (cursor.Peek() == '0') cursor.Step();
      std::size_t significant = 0;
      for (; IsDigitAt(cursor.Peek()); cursor.Step()) {
        if (++significant <= 10) tail.exponent = tail.exponent * 10 + (cursor.Peek() - '0');
      }
      if (significant > 10) tail.exponent = 10000000000LL;  // beyond the double range
      if (negative) tail.exponent = -tail.exponent;
    }
    return tail_ = std::move(tail);
  }

  // The first nonzero digit from the cursor before `end`, or nothing.
  const StreamCursor* FirstNonzero(const StreamCursor& cursor, std::size_t end) {
    const std::size_t p = cursor.compact();
    const bool known = nonzero_.from != kNone && nonzero_.from <= p &&
                       p <= (nonzero_.found ? nonzero_.cursor.compact() : nonzero_.limit);
    if (!known) {
      nonzero_.from = p;
      nonzero_.found = false;
      nonzero_.cursor = cursor;
    }
    if (!nonzero_.found) {
      // Nothing but zeros and the point from `from` up to where the scan stands.
      StreamCursor& scan = nonzero_.cursor;
      while (scan.compact() < end && !(scan.Peek() >= '1' && scan.Peek() <= '9')) scan.Step();
      nonzero_.found = scan.compact() < end;
      nonzero_.limit = scan.compact();
    }
    if (!nonzero_.found || nonzero_.cursor.compact() >= end) return nullptr;
    return &nonzero_.cursor;
  }

  // The leading-number rule from the cursor, at a character that is not a
  // blank, as NumberReader::Decimal reads it.
  double Decimal(StreamCursor cursor) {
    bool negative = false;
    if (IsSignAt(cursor.Peek())) {
      negative = cursor.Peek() == '-';
      cursor.Step();
    }
    const std::size_t p = cursor.compact();
    const Run& run = RunFrom(cursor);
    const std::size_t integer_end = run.end;
    const std::size_t run_last_nonzero = run.last_nonzero;
    const Tail& tail = TailAfter(run);
    const std::size_t end = tail.end;
    if (end == p + (tail.point ? 1 : 0)) return 0;  // not a single digit

    const StreamCursor* first_cursor = FirstNonzero(cursor, end);
    if (first_cursor == nullptr) return 0;  // all zeros
    const std::size_t first = first_cursor->compact();
    // Decimal exponent of the first significant digit.
    const long long e = tail.exponent + (tail.point && first > integer_end
                                             ? -static_cast<long long>(first - integer_end)
                                             : static_cast<long long>(integer_end - first) - 1);
    if (e > 400 || e < -400) {
      std::string none;
      return DecimalValue(none, false, e, negative);
    }
    std::string digits;
    StreamCursor digit = *first_cursor;
    for (; digit.compact() < end && digits.size() < kSignificantDigits; digit.Step()) {
      if (digit.Peek() != '.') digits.push_back(static_cast<char>(digit.Peek()));
    }
    const std::size_t i = digit.compact();
    const std::size_t last_nonzero =
        tail.point && tail.last_nonzero != kNone ? tail.last_nonzero : run_last_nonzero;
    const bool more = i < end && last_nonzero != kNone && last_nonzero >= i;
    return DecimalValue(digits, more, e, negative);
  }

  bool read_any_ = false;
  std::size_t value_at_ = 0;
  double value_ = 0;
  Run run_;
  Run empty_run_;
  Tail tail_;
  Nonzero nonzero_;
};

// The operations of the evaluation on double operands.
template <typename Numbers, typename Cursor>
double ReadOperand(Numbers&, Cursor&, double v) {
  return v;
}
double Negated(double v) { return -v; }
double Applied(Operator function, double v) { return ApplyFunction(function, v); }
double Operated(double a, Operator op, double b) { return Operate(a, OperatorChar(op), b); }

// The evaluation over its operands: doubles, or ExactOperand, which carries
// the exact value beside the double and so applies the same operators to the
// same operands step for step.
template <typename Operand>
class Evaluation {
 public:
  // Evaluates the expression from the cursor on, the leading-number rule
  // read at its positions by `numbers`.
  template <typename Cursor, typename Numbers>
  Operand Run(Cursor& cursor, Numbers& numbers) {
    operators_ = {Operator::kBottom, Operator::kHash};
    operands_ = {Operand{}};
    for (int step = 0; cursor.Peek() != kEnd && step <= kStepLimit; ++step) {
      const double v = numbers.At(cursor);
      if (IsNumberAt(cursor, v)) {
        operands_.push_back(ReadOperand(numbers, cursor, v));
        SkipNumber(cursor, swallowed_);
        prev_ = Prev::kOperand;
        continue;
      }
      if (const Operator function = FunctionAt(cursor); function != Operator::kBottom) {
        operators_.push_back(function);
        for (int k = 0; k < 3; ++k) cursor.Advance();
        prev_ = Prev::kFunction;
        continue;
      }
      const char c = static_cast<char>(cursor.Peek());
      if (IsSign(c)) {
        // A sign in operand position that does not start a number.
        if (prev_ == Prev::kBinary || prev_ == Prev::kUnary) {
          operators_.push_back(c == '-' ? Operator::kUnaryMinus : Operator::kUnaryPlus);
          cursor.Advance();
          prev_ = Prev::kUnary;
          continue;
        }
        if (prev_ == Prev::kOpen) {
          // Inside parentheses the start-of-text rule applies: 0 - ...
          operands_.push_back(Operand{});
          prev_ = Prev::kOperand;
        }
      }
      const Precedence relation = ComparePrecedence(TopOperator(operators_), c);
      if (relation == Precedence::kLower) {
        operators_.push_back(OperatorOf(c));
        cursor.Advance();
        prev_ = c == '(' ? Prev::kOpen : Prev::kBinary;
      } else if (relation == Precedence::kEqual) {
        // Also when the closing "#" meets the opening one: a "#" inside the
        // text pairs early, and what follows it can still change the result
        // ("#5" is 5). The rows' trailing "##" ends at the bottom right after.
        PopOperator();
        cursor.Advance();
        prev_ = Prev::kOperand;
      } else if (relation == Precedence::kHigher) {
        Reduce();
      } else {
        break;  // no rule for this character
      }
    }
    whole_ = !swallowed_ && !missing_operand_ && operands_.size() == 2 && operators_.size() == 1;
    if (whole_) {
      while (cursor.Peek() == '#') cursor.Advance();
      whole_ = cursor.Peek() == kEnd;
    }
    return operands_.size() >= 2 ? operands_[1] : Operand{};
  }

  // Whether the last Run used all of its text: it stopped at most at the
  // closing "#" markers with every operator applied to operands of its own
  // and one value left, and read no number past its end.
  bool whole() const { return whole_; }

 private:
  enum class Prev { kStart, kOpen, kBinary, kUnary, kFunction, kOperand };

  // The number test: v is what the leading-number rule reads from rest.
  // A digit, or a sign and a digit, always starts a number, also one whose
  // value is 0 because it is below the double range (2*1e-400 is 0, not 2).
  template <typename Cursor>
  static bool IsNumberAt(Cursor& cursor, double v) {
    if (v != 0) return true;
    if (IsSignAt(cursor.Peek()) && IsDigitAt(cursor.Peek(1))) return true;
    return IsDigitAt(cursor.Peek()) || cursor.Peek() == '.';
  }

  Operator PopOperator() {
    if (operators_.size() <= 1) return operators_.front();
    const Operator top = operators_.back();
    operators_.pop_back();
    return top;
  }

  Operand PopOperand() {
    if (operands_.size() <= 1) {
      missing_operand_ = true;  // "2*": the bottom stands in for it
      return operands_.front();
    }
    Operand top = std::move(operands_.back());
    operands_.pop_back();
    return top;
  }

  void Reduce() {
    const Operator op = PopOperator();
    if (op == Operator::kUnaryMinus || op == Operator::kUnaryPlus) {
      Operand v = PopOperand();
      operands_.push_back(op == Operator::kUnaryMinus ? Negated(v) : v);
    } else if (IsFunction(op)) {
      const Operand v = PopOperand();
      operands_.push_back(Applied(op, v));
    } else {
      const Operand b = PopOperand();
      const Operand a = PopOperand();
      operands_.push_back(Operated(a, op, b));
    }
  }

  OperatorStack operators_;
  std::vector<Operand> operands_;
  Prev prev_ = Prev::kStart;
  bool swallowed_ = false;
  bool missing_operand_ = false;
  bool whole_ = false;
};

// NormalizeExpression; true when it dropped text after an "=". `pi_text`
// stands in for pi.
bool NormalizeAndCut(std::string& text, std::string_view pi_text = kPiText) {
  // Each replacement in turn over the whole text; most entries hold none of
  // them and are not copied. Every pattern holds a letter, and none is made
  // where there was none.
  std::string& s = text;
  const bool letters = std::any_of(
      s.begin(), s.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
  const auto replace = [&s, letters](std::string_view from, std::string_view to) {
    if (letters) ReplaceAllIn(s, from, to);
  };
  replace("f(x)=", "");
  replace("f(x)", "");
  bool cut = false;
  if (const std::size_t eq = s.find('='); eq != std::string::npos) {
    cut = eq + 1 < s.size();
    s.resize(eq);
  }
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::erase(s, ' ');
  replace("e+", "E+");
  replace("e-", "E-");
  // Only a sign after the first character can be marked.
  if (s.find_first_of("+-", 1) != std::string::npos) s = MarkSigns(s);
  replace("pi", pi_text);
  if (s.size() >= 2 && IsSign(s[0]) && ((s[1] >= 'a' && s[1] <= 'z') || s[1] == '(')) {
    s.insert(s.begin(), '0');
  }
  replace("exp", "eyp");
  replace("log10", "lgg");
  replace("log2", "lg2");
  replace("E-+", "E-");
  replace("E++", "E+");
  return cut;
}

// The expression as EvaluateExpression reads it: x replaced, "#" appended.
std::string ExpressionText(std::string_view text, double x) {
  std::string s;
  if (text.find('x') != std::string_view::npos) {
    std::string replacement = "(";
    AppendNumber(replacement, x);
    replacement += ')';
    s = ReplaceAll(text, "x", replacement);
  } else {
    s.reserve(text.size() + 1);
    s.assign(text);
  }
  ReplaceAllIn(s, "eyp", "exp");
  s += '#';
  return s;
}

// Evaluates a whole normalised expression text.
double RunText(Evaluation<double>& evaluation, std::string_view expression) {
  NumberReader numbers(expression);
  TextCursor cursor(expression);
  return evaluation.Run(cursor, numbers);
}

// The exact mode. Fractions larger than this (numerator and denominator
// together) are not worth carrying for one entry: no table a user types
// needs them, and an expression like (1+1e-800)^4096^4096 stays small as a
// double but not as a fraction.
constexpr std::size_t kExactBits = 1U << 15;

// The same length as kPiText and the same first character, so that the
// normalisation's later replacements act on both texts alike and every
// position of the one is the same position of the other; its letters mark
// where pi was put.
constexpr std::string_view kPiMask = "+PPPPPPPPPPPPPPPP";
static_assert(kPiMask.size() == kPiText.size());

// The exact value of the number the leading-number rule reads from `text`
// at `pos`, whose double is `v`; `end` is set past the characters read. No
// value when the rule's double is not an approximation of the characters'
// value (beyond the double range, or below it) or when the number has more
// significant digits than the rule keeps.
std::optional<Rational> ExactLeadingNumber(std::string_view text, std::size_t pos, double v,
                                           std::size_t& end) {
  end = pos;
  if (!std::isfinite(v)) return std::nullopt;
  const auto skip = [&](std::size_t& i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skip(pos);
  if (pos < text.size() && text[pos] == '&') {
    std::size_t look = pos + 1;
    skip(look);
    if (look < text.size() && (text[look] == 'H' || text[look] == 'O')) {
      const int radix = text[look] == 'H' ? 16 : 8;
      BigInt n = 0;
      std::size_t digits = 0;
      for (++look;; ++look) {
        skip(look);
        if (look >= text.size()) break;
        const int digit = RadixDigit(static_cast<unsigned char>(text[look]), radix);
        if (digit < 0) break;
        if (++digits > 300) return std::nullopt;  // beyond the double range
        n = n * radix + digit;
      }
      end = look;
      return Rational(n);
    }
  }
  bool negative = false;
  if (pos < text.size() && IsSign(text[pos])) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::string digits;  // from the first nonzero digit
  long long fraction_digits = 0;
  bool seen_point = false;
  bool any_digit = false;
  for (;; ++pos) {
    skip(pos);
    if (pos >= text.size()) break;
    const char c = text[pos];
    if (IsDigit(c)) {
      any_digit = true;
      if (seen_point) ++fraction_digits;
      if (c != '0' || !digits.empty()) digits.push_back(c);
      if (digits.size() > kSignificantDigits) return std::nullopt;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return Rational(0);  // the rule reads 0 and nothing else
  end = pos;
  long long exponent = 0;
  std::size_t look = pos;
  skip(look);
  if (look < text.size() && (text[look] == 'E' || text[look] == 'e')) {
    ++look;
    skip(look);
    bool exponent_negative = false;
    if (look < text.size() && IsSign(text[look])) {
      exponent_negative = text[look] == '-';
      ++look;
    }
    bool any_exponent_digit = false;
    for (;; ++look) {
      skip(look);
      if (look >= text.size() || !IsDigit(text[look])) break;
      any_exponent_digit = true;
      if (exponent < 1000000000LL) exponent = exponent * 10 + (text[look] - '0');
    }
    if (any_exponent_digit) {
      end = look;
      if (exponent_negative) exponent = -exponent;
    } else {
      exponent = 0;
    }
  }
  if (digits.empty()) return Rational(0);
  // A nonzero number the rule read as 0 lies below the double range.
  if (v == 0) return std::nullopt;
  return DecimalRational(digits, exponent - fraction_digits, negative);
}

// An operand of the exact evaluation: the double the decimal evaluation
// holds at the same place, and its exact value when there is one.
struct ExactOperand {
  double value = 0;
  std::optional<Rational> exact = Rational(0);
};

// The leading-number rule at the positions of a normalised expression, read
// both ways; `mask` is the same expression normalised with kPiMask (empty
// when the entry holds no pi).
class ExactNumbers {
 public:
  ExactNumbers(std::string_view text, std::string_view mask)
      : numbers_(text), text_(text), mask_(mask) {}
  double At(const TextCursor& cursor) { return numbers_.At(cursor); }
  std::optional<Rational> Exact(std::size_t pos, double v) const {
    std::size_t end = pos;
    std::optional<Rational> value = ExactLeadingNumber(text_, pos, v, end);
    // The digits of pi are the program's constant, not the entry's number.
    if (value && !mask_.empty() && text_.substr(pos, end - pos) != mask_.substr(pos, end - pos)) {
      value.reset();
    }
    return value;
  }

 private:
  NumberReader numbers_;
  std::string_view text_;
  std::string_view mask_;
};

ExactOperand ReadOperand(ExactNumbers& numbers, TextCursor& cursor, double v) {
  return {v, numbers.Exact(cursor.position(), v)};
}

ExactOperand Negated(const ExactOperand& v) {
  ExactOperand r{-v.value, std::nullopt};
  if (v.exact) r.exact = -*v.exact;
  return r;
}

ExactOperand Applied(Operator function, const ExactOperand& v) {
  ExactOperand r{ApplyFunction(function, v.value), std::nullopt};
  if (!v.exact) return r;
  if (function == Operator::kAbs) {
    r.exact = abs(*v.exact);
  } else if (function == Operator::kSqr && *v.exact >= 0 && v.value >= 0) {
    Rational root;
    if (ExactSquareRoot(*v.exact, root)) r.exact = root;
  }
  return r;  // every other function has no exact value
}

// Rounds to the nearest integer, a tie to the even one.
BigInt RoundHalfEven(const Rational& r) {
  const BigInt p = Numerator(r);
  const BigInt q = Denominator(r);
  BigInt twice = 2 * p + q;  // floor((2p + q) / 2q) is floor(r + 1/2)
  BigInt floor_q;
  BigInt rem;
  boost::multiprecision::divide_qr(twice, BigInt(2 * q), floor_q, rem);
  if (rem < 0) {
    --floor_q;
    rem += 2 * q;
  }
  if (rem == 0 && (floor_q & 1) != 0) --floor_q;  // r + 1/2 an odd integer: a tie
  return floor_q;
}

std::optional<Rational> IntegerDivideExact(const Rational& a, const Rational& b, double value) {
  const BigInt ra = RoundHalfEven(a);
  const BigInt rb = RoundHalfEven(b);
  const BigInt min = -BigInt(2147483648LL);
  const BigInt max = BigInt(2147483647LL);
  if (ra < min || ra > max || rb < min || rb > max || rb == 0) return std::nullopt;
  const BigInt q = ra / rb;  // truncates, as the decimal rule does
  if (q > max) return std::nullopt;
  // The double operands may round to other integers than the exact ones.
  if (static_cast<double>(q.convert_to<long long>()) != value) return std::nullopt;
  return Rational(q);
}

std::optional<Rational> PowerExact(const Rational& a, const Rational& b) {
  if (!IsInteger(b) || abs(b) > 4096) return std::nullopt;
  const long long n = Numerator(b).convert_to<long long>();
  if (a == 0) {
    if (n < 0) return std::nullopt;  // the rule's 0 for 0 to a negative power
    return Rational(n == 0 ? 1 : 0);
  }
  if (RationalBits(a) * static_cast<std::size_t>(n < 0 ? -n : n) > kExactBits) return std::nullopt;
  Rational result = 1;
  Rational base = a;
  for (unsigned long long e = static_cast<unsigned long long>(n < 0 ? -n : n); e > 0; e >>= 1U) {
    if ((e & 1U) != 0) result *= base;
    if (e > 1) base *= base;
  }
  if (n < 0) result = 1 / result;
  return result;
}

ExactOperand Operated(const ExactOperand& a, Operator op, const ExactOperand& b) {
  ExactOperand r{Operate(a.value, OperatorChar(op), b.value), std::nullopt};
  // An overflow has no exact counterpart; neither has an operand without one.
  if (!a.exact || !b.exact || !std::isfinite(r.value)) return r;
  const Rational& x = *a.exact;
  const Rational& y = *b.exact;
  if (op != Operator::kIntegerDivide && op != Operator::kPower &&
      RationalBits(x) + RationalBits(y) > kExactBits) {
    return r;
  }
  switch (op) {
    case Operator::kAdd:
      r.exact = x + y;
      break;
    case Operator::kSubtract:
      r.exact = x - y;
      break;
    case Operator::kMultiply:
      r.exact = x * y;
      break;
    case Operator::kDivide:
      if (y != 0) r.exact = x / y;
      break;
    case Operator::kIntegerDivide:
      r.exact = IntegerDivideExact(x, y, r.value);
      break;
    case Operator::kPower:
      // The rule's 0 for a power without a finite value (a negative base with
      // a fractional exponent, 0 to a negative power, an overflow).
      if (std::isfinite(PortablePow(a.value, b.value))) r.exact = PowerExact(x, y);
      break;
    default:
      break;
  }
  return r;
}

}  // namespace

void NormalizeExpression(std::string& text) { NormalizeAndCut(text); }

double EvaluateExpression(std::string_view text, double x) {
  Evaluation<double> evaluation;
  return RunText(evaluation, ExpressionText(text, x));
}

EntryReading ReadLongEntry(std::string_view entry) {
  if (IsPlainNumber(entry)) return {LeadingNumber(entry), true};
  StreamCursor cursor(entry);
  if (cursor.Peek() == '#' && cursor.stream().empty()) {
    return {0.0, !cursor.stream().cut()};  // nothing to read
  }
  Evaluation<double> evaluation;
  StreamNumbers numbers;
  const double value = evaluation.Run(cursor, numbers);
  // A whole reading has read the stream to its end, past any "=".
  return {value, evaluation.whole() && !cursor.stream().cut()};
}

EntryReading ReadEntry(std::string_view entry) {
  if (IsPlainNumber(entry)) return {LeadingNumber(entry), true};
  if (entry.size() > kLongEntryBytes) return ReadLongEntry(entry);
  std::string copy(entry);
  const bool cut = NormalizeAndCut(copy);
  if (copy.empty()) return {0.0, !cut};  // nothing to read
  Evaluation<double> evaluation;
  const double value = RunText(evaluation, ExpressionText(copy, 0.0));
  return {value, evaluation.whole() && !cut};
}

ExactEntryReading ReadEntryExact(std::string_view entry) {
  if (IsPlainNumber(entry)) {
    const double value = LeadingNumber(entry);
    std::size_t end = 0;
    return {value, ExactLeadingNumber(entry, 0, value, end), true};
  }
  if (entry.size() > kLongEntryBytes) {
    const EntryReading reading = ReadLongEntry(entry);
    return {reading.value, std::nullopt, reading.whole};
  }
  std::string copy(entry);
  const bool cut = NormalizeAndCut(copy);
  if (copy.empty()) return {0.0, Rational(0), !cut};
  const std::string expression = ExpressionText(copy, 0.0);
  std::string mask;
  if (entry.find_first_of("pP") != std::string_view::npos) {
    mask.assign(entry);
    NormalizeAndCut(mask, kPiMask);
    mask = ExpressionText(mask, 0.0);
    if (mask.size() != expression.size()) mask.assign(expression.size(), 'P');  // never so
  }
  Evaluation<ExactOperand> evaluation;
  ExactNumbers numbers(expression, mask);
  TextCursor cursor(expression);
  ExactOperand result = evaluation.Run(cursor, numbers);
  return {result.value, std::move(result.exact), evaluation.whole() && !cut};
}

std::optional<Rational> EvaluateEntryExact(std::string_view entry) {
  return ReadEntryExact(entry).exact;
}

double EvaluateEntry(std::string& entry) {
  if (IsPlainNumber(entry)) return LeadingNumber(entry);
  NormalizeExpression(entry);
  return EvaluateExpression(entry, 0.0);
}

double EvaluateEntry(std::string_view entry) {
  if (IsPlainNumber(entry)) return LeadingNumber(entry);
  if (entry.size() > kLongEntryBytes) return ReadLongEntry(entry).value;
  std::string copy(entry);
  NormalizeExpression(copy);
  return EvaluateExpression(copy, 0.0);
}

double Operate(double a, char op, double b) {
  switch (op) {
    case '+':
      return a + b;
    case '-':
      return a - b;
    case '*':
      return a * b;
    case '/':
      return a / b;
    case '\\': {
      // Integer division of the operands rounded to 32-bit integers.
      if (!std::isfinite(a) || !std::isfinite(b)) return 0;
      const double ra = std::nearbyint(a);
      const double rb = std::nearbyint(b);
      constexpr double kMin = -2147483648.0;
      constexpr double kMax = 2147483647.0;
      if (ra < kMin || ra > kMax || rb < kMin || rb > kMax || rb == 0) return 0;
      const auto q = static_cast<std::int64_t>(ra) / static_cast<std::int64_t>(rb);
      if (q > static_cast<std::int64_t>(kMax)) return 0;  // -2147483648 \ -1
      return static_cast<double>(q);
    }
    case '^': {
      const double r = PortablePow(a, b);
      // A negative base with a fractional exponent, 0 to a negative power and
      // an overflow have no value here: 0.
      if (!std::isfinite(r) || std::isnan(a) || std::isnan(b)) return 0;
      return r;
    }
    default:
      return 0;
  }
}

double ApplyFunction(Operator function, double v) {
  switch (function) {
    case Operator::kSin:
      return PortableSin(v);
    case Operator::kCos:
      return PortableCos(v);
    case Operator::kTan:
      return PortableTan(v);
    case Operator::kAtn:
      return PortableAtan(v);
    case Operator::kAbs:
      return std::fabs(v);
    case Operator::kExp: {
      const double r = PortableExp(v);
      return std::isinf(r) ? 0 : r;
    }
    case Operator::kSqr:
      return v < 0 ? 0 : std::sqrt(v);
    case Operator::kLog:
    case Operator::kLog10:
    case Operator::kLog2: {
      if (v <= 0) return 0;
      const double ln = PortableLog(v);
      // The divisors are the 15-digit constants, not the exact logarithms, so
      // log10(100) is 1.9999999999999964 as users of the program have seen it.
      if (function == Operator::kLog10) return ln / 2.30258509299405;
      if (function == Operator::kLog2) return ln / 0.693147180559945;
      return ln;
    }
    default:
      return 0;
  }
}

double ApplyFunction(std::string_view name, double v) {
  if (name.size() != 3) return 0;
  return ApplyFunction(FunctionAt(name, 0), v);
}

Operator TopOperator(const OperatorStack& stack) {
  return stack.empty() ? Operator::kBottom : stack.back();
}

Precedence ComparePrecedence(Operator top, char c) {
  const Col col = ColOf(c);
  if (col == Col::kNone) return Precedence::kNone;
  switch (RowOf(top)) {
    case Row::kAdd:
      return (col == Col::kMul || col == Col::kPow || col == Col::kOpen) ? Precedence::kLower
                                                                         : Precedence::kHigher;
    case Row::kMul:
      return (col == Col::kPow || col == Col::kOpen) ? Precedence::kLower : Precedence::kHigher;
    case Row::kPow:
    case Row::kFunction:
      return col == Col::kOpen ? Precedence::kLower : Precedence::kHigher;
    case Row::kOpen:
      if (col == Col::kClose) return Precedence::kEqual;
      return col == Col::kHash ? Precedence::kNone : Precedence::kLower;
    case Row::kHash:
      if (col == Col::kHash) return Precedence::kEqual;
      return col == Col::kClose ? Precedence::kNone : Precedence::kLower;
    case Row::kNone:
      return Precedence::kNone;
  }
  return Precedence::kNone;
}

}  // namespace matcalc
