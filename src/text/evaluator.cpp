#include "text/evaluator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "text/float_chars.h"
#include "text/leading_number.h"
#include "text/number_text.h"
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

// Removes the text of the number at `pos` the way the evaluation consumes it:
// sign, digits with at most one point, an exponent with at least one digit
// when present (at least one character in any case), then any further digits
// and points, so that 1.2.3 is consumed whole. `swallowed` tells whether such
// further digits and points (read past, not read) were there.
std::size_t SkipNumber(std::string_view s, std::size_t pos, bool& swallowed) {
  const std::size_t start = pos;
  if (pos < s.size() && IsSign(s[pos])) ++pos;
  bool seen_point = false;
  while (pos < s.size() && (IsDigit(s[pos]) || (s[pos] == '.' && !seen_point))) {
    if (s[pos] == '.') seen_point = true;
    ++pos;
  }
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    std::size_t look = pos + 1;
    if (look < s.size() && IsSign(s[look])) ++look;
    if (look < s.size() && IsDigit(s[look])) {
      while (look < s.size() && IsDigit(s[look])) ++look;
      pos = look;
    }
  }
  if (pos == start) ++pos;
  const std::size_t number_end = pos;
  while (pos < s.size() && (IsDigit(s[pos]) || s[pos] == '.')) ++pos;
  swallowed = swallowed || pos != number_end;
  return pos;
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
  // Enough significant digits to round correctly when the rest is reduced to
  // a single sticky digit.
  static constexpr std::size_t kSignificantDigits = 800;

  // The leading-number rule on the blank-free text from index p.
  double Decimal(std::size_t p) const {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
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
    if (e > 400) return negative ? -kInfinity : kInfinity;
    if (e < -400) return negative ? -0.0 : 0.0;

    std::string digits;
    std::size_t i = first;
    for (; i < end && digits.size() < kSignificantDigits; ++i) {
      if (t_[i] != '.') digits.push_back(t_[i]);
    }
    if (i < end && next_nonzero_[i] < end) digits.push_back('1');
    const long long scale = e - static_cast<long long>(digits.size()) + 1;
    digits.push_back('e');
    digits += std::to_string(scale);
    double value = 0;
    const auto result = ParseDouble(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = e >= 0 ? kInfinity : 0.0;
    return negative ? -value : value;
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

class Evaluation {
 public:
  double Run(std::string_view s) {
    operators_ = {Operator::kBottom, Operator::kHash};
    operands_ = {0.0};
    NumberReader numbers(s);
    std::size_t pos = 0;
    for (int step = 0; pos < s.size() && step <= kStepLimit; ++step) {
      const std::string_view rest = s.substr(pos);
      const double v = numbers.At(pos);
      if (IsNumberAt(rest, v)) {
        operands_.push_back(v);
        pos = SkipNumber(s, pos, swallowed_);
        prev_ = Prev::kOperand;
        continue;
      }
      if (const Operator function = FunctionAt(s, pos); function != Operator::kBottom) {
        operators_.push_back(function);
        pos += 3;
        prev_ = Prev::kFunction;
        continue;
      }
      const char c = s[pos];
      if (IsSign(c)) {
        // A sign in operand position that does not start a number.
        if (prev_ == Prev::kBinary || prev_ == Prev::kUnary) {
          operators_.push_back(c == '-' ? Operator::kUnaryMinus : Operator::kUnaryPlus);
          ++pos;
          prev_ = Prev::kUnary;
          continue;
        }
        if (prev_ == Prev::kOpen) {
          // Inside parentheses the start-of-text rule applies: 0 - ...
          operands_.push_back(0.0);
          prev_ = Prev::kOperand;
        }
      }
      const Precedence relation = ComparePrecedence(TopOperator(operators_), c);
      if (relation == Precedence::kLower) {
        operators_.push_back(OperatorOf(c));
        ++pos;
        prev_ = c == '(' ? Prev::kOpen : Prev::kBinary;
      } else if (relation == Precedence::kEqual) {
        // Also when the closing "#" meets the opening one: a "#" inside the
        // text pairs early, and what follows it can still change the result
        // ("#5" is 5). The rows' trailing "##" ends at the bottom right after.
        PopOperator();
        ++pos;
        prev_ = Prev::kOperand;
      } else if (relation == Precedence::kHigher) {
        Reduce();
      } else {
        break;  // no rule for this character
      }
    }
    whole_ = !swallowed_ && !missing_operand_ && operands_.size() == 2 && operators_.size() == 1 &&
             s.find_first_not_of('#', pos) == std::string_view::npos;
    return operands_.size() >= 2 ? operands_[1] : 0.0;
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
  static bool IsNumberAt(std::string_view rest, double v) {
    if (v != 0) return true;
    if (rest.size() >= 2 && IsSign(rest[0]) && IsDigit(rest[1])) return true;
    return IsDigit(rest[0]) || rest[0] == '.';
  }

  Operator PopOperator() {
    if (operators_.size() <= 1) return operators_.front();
    const Operator top = operators_.back();
    operators_.pop_back();
    return top;
  }

  double PopOperand() {
    if (operands_.size() <= 1) {
      missing_operand_ = true;  // "2*": the bottom stands in for it
      return operands_.front();
    }
    const double top = operands_.back();
    operands_.pop_back();
    return top;
  }

  void Reduce() {
    const Operator op = PopOperator();
    if (op == Operator::kUnaryMinus || op == Operator::kUnaryPlus) {
      const double v = PopOperand();
      operands_.push_back(op == Operator::kUnaryMinus ? -v : v);
    } else if (IsFunction(op)) {
      const double v = PopOperand();
      operands_.push_back(ApplyFunction(op, v));
    } else {
      const double b = PopOperand();
      const double a = PopOperand();
      operands_.push_back(Operate(a, OperatorChar(op), b));
    }
  }

  OperatorStack operators_;
  std::vector<double> operands_;
  Prev prev_ = Prev::kStart;
  bool swallowed_ = false;
  bool missing_operand_ = false;
  bool whole_ = false;
};

// NormalizeExpression; true when it dropped text after an "=".
bool NormalizeAndCut(std::string& text) {
  std::string s = ReplaceAll(text, "f(x)=", "");
  s = ReplaceAll(s, "f(x)", "");
  bool cut = false;
  if (const std::size_t eq = s.find('='); eq != std::string::npos) {
    cut = eq + 1 < s.size();
    s.resize(eq);
  }
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::erase(s, ' ');
  s = ReplaceAll(s, "e+", "E+");
  s = ReplaceAll(s, "e-", "E-");
  s = MarkSigns(s);
  s = ReplaceAll(s, "pi", kPiText);
  if (s.size() >= 2 && IsSign(s[0]) && ((s[1] >= 'a' && s[1] <= 'z') || s[1] == '(')) {
    s.insert(s.begin(), '0');
  }
  s = ReplaceAll(s, "exp", "eyp");
  s = ReplaceAll(s, "log10", "lgg");
  s = ReplaceAll(s, "log2", "lg2");
  s = ReplaceAll(s, "E-+", "E-");
  s = ReplaceAll(s, "E++", "E+");
  text = std::move(s);
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
    s = ReplaceAll(s, "eyp", "exp");
  } else {
    s = ReplaceAll(text, "eyp", "exp");
  }
  s += '#';
  return s;
}

}  // namespace

void NormalizeExpression(std::string& text) { NormalizeAndCut(text); }

double EvaluateExpression(std::string_view text, double x) {
  return Evaluation().Run(ExpressionText(text, x));
}

EntryReading ReadEntry(std::string_view entry) {
  if (IsPlainNumber(entry)) return {LeadingNumber(entry), true};
  std::string copy(entry);
  const bool cut = NormalizeAndCut(copy);
  if (copy.empty()) return {0.0, !cut};  // nothing to read
  Evaluation evaluation;
  const double value = evaluation.Run(ExpressionText(copy, 0.0));
  return {value, evaluation.whole() && !cut};
}

double EvaluateEntry(std::string& entry) {
  if (IsPlainNumber(entry)) return LeadingNumber(entry);
  NormalizeExpression(entry);
  return EvaluateExpression(entry, 0.0);
}

double EvaluateEntry(std::string_view entry) {
  if (IsPlainNumber(entry)) return LeadingNumber(entry);
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
      const double r = std::pow(a, b);
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
      return std::sin(v);
    case Operator::kCos:
      return std::cos(v);
    case Operator::kTan:
      return std::tan(v);
    case Operator::kAtn:
      return std::atan(v);
    case Operator::kAbs:
      return std::fabs(v);
    case Operator::kExp: {
      const double r = std::exp(v);
      return std::isinf(r) ? 0 : r;
    }
    case Operator::kSqr:
      return v < 0 ? 0 : std::sqrt(v);
    case Operator::kLog:
    case Operator::kLog10:
    case Operator::kLog2: {
      if (v <= 0) return 0;
      const double ln = std::log(v);
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
