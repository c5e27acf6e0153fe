// The direct methods' commands of the Solve menu.
#pragma once

#include "frame/frame.h"

namespace matcalc {

void InverseCommand(Frame& frame);            // 列主元求逆矩阵
void DeterminantCommand(Frame& frame);        // 列主元求行列式
void TriangularCommand(Frame& frame);         // 矩阵的三角分解
void PositiveDefiniteCommand(Frame& frame);   // 正定矩阵判断
void VectorNorms(Frame& frame);               // 向量范数
void MatrixNorms(Frame& frame);               // 矩阵范数
void DiagonalDominanceCommand(Frame& frame);  // 严格对角占优矩阵判断

}  // namespace matcalc
