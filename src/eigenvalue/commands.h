// The eigenvalue methods' commands of the Solve menu.
#pragma once

#include "frame/frame.h"

namespace matcalc {

Task<> PowerCommand(Frame& frame);         // 幂法
Task<> ShiftCommand(Frame& frame);         // 原点平移法
Task<> InversePowerCommand(Frame& frame);  // 反幂法
Task<> JacobiCommand(Frame& frame);        // 古典雅可比法, also 雅可比过关法

}  // namespace matcalc
