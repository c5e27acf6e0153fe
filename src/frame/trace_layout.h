// How the commands lay out a matrix in their traces.
#pragma once

#include <optional>
#include <string_view>

#include "frame/trace_buffer.h"
#include "linalg/matrix.h"
#include "text/text_util.h"

namespace matcalc {

// Rows 1..n of `a`, columns first..last: for every entry `prefix` and its
// default text, rounded to `places` when given; `row_end` after each row.
void AppendRows(TraceBuffer& out, const Matrix& a, int n, int first, int last,
                std::string_view prefix, std::optional<int> places = std::nullopt,
                std::string_view row_end = kCrLf);

// Rows 1..n, columns 1..n in 24-character fields, each row ended by CR LF.
void AppendMatrixFields(TraceBuffer& out, const Matrix& a, int n);

}  // namespace matcalc
