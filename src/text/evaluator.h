// The entry evaluator: one matrix or vector entry, a short expression, to a
// double. It never fails: whatever it cannot read ends the evaluation and the
// first operand read so far is the value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace matcalc {

// Normalises `entry` in place and evaluates it with x = 0.
double EvaluateEntry(std::string& entry);
double EvaluateEntry(std::string_view entry);

// An entry as the evaluator reads it: its value (EvaluateEntry's) and
// whether every character of it counted. Not whole: the evaluation stopped
// at something it has no rule for ("12abc" is 12, "a" is 0, "2*(3" is 2),
// a number ran on past its end ("1.2.3" is 1.2), text after "=" was dropped,
// or the expression was too long to finish.
struct EntryReading {
  double value = 0;
  bool whole = true;
};
EntryReading ReadEntry(std::string_view entry);

// Entries longer than this are never copied: their expression is made as the
// evaluation reads it (ExpressionStream), so reading one takes the same few
// kilobytes however long it is. Shorter ones are normalised in whole copies,
// which is faster; their copies and the evaluation's arrays stay below
// kEntryReadingBytes (pi grows 8.5 times, and the arrays take 13 bytes a
// character of that).
inline constexpr std::size_t kLongEntryBytes = 1024;
// The most memory the reading of one entry takes, whatever its length.
inline constexpr std::size_t kEntryReadingBytes = 256 * 1024;

// ReadEntry's reading of an entry of any length the way long entries are
// read.
EntryReading ReadLongEntry(std::string_view entry);

// Rewrites an entry into the canonical form the evaluation reads: case,
// spaces, marked signs, the constant pi and the function aliases.
void NormalizeExpression(std::string& text);

// Evaluates a normalised expression with the given value of x.
double EvaluateExpression(std::string_view text, double x);

// The two-operand operators + - * / \ ^ with their rules for undefined and
// overflowing results.
double Operate(double a, char op, double b);

// What the operator stack holds: the stack's bottom (the empty operator), the
// two-operand operators, "(" and the "#" markers, the ten functions and the
// signs read as unary operators (2*-pi), which bind like functions.
enum class Operator : std::uint8_t {
  kBottom,
  kAdd,            // +
  kSubtract,       // -
  kMultiply,       // *
  kDivide,         // /
  kIntegerDivide,  // '\'
  kPower,          // ^
  kOpen,           // (
  kHash,           // #
  kSin,
  kCos,
  kTan,
  kExp,
  kSqr,
  kAbs,
  kLog,
  kAtn,
  kLog10,
  kLog2,
  kUnaryMinus,
  kUnaryPlus,
};

// The ten functions sin cos tan exp sqr abs log atn lgg lg2 (log10 and log2
// after normalising). An unknown name yields 0.
double ApplyFunction(std::string_view name, double v);
// The same for a function on the operator stack; any other operator yields 0.
double ApplyFunction(Operator function, double v);

// The operator stack: its bottom is kBottom, which is never removed.
using OperatorStack = std::vector<Operator>;
Operator TopOperator(const OperatorStack& stack);

// Relation between the operator on top of the stack and the incoming
// character.
enum class Precedence {
  kNone,    // no rule: the evaluation ends
  kLower,   // "<": push the character
  kEqual,   // "=": pop the pair
  kHigher,  // ">": apply the operator on top
};
Precedence ComparePrecedence(Operator top, char c);

}  // namespace matcalc
