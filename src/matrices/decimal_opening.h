// The line a reduction in decimals opens with: the tolerance below which a
// number counts as zero, or why there is none.
#pragma once

#include <optional>
#include <string_view>

#include "frame/trace_buffer.h"
#include "linalg/matrix.h"
#include "matrices/decimal_arithmetic.h"

namespace matcalc {

inline constexpr std::string_view kNotFiniteText =
    "矩阵的行和范数不是有限数（元素中有 Infinity、NaN 或过大的数），无法消元。";

// Appends "小数运算中绝对值不超过 tol = … 的数视为零。" for the matrix to be
// reduced and returns its arithmetic at `digits`; without a finite
// tolerance appends kNotFiniteText instead, the trace's last line, and
// returns nothing.
std::optional<DecimalArithmetic> OpenDecimalReduction(TraceBuffer& out, const Matrix& reduced,
                                                      int digits);

}  // namespace matcalc
