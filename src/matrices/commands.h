// The commands of the matrix menu 矩阵.
#pragma once

#include "frame/frame.h"

namespace matcalc {

void TransposeCommand(Frame& frame);  // 转置矩阵

}  // namespace matcalc
