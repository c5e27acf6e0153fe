// Entries read as exact fractions: the entry evaluator run over operands that
// carry their exact value beside the double, so that both readings apply the
// same operators to the same operands.
#pragma once

#include <optional>
#include <string_view>

#include "text/rational.h"

namespace matcalc {

// An entry read both ways: `value` and `whole` are ReadEntry's; `exact` is
// the fraction that value approximates, or nothing when the entry is not
// exact: it uses pi, a function other than abs (and sqr of a square), a
// non-integer power or one beyond 4096, a division by zero, a number beyond
// or below the double range, or a result the evaluator's rules replace (an
// overflow, the 0 of 0 to a negative power). Expressions longer than
// kLongEntryBytes are not read exactly unless they are a plain number.
struct ExactEntryReading {
  double value = 0;
  std::optional<Rational> exact;
  bool whole = true;
};
ExactEntryReading ReadEntryExact(std::string_view entry);

// The exact value alone.
std::optional<Rational> EvaluateEntryExact(std::string_view entry);

}  // namespace matcalc
