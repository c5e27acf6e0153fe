// The eigenvalue methods' commands of the Solve menu.
#pragma once

#include "frame/frame.h"

namespace matcalc {

void PowerCommand(Frame& frame);         // 幂法
void ShiftCommand(Frame& frame);         // 原点平移法
void InversePowerCommand(Frame& frame);  // 反幂法
void JacobiCommand(Frame& frame);        // 古典雅可比法, also 雅可比过关法

}  // namespace matcalc
