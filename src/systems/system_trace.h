// What the solvers of Ax = b share in their traces: the order box, the
// augmented matrix they open with and the solution block they end with.
#pragma once

#include <string>
#include <string_view>

#include "direct/opening.h"
#include "frame/trace_buffer.h"
#include "linalg/matrix.h"

namespace matcalc {

inline constexpr std::string_view kSystemOrderPrompt = "输入方程组的阶数 n：";

// The order box's default: the number of rows the edit pane's text has, as
// the typing hint reads it (empty for a text without rows), so that
// accepting it solves the system as typed.
std::string OrderOfText(std::string_view text);
// The order box of the linear-systems commands, whose default is
// `default_text` (which must outlive the box).
inline OrderBox SystemOrderBox(const std::string& default_text,
                               std::string_view prompt = kSystemOrderPrompt) {
  return {prompt, "输入数据", default_text};
}

// Rows 1..n, columns 1..n+1 of `read` (A and b), each entry four spaces and
// its default text, unrounded; then the heading with the method's own
// `continuation`.
void AppendAugmentedOpening(TraceBuffer& out, const Matrix& read, int n,
                            std::string_view continuation);

// Lines "    NAME1 = V" for components first..last of `v`, each rounded to
// `places`.
void AppendNamedValues(TraceBuffer& out, std::string_view name, const Vector& v, int first,
                       int last, int places);

// The most bytes `lines` such lines take, for the estimates.
double NamedValueBytes(double lines);

// What a direct solver says instead of its solution once a value it printed
// or computed was infinite or not a number: such a solution cannot be told
// from a right one by looking at it.
inline constexpr std::string_view kOutOfRangeText =
    "计算中出现了超出数的范围的值，求不出可靠的解。";

// Remembers whether every value a solver's trace holds so far is finite.
class RangeWatch {
 public:
  // Rows 1..rows, columns 1..cols of `m`.
  void Check(const Matrix& m, int rows, int cols);
  // Components first..last of `v`.
  void Check(const Vector& v, int first, int last);
  void Check(const Vector& v) { Check(v, 1, v.size()); }
  bool finite() const { return finite_; }

 private:
  bool finite_ = true;
};

// The block every solver that succeeds ends with: an empty line, the
// method's `result_line`, and x1..xn rounded to `places`.
void AppendSolution(TraceBuffer& out, std::string_view result_line, const Vector& x, int places);
// The same when `watch` saw only finite values and x is finite too;
// otherwise kOutOfRangeText as the trace's last line in its place.
void AppendSolution(TraceBuffer& out, std::string_view result_line, const Vector& x, int places,
                    RangeWatch watch);

// Where a solver cannot go on: the reason on a line of its own, the
// trace's last.
void AppendStop(TraceBuffer& out, std::string_view reason);

}  // namespace matcalc
