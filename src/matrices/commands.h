// The commands of the matrix menu 矩阵.
#pragma once

#include "frame/frame.h"

namespace matcalc {

void RowEchelonCommand(Frame& frame);         // 化为行阶梯形
void ReducedEchelonCommand(Frame& frame);     // 化为行最简形
void RankCommand(Frame& frame);               // 矩阵的秩
void GeneralSolutionCommand(Frame& frame);    // 线性方程组的通解
void InverseByRowsCommand(Frame& frame);      // 初等行变换求逆矩阵
void TransposeCommand(Frame& frame);          // 转置矩阵
void DeterminantByRowsCommand(Frame& frame);  // 化三角形求行列式

}  // namespace matcalc
