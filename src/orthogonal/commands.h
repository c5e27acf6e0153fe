// The commands of the orthogonal transformations: five in the matrix menu,
// the QR method in the Solve menu.
#pragma once

#include "frame/frame.h"

namespace matcalc {

Task<> HouseholderQrCommand(Frame& frame);  // 豪斯霍尔德变换求 QR 分解
Task<> GivensQrCommand(Frame& frame);       // 吉文斯变换求 QR 分解
Task<> GramSchmidtCommand(Frame& frame);    // 施密特正交化
Task<> LeastSquaresCommand(Frame& frame);   // 最小二乘解
Task<> CurveFitCommand(Frame& frame);       // 最小二乘曲线拟合
Task<> QrEigenvaluesCommand(Frame& frame);  // QR 方法求全部特征值

}  // namespace matcalc
