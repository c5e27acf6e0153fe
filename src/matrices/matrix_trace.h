// How the commands of the 矩阵 menu lay out their traces.
#pragma once

#include <string_view>

#include "frame/trace_buffer.h"
#include "linalg/exact_readers.h"
#include "linalg/matrix.h"

namespace matcalc {

// The matrix as read: every entry after four spaces, unrounded; then an
// empty line and `heading` on a line of its own.
void AppendOpening(TraceBuffer& out, const Matrix& read, std::string_view heading);
// The same for fractions, each "p" or "p/q".
void AppendOpening(TraceBuffer& out, const RationalMatrix& read, std::string_view heading);

// "m × n", as the headings name a shape.
std::string ShapeText(int m, int n);

}  // namespace matcalc
