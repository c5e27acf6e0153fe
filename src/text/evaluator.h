// The entry evaluator: one matrix or vector entry, a short expression, to a
// double. It never fails: whatever it cannot read ends the evaluation and the
// first operand read so far is the value.
#pragma once

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

// Rewrites an entry into the canonical form the evaluation reads: case,
// spaces, marked signs, the constant pi and the function aliases.
void NormalizeExpression(std::string& text);

// Evaluates a normalised expression with the given value of x.
double EvaluateExpression(std::string_view text, double x);

// The two-operand operators + - * / \ ^ with their rules for undefined and
// overflowing results.
double Operate(double a, char op, double b);

// The ten functions sin cos tan exp sqr abs log atn lgg lg2 (log10 and log2
// after normalising). An unknown name yields 0.
double ApplyFunction(std::string_view name, double v);

// The operator stack: its bottom is the empty text, which is never removed.
using OperatorStack = std::vector<std::string_view>;
std::string_view TopOperator(const OperatorStack& stack);

// Relation between the operator on top of the stack and the incoming
// character: "<" (push it), "=" (pop the pair), ">" (apply the top) or "" (no
// rule: the evaluation ends).
std::string_view ComparePrecedence(std::string_view top, char c);

}  // namespace matcalc
