// The commands of the linear-systems menu 方程组.
#pragma once

#include "frame/frame.h"

namespace matcalc {

void GaussCommand(Frame& frame);            // 列主元高斯消去法
void LuSolveCommand(Frame& frame);          // 三角分解法解方程组
void CholeskyCommand(Frame& frame);         // 平方根法
void LdltCommand(Frame& frame);             // 改进平方根法
void TridiagonalCommand(Frame& frame);      // 追赶法
void JacobiIterationCommand(Frame& frame);  // 雅可比迭代法
void GaussSeidelCommand(Frame& frame);      // 高斯-赛德尔迭代法
void SorCommand(Frame& frame);              // 超松弛迭代法
void ConditionCommand(Frame& frame);        // 条件数

}  // namespace matcalc
