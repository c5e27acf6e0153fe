// The direct methods' commands of the Solve menu.
#pragma once

#include "frame/frame.h"

namespace matcalc {

Task<> InverseCommand(Frame& frame);            // 列主元求逆矩阵
Task<> DeterminantCommand(Frame& frame);        // 列主元求行列式
Task<> TriangularCommand(Frame& frame);         // 矩阵的三角分解
Task<> PositiveDefiniteCommand(Frame& frame);   // 正定矩阵判断
Task<> VectorNorms(Frame& frame);               // 向量范数
Task<> MatrixNorms(Frame& frame);               // 矩阵范数
Task<> DiagonalDominanceCommand(Frame& frame);  // 严格对角占优矩阵判断

}  // namespace matcalc
