// The commands of the linear-systems menu 方程组.
#pragma once

#include "frame/frame.h"

namespace matcalc {

Task<> GaussCommand(Frame& frame);            // 列主元高斯消去法
Task<> LuSolveCommand(Frame& frame);          // 三角分解法解方程组
Task<> CholeskyCommand(Frame& frame);         // 平方根法
Task<> LdltCommand(Frame& frame);             // 改进平方根法
Task<> TridiagonalCommand(Frame& frame);      // 追赶法
Task<> JacobiIterationCommand(Frame& frame);  // 雅可比迭代法
Task<> GaussSeidelCommand(Frame& frame);      // 高斯-赛德尔迭代法
Task<> SorCommand(Frame& frame);              // 超松弛迭代法
Task<> ConditionCommand(Frame& frame);        // 条件数

}  // namespace matcalc
