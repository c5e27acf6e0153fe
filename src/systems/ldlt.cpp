// 改进平方根法: A = L D Lᵀ with L unit lower triangular.
#include "systems/commands.h"

namespace matcalc {

void LdltCommand(Frame& /*frame*/) {}

}  // namespace matcalc
