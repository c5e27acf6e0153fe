// How the commands lay out exact fractions in their traces: the same places
// as the decimal numbers, each number's text "p" or "p/q".
#pragma once

#include <string_view>

#include "frame/trace_buffer.h"
#include "linalg/exact_readers.h"
#include "text/rational.h"
#include "text/text_util.h"

namespace matcalc {

TraceBuffer& AppendValue(TraceBuffer& out, const Rational& value);
// The text right-aligned in 24 characters, or after two spaces when longer.
TraceBuffer& AppendField24(TraceBuffer& out, const Rational& value);

// Rows 1..n of `a`, columns first..last: for every entry `prefix` and its
// text; `row_end` after each row.
void AppendRows(TraceBuffer& out, const RationalMatrix& a, int n, int first, int last,
                std::string_view prefix, std::string_view row_end = kCrLf);

// Rows 1..n, columns 1..n in 24-character fields, each row ended by CR LF.
void AppendMatrixFields(TraceBuffer& out, const RationalMatrix& a, int n);

// An exact matrix without an inverse: the elimination met a zero pivot, and
// the decimal trace shows where.
inline constexpr std::string_view kSingularNote = "注意：矩阵奇异（主元为 0），以下按小数计算。";

}  // namespace matcalc
