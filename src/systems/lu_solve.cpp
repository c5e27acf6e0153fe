// 三角分解法解方程组: Doolittle's A = LU, then Ly = b and Ux = y.
#include "systems/commands.h"

namespace matcalc {

void LuSolveCommand(Frame& /*frame*/) {}

}  // namespace matcalc
