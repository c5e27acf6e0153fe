// The runner's lines for the prompts the iterative methods share, without
// the answer field.
#pragma once

#include <string>

#include "text/number_text.h"

namespace matcalc::testing {

inline constexpr const char* kAskOrder = "input\t输入数据\t输入矩阵的阶数 n：\t3\t";
inline constexpr const char* kAskEps = "input\t输入数据\t输入矩阵特征值的精度值 eps：\t0.0001\t";
inline constexpr const char* kAskComponent =
    "input\t输入数据\t输入矩阵非零初始向量值：\\n   默认为 1\t1\t";

// A number in its 24-character field.
inline std::string F(double value) { return Field24(value); }

}  // namespace matcalc::testing
