// The commands of the matrix menu 矩阵.
#pragma once

#include "frame/frame.h"

namespace matcalc {

Task<> RowEchelonCommand(Frame& frame);         // 化为行阶梯形
Task<> ReducedEchelonCommand(Frame& frame);     // 化为行最简形
Task<> RankCommand(Frame& frame);               // 矩阵的秩
Task<> GeneralSolutionCommand(Frame& frame);    // 线性方程组的通解
Task<> InverseByRowsCommand(Frame& frame);      // 初等行变换求逆矩阵
Task<> TransposeCommand(Frame& frame);          // 转置矩阵
Task<> DeterminantByRowsCommand(Frame& frame);  // 化三角形求行列式

}  // namespace matcalc
