// 平方根法: A = L Lᵀ for a symmetric positive definite A.
#include "systems/commands.h"

namespace matcalc {

void CholeskyCommand(Frame& /*frame*/) {}

}  // namespace matcalc
