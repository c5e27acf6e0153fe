// What the eigenvalue commands share: their prompts, the matrix layouts of
// their traces and the question asked when an iteration gives up.
#pragma once

#include <optional>
#include <string_view>

#include "frame/frame.h"
#include "frame/trace_layout.h"
#include "linalg/matrix.h"

namespace matcalc {

inline constexpr std::string_view kPrecisionPrompt = "输入矩阵特征值的精度值 eps：";
inline constexpr std::string_view kInputTitle = "输入数据";
inline constexpr std::string_view kGiveUpText =
    "此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法。\r\n结果是否还要查看？";

// The precision prompt; nothing when the answer is empty or cancelled.
Task<std::optional<double>> AskPrecision(Frame& frame, double default_value);

// The initial vector of the iterative methods: n components, 1 unless the
// user gives another non-zero value. An empty answer stops the questions, and
// so does a zero after its message; the components not answered stay 1.
Task<Vector> AskInitialVector(Frame& frame, int n);

// The warning question of an iteration that gives up (No is the default).
// True when the user still wants to see the trace.
Task<bool> KeepTraceAfterGivingUp(Frame& frame, std::string_view text);

// The identity of order n.
Matrix IdentityMatrix(int n);

}  // namespace matcalc
